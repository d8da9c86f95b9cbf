#include "ini_file.h"
#include "base/program_folder.h"

namespace {
constexpr DWORD kValueChars = 256;
}

std::optional<std::string> CIniFile::Read(const char* section, const char* key, const char* file) {
    // A missing key gives the default; two different defaults tell a missing key from a stored one.
    char first[kValueChars] = {}, second[kValueChars] = {};
    ::GetPrivateProfileStringA(section, key, "\x01", first, kValueChars, file);
    ::GetPrivateProfileStringA(section, key, "\x02", second, kValueChars, file);
    first[kValueChars - 1] = '\0';
    if (std::string(first) != second) return std::nullopt;
    return std::string(first);
}

int CIniFile::GetInt(const char* section, const char* key, const char* file) {
    std::optional<std::string> text = Read(section, key, file);
    std::optional<int> value = text ? parse_setting_int(*text) : std::nullopt;
    return value ? *value : -1;
}

void CIniFile::GetString(const char* section, const char* key, const char* file, char* buffer) {
    ::GetPrivateProfileStringA(section, key, "", buffer, kValueChars, file);
    buffer[kValueChars - 1] = '\0';
}

BOOL CIniFile::WriteString(const char* section, const char* key, const char* file, const char* value) {
    ::WritePrivateProfileStringA(section, key, value, file);
    return TRUE;
}

BOOL CIniFile::WriteInt(const char* key, const char* section, const char* file, int value) {
    return ::WritePrivateProfileStringA(section, key, std::to_string(value).c_str(), file);
}

IniSettingsStore::IniSettingsStore(const std::string& program_folder)
    : path_(program_folder + "\\" + kSettingsFileName) {}

std::optional<std::string> IniSettingsStore::read(const char* key) {
    return CIniFile::Read(kSettingsSection, key, path_.c_str());
}

void IniSettingsStore::write(const char* key, const std::string& value) {
    CIniFile().WriteString(kSettingsSection, key, path_.c_str(), value.c_str());
}

bool IniSettingsStore::folder_exists(const std::string& folder) {
    DWORD attributes = ::GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void load_program_settings() {
    std::string folder = program_folder();
    IniSettingsStore store(folder);
    load_settings(store, folder);
}

void save_program_ui_color() {
    IniSettingsStore store(program_folder());
    save_ui_color(store);
}
