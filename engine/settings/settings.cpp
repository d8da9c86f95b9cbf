#include "settings.h"
#include <algorithm>
#include <climits>
#include <vector>
#include "base/fileio.h"

const char* const kSettingsSection = "Orvane多媒体MP4转换器";
const char* const kSettingsFileName = "pravolin.ini";
const char* const kOutDirKey = "MP4文件保存路径";

int cfg_ui_color, cfg_mp4_video_codec, cfg_mp4_width, cfg_mp4_height, cfg_keyframe_interval, cfg_mp4_size_choice,
    cfg_3gp_size_choice, cfg_merge_mode, cfg_mp4_size_adjust, cfg_3gp_size_adjust, cfg_avi_size_adjust,
    cfg_avi_size_choice, cfg_avi_video_codec, cfg_amr_channel_mode, cfg_amr_rate, cfg_aac_type, cfg_aac_bitrate,
    cfg_aac_quality, cfg_aac_sample_rate, cfg_aac_channels, cfg_aac_channel_mode, cfg_mp3_coding_type,
    cfg_mp3_vbr_quality, cfg_mp3_vbr_min, cfg_mp3_vbr_max, cfg_mp3_abr_rate, cfg_mp3_cbr_rate, cfg_mp3_mode,
    cfg_mp3_sample_rate, cfg_mp3_channels, cfg_mp3_channel_mode;
std::string cfg_out_dir;
int g_out_width = 176, g_out_height = 144;

const FrameSize kFrameSizes[kFrameSizeCount] = {{176, 144}, {352, 288}, {704, 576}, {128, 96}, {320, 240}, {160, 120}};

const int kMp3BitRates[3][kMp3RateCount] = {
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
const int kMp3SampleRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

namespace {

struct IntKey {
    const char* key;
    int min, max, fallback;
    int* value;
};

// Integer keys in load order, grouped by the checks that follow each group.
const IntKey kVideoKeys[] = {
    {"MP4视频编码方式", 0, 2, 1, &cfg_mp4_video_codec},
    {"MP4视频编码宽度", 10, 1000, 320, &cfg_mp4_width},
    {"MP4视频编码高度", 10, 1000, 240, &cfg_mp4_height},
    // The 3GP page's slider runs 1..100: a value it saved must survive the next start.
    {"关键帧出现频率", 1, 100, 20, &cfg_keyframe_interval},
    {"MP4视频大小选择方式", 0, 7, 0, &cfg_mp4_size_choice},
    {"H263标准视频大小选择方式", 0, 3, 0, &cfg_3gp_size_choice},
    {"MP4文件保存方式", 0, 1, 0, &cfg_merge_mode},
    {"MP4视频大小调整方式", 0, 2, 0, &cfg_mp4_size_adjust},
    {"3GP视频大小调整方式", 0, 2, 0, &cfg_3gp_size_adjust},
    {"AVI视频大小调整方式", 0, 2, 0, &cfg_avi_size_adjust},
    {"AVI视频大小选择方式", 0, 7, 0, &cfg_avi_size_choice},
};
const IntKey kAmrKeys[] = {
    {"转换AMR音频通道模式", 0, 2, 0, &cfg_amr_channel_mode},
    {"转换AMR编码速率", 0, 7, 0, &cfg_amr_rate},
};
const IntKey kAacKeys[] = {
    {"转换AAC编码类型", 0, 4, 1, &cfg_aac_type},
    {"转换AAC编码速率", 64000, 256000, 160000, &cfg_aac_bitrate},
    {"转换AAC编码质量", 10, 500, 100, &cfg_aac_quality},
    {"转换AAC音频采样速率", 8000, 96000, 44100, &cfg_aac_sample_rate},
    {"转换AAC音频通道数", 1, 2, 2, &cfg_aac_channels},
    {"转换AAC音频通道模式", 0, 2, 0, &cfg_aac_channel_mode},
};
const IntKey kMp3Keys[] = {
    {"音频MP3编码类型", 0, 2, 0, &cfg_mp3_coding_type},
    {"音频MP3可变速率编码质量", 0, 9, 4, &cfg_mp3_vbr_quality},
    {"音频MP3可变速率最小值", 8, 160, 32, &cfg_mp3_vbr_min},
    {"音频MP3可变速率最大值", 8, 320, 128, &cfg_mp3_vbr_max},
    {"音频MP3平均编码速率", 80, 320, 100, &cfg_mp3_abr_rate},
    // Checked against the mode's row once the mode is known.
    {"音频MP3恒定速率", 8, 320, 64, &cfg_mp3_cbr_rate},
    {"音频MP3音频模式", 0, 2, 1, &cfg_mp3_mode},
    {"音频MP3音频采样速率", 8000, 44100, 22050, &cfg_mp3_sample_rate},
    {"音频MP3音频通道数", 1, 2, 2, &cfg_mp3_channels},
    {"音频MP3音频通道模式", 0, 2, 0, &cfg_mp3_channel_mode},
};

const char* const kUiColorKey = "软件界面颜色";
constexpr int kUiColorMax = 16777216;
constexpr int kUiColorDefault = 798832;  // red 12, green 48, blue 112

// A loaded key whose value must also be one of a list.
struct ListCheck {
    int* value;
    std::vector<int> allowed;
    int fallback;
};

template <size_t N>
const IntKey* find_key(const IntKey (&keys)[N], const int* value) {
    for (const IntKey& k : keys)
        if (k.value == value) return &k;
    return nullptr;
}


std::optional<int> read_int(SettingsStore& store, const char* key) {
    std::optional<std::string> text = store.read(key);
    return text ? parse_setting_int(*text) : std::nullopt;
}

void load_range(SettingsStore& store, const IntKey& k) {
    std::optional<int> v = read_int(store, k.key);
    if (v && *v >= k.min && *v <= k.max) {
        *k.value = *v;
    } else {
        *k.value = k.fallback;
        save_setting(store, k.key, k.fallback);
    }
}

template <size_t N>
void load_ranges(SettingsStore& store, const IntKey (&keys)[N]) {
    for (const IntKey& k : keys) load_range(store, k);
}

void check_list(SettingsStore& store, const ListCheck& c) {
    if (std::find(c.allowed.begin(), c.allowed.end(), *c.value) != c.allowed.end()) return;
    *c.value = c.fallback;
    save_setting(store, settings_key_of(c.value), c.fallback);
}

void load_ui_color(SettingsStore& store) {
    std::optional<int> v = read_int(store, kUiColorKey);
    if (!v || *v < 0 || *v > kUiColorMax) {
        v = kUiColorDefault;
        save_setting(store, kUiColorKey, kUiColorDefault);
    }
    int red = (*v / 65536) % 256, green = (*v % 65536) / 256, blue = *v % 256;
    cfg_ui_color = red + green * 256 + blue * 65536;
}

// GBK-safe: a trail byte of a double-byte character may equal the separator.
bool ends_with_separator(const std::string& path) {
    return !path.empty() && fileio::folder_of(path).size() + 1 == path.size();
}

// The folder an output folder names: its trailing separator taken off, except after a drive.
std::string folder_without_separator(const std::string& dir) {
    if (!ends_with_separator(dir)) return dir;
    std::string folder = fileio::folder_of(dir);
    return !folder.empty() && folder.back() == ':' ? dir : folder;
}

void load_out_dir(SettingsStore& store, const std::string& program_folder) {
    std::string fallback = program_folder;
    if (!ends_with_separator(fallback)) fallback += fileio::separator();
    cfg_out_dir = fallback;
    std::optional<std::string> stored = store.read(kOutDirKey);
    if (stored) stored = fileio::without_broken_last_character(*stored);
    if (!stored || stored->size() < 2) {
        store.write(kOutDirKey, fallback);
        return;
    }
    std::string folder = folder_without_separator(*stored);
    if (!store.folder_exists(folder)) {
        store.write(kOutDirKey, fallback);
        return;
    }
    // Output names are built by appending to the folder, so it must end in a separator.
    cfg_out_dir = ends_with_separator(*stored) ? *stored : *stored + fileio::separator();
}

}  // namespace

const char* settings_key_of(const int* value) {
    const IntKey* k = find_key(kVideoKeys, value);
    if (!k) k = find_key(kAmrKeys, value);
    if (!k) k = find_key(kAacKeys, value);
    if (!k) k = find_key(kMp3Keys, value);
    return k ? k->key : "";
}

std::optional<int> parse_setting_int(const std::string& text) {
    size_t i = 0, end = text.size();
    while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
    bool negative = i < end && text[i] == '-';
    if (i < end && (text[i] == '-' || text[i] == '+')) ++i;
    if (i == end) return std::nullopt;
    long long value = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX + 1LL) return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return int(value);
}

void save_setting(SettingsStore& store, const char* key, int value) { store.write(key, std::to_string(value)); }

void save_ui_color(SettingsStore& store) {
    int red = cfg_ui_color & 0xFF, green = (cfg_ui_color >> 8) & 0xFF, blue = (cfg_ui_color >> 16) & 0xFF;
    save_setting(store, kUiColorKey, red * 65536 + green * 256 + blue);
}

void load_settings(SettingsStore& store, const std::string& program_folder) {
    load_ui_color(store);
    load_out_dir(store, program_folder);
    load_ranges(store, kVideoKeys);
    cfg_avi_video_codec = cfg_mp4_video_codec;
    load_ranges(store, kAmrKeys);
    load_ranges(store, kAacKeys);
    for (const ListCheck& c : {
             ListCheck{&cfg_aac_sample_rate,
                       {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000, 88200, 96000}, 44100},
             ListCheck{&cfg_aac_quality,
                       {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 200, 300, 400, 500}, 100},
             ListCheck{&cfg_aac_bitrate,
                       {64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000, 256000}, 160000},
         })
        check_list(store, c);
    load_ranges(store, kMp3Keys);
    const int mode = cfg_mp3_mode;  // 0..2 after its range check
    check_list(store, {&cfg_mp3_cbr_rate,
                       std::vector<int>(kMp3BitRates[mode], kMp3BitRates[mode] + kMp3RateCount), 64});
    check_list(store, {&cfg_mp3_sample_rate,
                       std::vector<int>(kMp3SampleRates[mode], kMp3SampleRates[mode] + 3), kMp3SampleRates[mode][0]});
    g_out_width = kFrameSizes[cfg_3gp_size_choice].width;
    g_out_height = kFrameSizes[cfg_3gp_size_choice].height;
}
