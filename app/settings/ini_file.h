// The INI file through the Win32 profile API, and the settings store over it: "pravolin.ini" in the
// program's folder, every key in one section. Section, keys and values are GBK (code page 936) text.
#pragma once
#include <optional>
#include <string>
#include "afxwin.h"
#include "engine/settings/settings.h"

class CIniFile {
public:
    virtual ~CIniFile() = default;
    // The key's integer, or -1 when the key is missing or its text is no whole number.
    int GetInt(const char* section, const char* key, const char* file);
    // At most 255 characters into buffer (which holds 256), always terminated; empty when missing.
    void GetString(const char* section, const char* key, const char* file, char* buffer);
    BOOL WriteString(const char* section, const char* key, const char* file, const char* value);
    // The key comes first in this one operation.
    BOOL WriteInt(const char* key, const char* section, const char* file, int value);

    // The key's text when the key exists.
    static std::optional<std::string> Read(const char* section, const char* key, const char* file);
};

class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(const std::string& program_folder);
    const std::string& path() const { return path_; }
    std::optional<std::string> read(const char* key) override;
    void write(const char* key, const std::string& value) override;
    bool folder_exists(const std::string& folder) override;

private:
    std::string path_;
};

// Loads the settings from the INI file beside the running program.
void load_program_settings();
// Writes cfg_ui_color to the INI file beside the running program (at exit).
void save_program_ui_color();
