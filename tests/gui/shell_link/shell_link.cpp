// shell_link: reads and writes shell links for the GUI tests, through the shell's own link object.
//   shell_link read LINK            "target<TAB>PATH" and "hotkey<TAB>0xHHHH" lines
//   shell_link write LINK TARGET    makes (or overwrites) a link to TARGET
//   shell_link programs             the common Start menu's programs folder from the registry
//   shell_link temp                 the temporary folder (GetTempPath)
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <cstdio>
#include <cstring>

namespace {

int usage() {
    fprintf(stderr, "usage: shell_link read LINK | write LINK TARGET | programs | temp\n");
    return 2;
}

bool wide(const char* text, WCHAR* out) {
    return MultiByteToWideChar(CP_ACP, 0, text, -1, out, MAX_PATH) > 0;
}

int read_link(const char* path) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)))
        return 1;
    IPersistFile* file = nullptr;
    WCHAR name[MAX_PATH];
    int status = 1;
    if (wide(path, name) && SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        if (SUCCEEDED(file->Load(name, STGM_READ))) {
            char target[MAX_PATH] = "";
            WORD hotkey = 0;
            link->GetPath(target, sizeof target, nullptr, 0);
            link->GetHotkey(&hotkey);
            printf("target\t%s\nhotkey\t0x%04x\n", target, hotkey);
            status = 0;
        }
        file->Release();
    }
    link->Release();
    return status;
}

int write_link(const char* path, const char* target) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)))
        return 1;
    link->SetPath(target);
    IPersistFile* file = nullptr;
    WCHAR name[MAX_PATH];
    int status = 1;
    if (wide(path, name) && SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        status = SUCCEEDED(file->Save(name, TRUE)) ? 0 : 1;
        file->Release();
    }
    link->Release();
    return status;
}

int programs_folder() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return 1;
    char value[MAX_PATH] = "";
    DWORD size = sizeof value, type = 0;
    const LONG got = RegQueryValueExA(key, "Common Programs", nullptr, &type, (BYTE*)value, &size);
    RegCloseKey(key);
    if (got != ERROR_SUCCESS) return 1;
    printf("%s\n", value);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    CoInitialize(nullptr);
    int status = 2;
    if (!strcmp(argv[1], "read") && argc > 2) status = read_link(argv[2]);
    else if (!strcmp(argv[1], "write") && argc > 3) status = write_link(argv[2], argv[3]);
    else if (!strcmp(argv[1], "programs")) status = programs_folder();
    else if (!strcmp(argv[1], "temp")) {
        char temp[MAX_PATH] = "";
        status = GetTempPathA(sizeof temp, temp) ? 0 : 1;
        printf("%s\n", temp);
    }
    else usage();
    fflush(stdout);
    CoUninitialize();
    return status;
}
