// The settings through Wine's profile API: a first start writes "pravolin.ini" with every default,
// bad stored values are replaced in the file, and the GB2312 section and key names round-trip.
#include "tests/support/gtest_winelib.h"
#include <cstring>
#include <string>
#include <vector>
#include "engine/settings/tests/expected_defaults.h"
#include "app/settings/ini_file.h"
#include "app/settings/registry_key.h"

namespace {

std::string stored(const std::string& ini, const char* key) {
    char value[256] = {};
    GetPrivateProfileStringA(kSettingsSection, key, "<missing>", value, sizeof value, ini.c_str());
    return value;
}

std::string raw_bytes(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), DWORD(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

class IniSettings : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "orvane_" + std::to_string(GetCurrentProcessId()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        ini_ = folder_ + "\\pravolin.ini";
    }
    void TearDown() override {
        DeleteFileA(ini_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string folder_, ini_;
};

}  // namespace

TEST_F(IniSettings, FirstStartWritesEveryDefault) {
    ASSERT_EQ(GetFileAttributesA(ini_.c_str()), INVALID_FILE_ATTRIBUTES);
    IniSettingsStore store(folder_);
    EXPECT_EQ(store.path(), ini_);
    load_settings(store, folder_);
    ASSERT_NE(GetFileAttributesA(ini_.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const auto& [key, value] : kExpectedDefaults) EXPECT_EQ(stored(ini_, key), value) << key;
    EXPECT_EQ(stored(ini_, "MP4文件保存路径"), folder_ + "\\");  // the program folder
    EXPECT_EQ(cfg_out_dir, folder_ + "\\");
}

TEST_F(IniSettings, BadValuesAreReplacedInTheFile) {
    WritePrivateProfileStringA(kSettingsSection, "H263标准视频大小选择方式", "4", ini_.c_str());
    WritePrivateProfileStringA(kSettingsSection, "关键帧出现频率", "abc", ini_.c_str());
    WritePrivateProfileStringA(kSettingsSection, "转换AAC编码速率", "100000", ini_.c_str());
    WritePrivateProfileStringA(kSettingsSection, "MP4视频编码宽度", "640", ini_.c_str());
    WritePrivateProfileStringA(kSettingsSection, "MP4文件保存路径", "C:\\no\\such\\folder\\", ini_.c_str());
    IniSettingsStore store(folder_);
    load_settings(store, folder_);
    EXPECT_EQ(cfg_3gp_size_choice, 0);
    EXPECT_EQ(stored(ini_, "H263标准视频大小选择方式"), "0");
    EXPECT_EQ(cfg_keyframe_interval, 20);
    EXPECT_EQ(stored(ini_, "关键帧出现频率"), "20");
    EXPECT_EQ(cfg_aac_bitrate, 160000);
    EXPECT_EQ(stored(ini_, "转换AAC编码速率"), "160000");
    EXPECT_EQ(cfg_mp4_width, 640);
    EXPECT_EQ(stored(ini_, "MP4视频编码宽度"), "640");
    EXPECT_EQ(stored(ini_, "MP4文件保存路径"), folder_ + "\\");
}

TEST_F(IniSettings, Gb2312NamesRoundTrip) {
    CIniFile ini;
    ASSERT_TRUE(ini.WriteInt("音频MP3恒定速率", kSettingsSection, ini_.c_str(), 128));
    EXPECT_EQ(ini.GetInt(kSettingsSection, "音频MP3恒定速率", ini_.c_str()), 128);
    ini.WriteString(kSettingsSection, "MP4文件保存路径", ini_.c_str(), "C:\\视频输出\\");
    char buffer[256];
    ini.GetString(kSettingsSection, "MP4文件保存路径", ini_.c_str(), buffer);
    EXPECT_STREQ(buffer, "C:\\视频输出\\");
    EXPECT_EQ(ini.GetInt(kSettingsSection, "缺少的键", ini_.c_str()), -1);
    ini.WriteString(kSettingsSection, "关键帧出现频率", ini_.c_str(), "x12");
    EXPECT_EQ(ini.GetInt(kSettingsSection, "关键帧出现频率", ini_.c_str()), -1);

    // The file holds GB2312 bytes: "[Orvane多媒体MP4转换器]" and the key "音频MP3恒定速率".
    std::string bytes = raw_bytes(ini_);
    EXPECT_NE(bytes.find("[Orvane\xB6\xE0\xC3\xBD\xCC\xE5MP4\xD7\xAA\xBB\xBB\xC6\xF7]"), std::string::npos);
    EXPECT_NE(bytes.find("\xD2\xF4\xC6\xB5MP3"), std::string::npos);  // 音频
    EXPECT_EQ(bytes.find("\xE5\xA4\x9A"), std::string::npos);           // no UTF-8 "多"
}

TEST_F(IniSettings, LongValuesAreCutAndTerminated) {
    std::string long_value(400, 'v');
    WritePrivateProfileStringA(kSettingsSection, "MP4文件保存路径", long_value.c_str(), ini_.c_str());
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    CIniFile().GetString(kSettingsSection, "MP4文件保存路径", ini_.c_str(), buffer);
    EXPECT_EQ(strnlen(buffer, sizeof buffer), 255u);
}

TEST(RegistryKey, ValuesAreTerminatedAndLongOnesRefused) {
    CRegistryKey key(HKEY_CURRENT_USER);
    ASSERT_TRUE(key.Open("Software"));
    HKEY test = nullptr;
    ASSERT_EQ(RegCreateKeyExA(key.handle(), "OrvaneTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &test, nullptr),
              ERROR_SUCCESS);
    // Stored without its terminator.
    RegSetValueExA(test, "short", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdefghij"), 10);
    std::string long_value(300, 'L');
    RegSetValueExA(test, "long", 0, REG_SZ, reinterpret_cast<const BYTE*>(long_value.c_str()),
                   DWORD(long_value.size() + 1));
    RegCloseKey(test);

    ASSERT_TRUE(key.Open("OrvaneTest"));
    CString text;
    ASSERT_TRUE(key.QueryValue("short", text));
    EXPECT_EQ(text, "abcdefghij");
    EXPECT_FALSE(key.QueryValue("long", text));
    EXPECT_FALSE(key.QueryValue("absent", text));
    EXPECT_FALSE(key.Open("NoSuchSubKey"));
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(key.Close(), 0);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvaneTest");
}
