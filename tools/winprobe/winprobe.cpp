// winprobe: a small test tool that looks at the program's windows from outside, in the same Wine
// prefix and display. Child controls are not X windows, so GUI tests ask this tool for their places.
//   winprobe wait CAPTION [SECONDS]     wait until a visible top-level window has this caption
//   winprobe controls CAPTION           one line per child: id class left top width height "text"
//   winprobe click CAPTION ID           post a button click (WM_COMMAND BN_CLICKED) for control ID
//   winprobe close CAPTION              post WM_CLOSE
//   winprobe gdi CAPTION                GDI objects, USER objects (under Wine: its windows) and kernel
//                                       handles of the window's process
//   winprobe client CAPTION [ID]        the client area of the window (or of its control ID) on the
//                                       screen: left top width height
//   winprobe text CAPTION ID            the control's text
//   winprobe state CAPTION ID           button check state, combo selection, trackbar or progress
//                                       position, then the enabled and visible flags
//   winprobe rows CAPTION ID            one line per list-view row: its cells separated by tabs, then
//                                       "selected" for a selected row
//   winprobe select CAPTION ID ROW...   selects list-view rows, the last one focused (-1: clears the
//                                       selection)
//   winprobe itemrect CAPTION ID ROW    a list-view row's screen rectangle "x y w h" (scrolled into view)
//   winprobe pick CAPTION ID ITEM       selects a combo item and tells the parent (CBN_SELCHANGE)
//   winprobe type CAPTION ID TEXT       sets a control's text (an edit's, as if typed)
//   winprobe slide CAPTION ID POS       moves a trackbar and tells the parent (WM_HSCROLL)
//   winprobe tab CAPTION ID INDEX       selects a tab and repaints the tab control (its pages follow)
//   winprobe hit CAPTION CODE           a screen point of the window where WM_NCHITTEST answers CODE
//                                       (20 close, 8 minimise, 5 menu): "x y", for a real click
//   winprobe rect CAPTION ID            the control's place on the screen: left top width height visible
//   winprobe threads CAPTION SECONDS    follows every thread of the window's process for SECONDS (or
//                                       until the process ends), then one line per thread: id, its
//                                       processor time in ms (user + kernel) when last seen alive, and
//                                       its name in quotes
//   winprobe ncclick CAPTION CODE       a click (button down and up) on that point, posted to the
//                                       window as the mouse would send it there
//   winprobe syscommand CAPTION ID      post WM_SYSCOMMAND ID (as a system-menu item chosen)
//   winprobe image CAPTION ID           a button's icon (BM_GETIMAGE) as "icon 0x..."; for a tab
//                                       control "list 0x..." then one "tab N image I" line per tab
// ID names a child control (a direct child first); "A/B" names control B somewhere inside control A (a
// page in a tab control; a visible one first, as the pages reuse ids). The settings pages answer to
// their dialog ids, so "1003/148/1006" is the 3GP page's button 1006 whichever page is shown.
// CAPTION arrives in the ANSI code page, as Wine converts the command line. A CAPTION starting with
// "~" names a window that may be hidden (the analysis dialog ends a refused analysis unseen).
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <winternl.h>
#include <ntgdi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef GR_GDIOBJECTS
#define GR_GDIOBJECTS 0
#define GR_USEROBJECTS 1
#endif

namespace {

HWND find_window(const char* caption) {
    if (caption[0] == '~') return FindWindowA(nullptr, caption + 1);
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

// A control by id, or by "A/B" (B anywhere below A).
struct Search {
    int id;
    HWND found;
    bool visible_only;
};

BOOL CALLBACK find_descendant(HWND child, LPARAM data) {
    Search* s = (Search*)data;
    if (GetDlgCtrlID(child) == s->id && (!s->visible_only || IsWindowVisible(child))) {
        s->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND find_control(HWND wnd, const char* path) {
    HWND at = wnd;
    const char* p = path;
    while (at && *p) {
        const int id = atoi(p);
        // A direct child first, then a visible one below (as a user would click it: pages of a tab
        // control reuse ids), then any.
        Search s = {id, GetDlgItem(at, id), true};
        if (!s.found) EnumChildWindows(at, find_descendant, (LPARAM)&s);
        s.visible_only = false;
        if (!s.found) EnumChildWindows(at, find_descendant, (LPARAM)&s);
        at = s.found;
        const char* slash = strchr(p, '/');
        if (!slash) break;
        p = slash + 1;
    }
    return at == wnd ? nullptr : at;
}

// Memory in the window's process for a list-view request and its text.
class Remote {
public:
    explicit Remote(HWND wnd) {
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) memory_ = (char*)VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~Remote() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    bool ok() const { return memory_ != nullptr; }
    char* at(size_t offset) const { return memory_ + offset; }
    void put(size_t offset, const void* data, size_t size) { WriteProcessMemory(process_, memory_ + offset, data, size, nullptr); }
    void get(size_t offset, void* data, size_t size) { ReadProcessMemory(process_, memory_ + offset, data, size, nullptr); }

private:
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

int list_rows(HWND list) {
    Remote remote(list);
    if (!remote.ok()) return 1;
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    const int columns = header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 1;
    const int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < rows; ++row) {
        for (int c = 0; c < columns; ++c) {
            LVITEMA item = {};
            item.iSubItem = c;
            item.pszText = remote.at(512);
            item.cchTextMax = 1024;
            remote.put(0, &item, sizeof item);
            SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)remote.at(0));
            char text[1024] = "";
            remote.get(512, text, sizeof text);
            text[sizeof text - 1] = 0;
            printf("%s%s", c ? "\t" : "", text);
        }
        const UINT state = (UINT)SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED);
        printf("%s\n", (state & LVIS_SELECTED) ? "\tselected" : "");
    }
    return 0;
}

int list_select(HWND list, const int* rows, int count) {
    Remote remote(list);
    if (!remote.ok()) return 1;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    remote.put(0, &item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)remote.at(0));
    for (int i = 0; i < count; ++i) {
        if (rows[i] < 0) return 0;
        item.state = LVIS_SELECTED | (i == count - 1 ? LVIS_FOCUSED : 0);
        remote.put(0, &item, sizeof item);
        if (!SendMessageA(list, LVM_SETITEMSTATE, rows[i], (LPARAM)remote.at(0))) return 1;
    }
    return 0;
}

// The screen rectangle of a list-view row (scrolled into view first): "x y w h".
int list_item_rect(HWND list, int row) {
    Remote remote(list);
    if (!remote.ok()) return 1;
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    RECT r = {LVIR_BOUNDS, 0, 0, 0};
    remote.put(0, &r, sizeof r);
    if (!SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)remote.at(0))) return 1;
    remote.get(0, &r, sizeof r);
    MapWindowPoints(list, nullptr, (POINT*)&r, 2);
    printf("%ld %ld %ld %ld\n", (long)r.left, (long)r.top, (long)(r.right - r.left), (long)(r.bottom - r.top));
    return 0;
}

// GDI objects of another process. Wine leaves GetGuiResources at 0; it keeps the process's GDI handle
// table as Windows does, behind the PEB, so the count is read from there.
long gdi_objects(HANDLE process) {
    if (DWORD counted = GetGuiResources(process, GR_GDIOBJECTS)) return (long)counted;
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
    PEB peb;
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) || !peb.GdiSharedHandleTable)
        return -1;
    static GDI_SHARED_MEMORY table;
    if (!ReadProcessMemory(process, peb.GdiSharedHandleTable, &table, sizeof table, nullptr)) return -1;
    long n = 0;
    for (const GDI_HANDLE_ENTRY& entry : table.Handles)
        if (entry.Type) ++n;
    return n;
}

// USER objects of another process. Wine answers GetGuiResources with 0; the windows, the USER objects
// a program makes most and may forget, are counted instead: top-level (hidden ones too), message-only,
// and every descendant of either, owned by a thread of the process.
struct WindowTally {
    DWORD pid;
    unsigned long n;
};
BOOL CALLBACK tally_window(HWND wnd, LPARAM tally_arg) {
    auto* tally = (WindowTally*)tally_arg;
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == tally->pid) ++tally->n;
    return TRUE;
}
BOOL CALLBACK tally_tree(HWND wnd, LPARAM tally_arg) {
    tally_window(wnd, tally_arg);
    EnumChildWindows(wnd, tally_window, tally_arg);  // all descendants, not only children
    return TRUE;
}
unsigned long user_objects(HANDLE process, DWORD pid) {
    if (DWORD counted = GetGuiResources(process, GR_USEROBJECTS)) return counted;
    WindowTally tally = {pid, 0};
    EnumWindows(tally_tree, (LPARAM)&tally);
    for (HWND w = nullptr; (w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr));) tally_tree(w, (LPARAM)&tally);
    return tally.n;
}

// Kernel handles a process holds. Wine's GetProcessHandleCount answers 0; the system's handle list,
// filled by the server, names every handle with its owner.
long kernel_handles(DWORD pid) {
    ULONG size = 1 << 20;
    for (int attempt = 0; attempt < 6; ++attempt, size *= 2) {
        auto* info = (SYSTEM_HANDLE_INFORMATION*)malloc(size);
        if (!info) return -1;
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(SystemHandleInformation, info, size, &needed);
        if (status == 0) {
            long n = 0;
            for (ULONG i = 0; i < info->Count; ++i)
                if (info->Handle[i].OwnerPid == pid) ++n;
            free(info);
            return n;
        }
        free(info);
        if (status != (NTSTATUS)0xC0000004) return -1;  // STATUS_INFO_LENGTH_MISMATCH: a larger buffer
    }
    return -1;
}

int usage() {
    fprintf(stderr, "usage: winprobe wait|controls|click|close|gdi|client|text|state|rows|select|pick|type|slide|tab CAPTION [ARG...]\n");
    return 2;
}

// Each thread is opened and named when the command starts; its times are read every 100 ms, and the
// last reading before it (or the process) ends is what is printed (Wine forgets an ended thread's times).
int list_threads(HWND wnd, int seconds) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    struct Held {
        DWORD id;
        HANDLE thread;
        ULONGLONG ms;
        char name[128];
    };
    static Held held[256];
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && count < 256; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        Held& h = held[count++];
        h = {entry.th32ThreadID, thread, 0, ""};
        PWSTR wide = nullptr;
        if (SUCCEEDED(GetThreadDescription(thread, &wide)) && wide) {
            WideCharToMultiByte(CP_ACP, 0, wide, -1, h.name, sizeof h.name, nullptr, nullptr);
            LocalFree(wide);
        }
    }
    CloseHandle(snapshot);
    const DWORD start = GetTickCount();
    for (;;) {
        for (int i = 0; i < count; ++i) {
            if (!held[i].thread) continue;
            FILETIME created, ended, kernel, user;
            const bool alive = WaitForSingleObject(held[i].thread, 0) == WAIT_TIMEOUT;
            if (alive && GetThreadTimes(held[i].thread, &created, &ended, &kernel, &user))
                held[i].ms = ((ULONGLONG(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
                              (ULONGLONG(user.dwHighDateTime) << 32 | user.dwLowDateTime)) / 10000;
            if (!alive) {
                CloseHandle(held[i].thread);
                held[i].thread = nullptr;
            }
        }
        if (GetTickCount() - start >= DWORD(seconds) * 1000) break;
        if (process ? WaitForSingleObject(process, 100) == WAIT_OBJECT_0 : (Sleep(100), false)) break;
    }
    if (process) CloseHandle(process);
    for (int i = 0; i < count; ++i) {
        printf("%lu %llu \"%s\"\n", (unsigned long)held[i].id, (unsigned long long)held[i].ms, held[i].name);
        if (held[i].thread) CloseHandle(held[i].thread);
    }
    return 0;
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
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        PostMessageA(GetParent(ctl), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ctl), BN_CLICKED), (LPARAM)ctl);
    } else if (!strcmp(cmd, "text") && argc > 3) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        // Asked of the control itself: an edit keeps its text where GetWindowText from another process
        // does not look.
        char text[1024] = "";
        DWORD_PTR got = 0;
        SendMessageTimeoutA(ctl, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &got);
        text[sizeof text - 1] = '\0';
        printf("%s\n", text);
    } else if (!strcmp(cmd, "state") && argc > 3) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        char cls[64] = "";
        GetClassNameA(ctl, cls, sizeof cls);
        long value = !lstrcmpiA(cls, "ComboBox")            ? (long)SendMessageA(ctl, CB_GETCURSEL, 0, 0)
                     : !lstrcmpiA(cls, "msctls_trackbar32") ? (long)SendMessageA(ctl, TBM_GETPOS, 0, 0)
                     : !lstrcmpiA(cls, "msctls_progress32") ? (long)SendMessageA(ctl, PBM_GETPOS, 0, 0)
                                                            : (long)SendMessageA(ctl, BM_GETCHECK, 0, 0);
        printf("%ld enabled %d visible %d\n", value, IsWindowEnabled(ctl) ? 1 : 0, IsWindowVisible(ctl) ? 1 : 0);
    } else if (!strcmp(cmd, "rows") && argc > 3) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        return list_rows(ctl);
    } else if (!strcmp(cmd, "select") && argc > 4) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        int rows[64];
        int count = 0;
        for (int i = 4; i < argc && count < 64; ++i) rows[count++] = atoi(argv[i]);
        return list_select(ctl, rows, count);
    } else if (!strcmp(cmd, "itemrect") && argc > 4) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        return list_item_rect(ctl, atoi(argv[4]));
    } else if (!strcmp(cmd, "pick") && argc > 4) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        SendMessageA(ctl, CB_SETCURSEL, (WPARAM)atoi(argv[4]), 0);
        SendMessageA(GetParent(ctl), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ctl), CBN_SELCHANGE), (LPARAM)ctl);
    } else if (!strcmp(cmd, "type") && argc > 4) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        SendMessageA(ctl, WM_SETTEXT, 0, (LPARAM)argv[4]);
    } else if (!strcmp(cmd, "slide") && argc > 4) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        const int pos = atoi(argv[4]);
        SendMessageA(ctl, TBM_SETPOS, TRUE, pos);
        SendMessageA(GetParent(ctl), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, pos), (LPARAM)ctl);
    } else if (!strcmp(cmd, "tab") && argc > 4) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        SendMessageA(ctl, TCM_SETCURSEL, (WPARAM)atoi(argv[4]), 0);
        RedrawWindow(ctl, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    } else if ((!strcmp(cmd, "hit") || !strcmp(cmd, "ncclick")) && argc > 3) {
        const LRESULT code = atoi(argv[3]);
        const bool click = !strcmp(cmd, "ncclick");
        RECT r;
        GetWindowRect(wnd, &r);
        for (int y = r.top; y < r.top + 48 && y < r.bottom; y += 2)
            for (int x = r.right - 1; x >= r.left; x -= 2)
                if (SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == code) {
                    // The middle of the run of points that answer the code on this row.
                    int left = x;
                    while (left - 1 >= r.left && SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(left - 1, y)) == code) --left;
                    const int cx = (left + x) / 2, cy = y + 3;
                    if (click) {
                        PostMessageA(wnd, WM_NCLBUTTONDOWN, (WPARAM)code, MAKELPARAM(cx, cy));
                        PostMessageA(wnd, WM_NCLBUTTONUP, (WPARAM)code, MAKELPARAM(cx, cy));
                    }
                    printf("%d %d\n", cx, cy);
                    fflush(stdout);
                    return 0;
                }
        return 1;
    } else if (!strcmp(cmd, "rect") && argc > 3) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        RECT r;
        GetWindowRect(ctl, &r);
        printf("%ld %ld %ld %ld %d\n", (long)r.left, (long)r.top, (long)(r.right - r.left), (long)(r.bottom - r.top),
               IsWindowVisible(ctl) ? 1 : 0);
    } else if (!strcmp(cmd, "threads") && argc > 3) {
        return list_threads(wnd, atoi(argv[3]));
    } else if (!strcmp(cmd, "syscommand") && argc > 3) {
        PostMessageA(wnd, WM_SYSCOMMAND, (WPARAM)atoi(argv[3]), 0);
    } else if (!strcmp(cmd, "image") && argc > 3) {
        HWND ctl = find_control(wnd, argv[3]);
        if (!ctl) return 1;
        char cls[64] = "";
        GetClassNameA(ctl, cls, sizeof cls);
        if (lstrcmpiA(cls, WC_TABCONTROLA)) {
            printf("icon %p\n", (void*)SendMessageA(ctl, BM_GETIMAGE, IMAGE_ICON, 0));
        } else {
            printf("list %p\n", (void*)SendMessageA(ctl, TCM_GETIMAGELIST, 0, 0));
            Remote remote(ctl);
            if (!remote.ok()) return 1;
            const int tabs = (int)SendMessageA(ctl, TCM_GETITEMCOUNT, 0, 0);
            for (int i = 0; i < tabs; ++i) {
                TCITEMA item = {};
                item.mask = TCIF_IMAGE;
                item.iImage = -2;
                remote.put(0, &item, sizeof item);
                SendMessageA(ctl, TCM_GETITEMA, i, (LPARAM)remote.at(0));
                remote.get(0, &item, sizeof item);
                printf("tab %d image %d\n", i, item.iImage);
            }
        }
    } else if (!strcmp(cmd, "close")) {
        PostMessageA(wnd, WM_CLOSE, 0, 0);
    } else if (!strcmp(cmd, "gdi")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (!process) return 1;
        const long gdi = gdi_objects(process);
        const unsigned long user = user_objects(process, pid);
        CloseHandle(process);
        printf("gdi %ld user %lu handles %ld\n", gdi, user, kernel_handles(pid));
    } else if (!strcmp(cmd, "client")) {
        HWND of = argc > 3 ? find_control(wnd, argv[3]) : wnd;
        if (!of) return 1;
        RECT r;
        GetClientRect(of, &r);
        POINT origin = {0, 0};
        ClientToScreen(of, &origin);
        printf("%ld %ld %ld %ld\n", (long)origin.x, (long)origin.y, (long)r.right, (long)r.bottom);
    } else {
        return usage();
    }
    fflush(stdout);
    return 0;
}
