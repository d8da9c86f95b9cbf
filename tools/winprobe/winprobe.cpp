// winprobe: a small test tool that looks at the program's windows from outside, in the same Wine
// prefix and display. Child controls are not X windows, so GUI tests ask this tool for their places.
//   winprobe wait CAPTION [SECONDS]     wait until a visible top-level window has this caption
//   winprobe controls CAPTION           one line per child: id class left top width height "text"
//   winprobe click CAPTION ID           post a button click (WM_COMMAND BN_CLICKED) for control ID
//   winprobe close CAPTION              post WM_CLOSE
//   winprobe gdi CAPTION                GDI and USER object counts of the window's process
// CAPTION arrives in the ANSI code page, as Wine converts the command line.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef GR_GDIOBJECTS
#define GR_GDIOBJECTS 0
#define GR_USEROBJECTS 1
#endif

namespace {

HWND find_window(const char* caption) {
    HWND wnd = FindWindowA(nullptr, caption);
    return wnd && IsWindowVisible(wnd) ? wnd : nullptr;
}

BOOL CALLBACK print_child(HWND child, LPARAM top) {
    char cls[64] = "", text[256] = "";
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    RECT r;
    GetWindowRect(child, &r);
    printf("%d %s %ld %ld %ld %ld %d \"%s\"\n", GetDlgCtrlID(child), cls, (long)r.left, (long)r.top,
           (long)(r.right - r.left), (long)(r.bottom - r.top), IsWindowVisible(child) ? 1 : 0, text);
    (void)top;
    return TRUE;
}

int usage() {
    fprintf(stderr, "usage: winprobe wait|controls|click|close|gdi CAPTION [ARG]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const char* cmd = argv[1];
    const char* caption = argv[2];
    if (!strcmp(cmd, "wait")) {
        int seconds = argc > 3 ? atoi(argv[3]) : 30;
        for (int i = 0; i < seconds * 20; ++i) {
            if (HWND wnd = find_window(caption)) {
                RECT r;
                GetWindowRect(wnd, &r);
                printf("window %ld %ld %ld %ld\n", (long)r.left, (long)r.top, (long)(r.right - r.left),
                       (long)(r.bottom - r.top));
                return 0;
            }
            Sleep(50);
        }
        fprintf(stderr, "winprobe: no window\n");
        return 1;
    }
    HWND wnd = find_window(caption);
    if (!wnd) {
        fprintf(stderr, "winprobe: no window\n");
        return 1;
    }
    if (!strcmp(cmd, "controls")) {
        EnumChildWindows(wnd, print_child, (LPARAM)wnd);
    } else if (!strcmp(cmd, "click") && argc > 3) {
        int id = atoi(argv[3]);
        HWND ctl = GetDlgItem(wnd, id);
        PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)ctl);
    } else if (!strcmp(cmd, "close")) {
        PostMessageA(wnd, WM_CLOSE, 0, 0);
    } else if (!strcmp(cmd, "gdi")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (!process) return 1;
        printf("gdi %lu user %lu\n", (unsigned long)GetGuiResources(process, GR_GDIOBJECTS),
               (unsigned long)GetGuiResources(process, GR_USEROBJECTS));
        CloseHandle(process);
    } else {
        return usage();
    }
    fflush(stdout);
    return 0;
}
