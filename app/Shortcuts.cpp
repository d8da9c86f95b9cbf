#include "Shortcuts.h"
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <string>
#include "app/core/program_paths.h"
#include "app/settings/registry_key.h"

namespace {
const char kWebAddress[] = "http://www.delmora.example/";

std::string module_path() {
    char path[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    path[n < sizeof path ? n : sizeof path - 1] = 0;
    return path;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
}  // namespace

int create_shell_link(const char* target, const char* link_path) {
    const HRESULT com = CoInitialize(nullptr);
    int made = 0;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link))) {
        link->SetPath(target);
        link->SetHotkey(0x0352);
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
            WCHAR wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, link_path, -1, wide, MAX_PATH);
            wide[MAX_PATH - 1] = 0;
            made = SUCCEEDED(file->Save(wide, TRUE)) ? 1 : 0;
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return made;
}

void notify_shell_change(long event, const char* path) {
    SHChangeNotify(event | SHCNE_INTERRUPT, SHCNF_PATHA | SHCNF_FLUSH, path, nullptr);
    const std::string folder = folder_part(path);
    SHChangeNotify(SHCNE_UPDATEDIR | SHCNE_INTERRUPT, SHCNF_PATHA | SHCNF_FLUSH, folder.c_str(), nullptr);
}

void install_shortcuts() {
    // The link points at the program itself, whatever its file is called.
    const std::string program = module_path();
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    std::string temp_folder = temp;
    if (!temp_folder.empty() && temp_folder.back() == '\\') temp_folder.pop_back();
    CRegistryKey key(HKEY_LOCAL_MACHINE);
    if (!key.Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")) return;
    CString templates, desktop, programs;
    key.QueryValue("Common Templates", templates);
    if (shortcuts_skipped(program, (const char*)templates, temp_folder)) return;
    key.QueryValue("Common Desktop", desktop);
    key.QueryValue("Common Programs", programs);
    key.Close();
    if (desktop.GetLength() <= 3 || programs.GetLength() <= 3) return;
    const std::string folder = std::string((const char*)programs) + "\\Delmora多媒体软件";
    if (CreateDirectoryA(folder.c_str(), nullptr)) notify_shell_change(SHCNE_MKDIR, folder.c_str());
    const std::string program_link = folder + "\\Orvane多媒体MP4转换器.lnk";
    if (create_shell_link(program.c_str(), program_link.c_str())) notify_shell_change(SHCNE_CREATE, program_link.c_str());
    const std::string web_link = folder + "\\访问Delmora网站.lnk";
    if (!exists(web_link) && create_shell_link(kWebAddress, web_link.c_str()))
        notify_shell_change(SHCNE_CREATE, web_link.c_str());
}
