#include "base/program_folder.h"
#include <windows.h>
#include "base/fileio.h"

std::string program_folder() {
    char module[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    return fileio::folder_of(std::string(module, n));
}
