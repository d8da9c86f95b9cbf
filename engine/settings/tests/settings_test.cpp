// Loading the settings: defaults on first start, out-of-range and non-numeric values replaced and
// written back, the list and row checks, the output folder and the derived values.
#include <gtest/gtest.h>
#include <map>
#include <set>
#include "expected_defaults.h"
#include "engine/settings/settings.h"

namespace {

class MemoryStore : public SettingsStore {
public:
    std::map<std::string, std::string> keys;
    std::vector<std::pair<std::string, std::string>> writes;
    std::set<std::string> folders;

    std::optional<std::string> read(const char* key) override {
        auto it = keys.find(key);
        return it == keys.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void write(const char* key, const std::string& value) override {
        keys[key] = value;
        writes.emplace_back(key, value);
    }
    bool folder_exists(const std::string& folder) override { return folders.count(folder) != 0; }
};

const char* const kProgram = "/opt/orvane";

// The file after a first start: every key's default, the output folder being the program's.
std::map<std::string, std::string> defaults() {
    std::map<std::string, std::string> keys(std::begin(kExpectedDefaults), std::end(kExpectedDefaults));
    keys["MP4文件保存路径"] = "/opt/orvane/";
    return keys;
}

// A store holding every default, with some keys changed.
MemoryStore store_with(const std::map<std::string, std::string>& changes) {
    MemoryStore store;
    store.keys = defaults();
    for (const auto& [k, v] : changes) store.keys[k] = v;
    store.folders = {kProgram};
    return store;
}

}  // namespace

TEST(Settings, FirstStartWritesEveryDefault) {
    MemoryStore store;
    load_settings(store, kProgram);
    EXPECT_EQ(store.keys, defaults());
    EXPECT_EQ(cfg_ui_color, 12 + 48 * 256 + 112 * 65536);
    EXPECT_EQ(cfg_out_dir, "/opt/orvane/");
    EXPECT_EQ(cfg_mp4_video_codec, 1);
    EXPECT_EQ(cfg_avi_video_codec, 1);
    EXPECT_EQ(cfg_aac_bitrate, 160000);
    EXPECT_EQ(cfg_mp3_sample_rate, 22050);
    EXPECT_EQ(g_out_width, 176);
    EXPECT_EQ(g_out_height, 144);
}

TEST(Settings, AcceptedValuesAreKeptWithoutWriting) {
    MemoryStore store = store_with({{"MP4视频编码方式", "2"}, {"H263标准视频大小选择方式", "3"},
                                    {"AVI视频大小选择方式", "7"}, {"音频MP3音频模式", "0"},
                                    {"音频MP3恒定速率", "320"}, {"音频MP3音频采样速率", "32000"},
                                    {"转换AAC编码速率", "256000"}, {"软件界面颜色", "16711680"},
                                    {"关键帧出现频率", "100"}});
    load_settings(store, kProgram);
    EXPECT_TRUE(store.writes.empty()) << store.writes.front().first;
    EXPECT_EQ(cfg_mp4_video_codec, 2);
    EXPECT_EQ(cfg_avi_video_codec, 2);
    EXPECT_EQ(cfg_avi_size_choice, 7);  // loaded like the MP4 size choice
    EXPECT_EQ(cfg_mp3_cbr_rate, 320);
    EXPECT_EQ(cfg_mp3_sample_rate, 32000);
    EXPECT_EQ(cfg_aac_bitrate, 256000);
    EXPECT_EQ(cfg_keyframe_interval, 100);  // the slider's whole range survives a restart
    EXPECT_EQ(cfg_ui_color, 0x0000FF);  // stored red 0xFF0000 becomes Windows 0x0000FF
    EXPECT_EQ(g_out_width, 128);
    EXPECT_EQ(g_out_height, 96);
}

TEST(Settings, UnacceptableValuesAreReplacedAndWrittenBack) {
    struct Case {
        const char* name;
        std::map<std::string, std::string> stored;
        const char* key;
        const char* written;
        const int* variable;
        int value;
    } cases[] = {
        {"3GP size 4", {{"H263标准视频大小选择方式", "4"}}, "H263标准视频大小选择方式", "0", &cfg_3gp_size_choice, 0},
        {"width below range", {{"MP4视频编码宽度", "9"}}, "MP4视频编码宽度", "320", &cfg_mp4_width, 320},
        {"key-frame interval past the slider", {{"关键帧出现频率", "101"}}, "关键帧出现频率", "20",
         &cfg_keyframe_interval, 20},
        {"not a number", {{"关键帧出现频率", "abc"}}, "关键帧出现频率", "20", &cfg_keyframe_interval, 20},
        {"number with junk", {{"关键帧出现频率", "12abc"}}, "关键帧出现频率", "20", &cfg_keyframe_interval, 20},
        {"empty text", {{"MP4视频编码方式", ""}}, "MP4视频编码方式", "1", &cfg_mp4_video_codec, 1},
        {"beyond int", {{"MP4视频编码高度", "99999999999"}}, "MP4视频编码高度", "240", &cfg_mp4_height, 240},
        {"AVI size choice 8", {{"AVI视频大小选择方式", "8"}}, "AVI视频大小选择方式", "0", &cfg_avi_size_choice, 0},
        {"AAC rate in range but not listed", {{"转换AAC编码速率", "100000"}}, "转换AAC编码速率", "160000",
         &cfg_aac_bitrate, 160000},
        {"AAC quality not listed", {{"转换AAC编码质量", "160"}}, "转换AAC编码质量", "100", &cfg_aac_quality, 100},
        {"AAC sample rate not listed", {{"转换AAC音频采样速率", "44000"}}, "转换AAC音频采样速率", "44100",
         &cfg_aac_sample_rate, 44100},
        {"MP3 320 kbit/s with MPEG-2", {{"音频MP3恒定速率", "320"}, {"音频MP3音频模式", "1"}}, "音频MP3恒定速率", "64",
         &cfg_mp3_cbr_rate, 64},
        {"MP3 32000 Hz with MPEG-2", {{"音频MP3音频采样速率", "32000"}, {"音频MP3音频模式", "1"}},
         "音频MP3音频采样速率", "22050", &cfg_mp3_sample_rate, 22050},
        {"MP3 48000 Hz with MPEG-1", {{"音频MP3音频采样速率", "48000"}, {"音频MP3音频模式", "0"}},
         "音频MP3音频采样速率", "44100", &cfg_mp3_sample_rate, 44100},
        {"MP3 8000 Hz with MPEG-1", {{"音频MP3音频采样速率", "8000"}, {"音频MP3音频模式", "0"}},
         "音频MP3音频采样速率", "44100", &cfg_mp3_sample_rate, 44100},
        {"colour one past white", {{"软件界面颜色", "16777217"}}, "软件界面颜色", "798832", &cfg_ui_color,
         12 + 48 * 256 + 112 * 65536},
        {"negative colour", {{"软件界面颜色", "-1"}}, "软件界面颜色", "798832", &cfg_ui_color,
         12 + 48 * 256 + 112 * 65536},
    };
    for (const Case& c : cases) {
        MemoryStore store = store_with(c.stored);
        load_settings(store, kProgram);
        EXPECT_EQ(*c.variable, c.value) << c.name;
        EXPECT_EQ(store.keys[c.key], c.written) << c.name;
        ASSERT_FALSE(store.writes.empty()) << c.name;
        EXPECT_EQ(store.writes.back().first, c.key) << c.name;
    }
}

TEST(Settings, ColourValueOfExactly16777216IsBlack) {
    MemoryStore store = store_with({{"软件界面颜色", "16777216"}});
    load_settings(store, kProgram);
    EXPECT_EQ(cfg_ui_color, 0);
    EXPECT_TRUE(store.writes.empty());
}

TEST(Settings, OutputFolder) {
    struct Case {
        const char* name;
        const char* stored;  // nullptr: key missing
        std::set<std::string> folders;
        std::string expected;
        bool written_back;
    } cases[] = {
        {"existing folder", "/data/out/", {kProgram, "/data/out"}, "/data/out/", false},
        {"without its separator", "/data/out", {kProgram, "/data/out"}, "/data/out/", false},
        {"vanished folder", "/data/gone/", {kProgram}, "/opt/orvane/", true},
        {"one character", "/", {kProgram, "/"}, "/opt/orvane/", true},
        {"missing key", nullptr, {kProgram}, "/opt/orvane/", true},
        // A lone GBK lead byte at the end would swallow the appended separator as its second half.
        {"half a character at the end", "/data/out\xD7", {kProgram, "/data/out"}, "/data/out/", false},
        {"whole character at the end", "/data/转", {kProgram, "/data/转"}, "/data/转/", false},
    };
    for (const Case& c : cases) {
        MemoryStore store = store_with({});
        if (c.stored) {
            store.keys["MP4文件保存路径"] = c.stored;
        } else {
            store.keys.erase("MP4文件保存路径");
        }
        store.folders = c.folders;
        load_settings(store, kProgram);
        EXPECT_EQ(cfg_out_dir, c.expected) << c.name;
        EXPECT_EQ(!store.writes.empty(), c.written_back) << c.name;
        if (c.written_back) {
            EXPECT_EQ(store.keys["MP4文件保存路径"], "/opt/orvane/") << c.name;
        }
    }
}

TEST(Settings, UiColourIsSavedInFileForm) {
    MemoryStore store;
    cfg_ui_color = 0x123456;  // Windows colour: red 0x56, green 0x34, blue 0x12
    save_ui_color(store);
    EXPECT_EQ(store.keys["软件界面颜色"], std::to_string(0x563412));
}

TEST(Settings, WholeNumbersOnly) {
    EXPECT_EQ(parse_setting_int("42"), 42);
    EXPECT_EQ(parse_setting_int(" -7 "), -7);
    EXPECT_EQ(parse_setting_int("+3\r"), 3);
    EXPECT_EQ(parse_setting_int("2147483647"), 2147483647);
    EXPECT_EQ(parse_setting_int("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", " ", "-", "4.5", "1e3", "0x10", "2147483648", "12 3", "abc"})
        EXPECT_EQ(parse_setting_int(bad), std::nullopt) << bad;
}
