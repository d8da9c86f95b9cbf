#include "program_paths.h"

namespace {
bool gbk_lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

bool has_backslash(const std::string& text) { return last_backslash(text) != std::string::npos; }
}  // namespace

size_t last_backslash(const std::string& text) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (gbk_lead(c) && i + 1 < text.size()) {
            ++i;  // the second byte belongs to the character
            continue;
        }
        if (c == '\\') found = i;
    }
    return found;
}

std::string folder_part(const std::string& path) {
    const size_t at = last_backslash(path);
    return at == std::string::npos ? std::string() : path.substr(0, at);
}

std::string filter_dll_path(const std::string& module_path, const std::string& name) {
    if (has_backslash(name)) return name;
    return folder_part(module_path) + "\\" + name;
}

bool shortcuts_skipped(const std::string& program_path, const std::string& templates_folder,
                       const std::string& temp_folder) {
    if (templates_folder.size() <= 3) return true;
    if (program_path.find(templates_folder) != std::string::npos) return true;
    return temp_folder.size() > 3 && program_path.find(temp_folder) != std::string::npos;
}
