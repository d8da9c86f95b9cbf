// The program's settings: the cfg_ variables, their INI keys with accepted values and defaults, and
// the loader that replaces a missing or unacceptable value by its default and writes it back.
#pragma once
#include <optional>
#include <string>

extern const char* const kSettingsSection;  // "Orvane多媒体MP4转换器"
extern const char* const kSettingsFileName; // "pravolin.ini"
extern const char* const kOutDirKey;        // the key of cfg_out_dir

extern int cfg_ui_color;               // Windows colour 0x00BBGGRR (stored as 0xRRGGBB)
extern std::string cfg_out_dir;        // output folder, ending in a separator
extern int cfg_mp4_video_codec;        // 0 H.263, 1 MPEG-4, 2 H.264
extern int cfg_mp4_width;
extern int cfg_mp4_height;
extern int cfg_keyframe_interval;
extern int cfg_mp4_size_choice;
extern int cfg_3gp_size_choice;
extern int cfg_merge_mode;             // 0 one output per input, 1 one merged output
extern int cfg_mp4_size_adjust;        // 0 stretch, 1 fit with borders, 2 crop centred
extern int cfg_3gp_size_adjust;
extern int cfg_avi_size_adjust;
extern int cfg_avi_size_choice;
extern int cfg_avi_video_codec;        // no key: starts as cfg_mp4_video_codec
extern int cfg_amr_channel_mode;       // stereo to mono: 0 mix, 1 left, 2 right
extern int cfg_amr_rate;               // 0 MR475 ... 7 MR122
extern int cfg_aac_type;
extern int cfg_aac_bitrate;
extern int cfg_aac_quality;
extern int cfg_aac_sample_rate;
extern int cfg_aac_channels;
extern int cfg_aac_channel_mode;
extern int cfg_mp3_coding_type;        // 0 CBR, 1 VBR, 2 ABR
extern int cfg_mp3_vbr_quality;
extern int cfg_mp3_vbr_min;
extern int cfg_mp3_vbr_max;
extern int cfg_mp3_abr_rate;
extern int cfg_mp3_cbr_rate;
extern int cfg_mp3_mode;               // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5 layer III
extern int cfg_mp3_sample_rate;
extern int cfg_mp3_channels;
extern int cfg_mp3_channel_mode;

// The 3GP output size, derived from cfg_3gp_size_choice.
extern int g_out_width;
extern int g_out_height;

struct FrameSize {
    int width, height;
};
// Frame sizes by size choice: 176x144, 352x288, 704x576, 128x96, 320x240, 160x120.
constexpr int kFrameSizeCount = 6;
extern const FrameSize kFrameSizes[kFrameSizeCount];

// MP3 bit rates (kbit/s) and sample rates (Hz) allowed by each MPEG audio mode.
constexpr int kMp3RateCount = 14;
extern const int kMp3BitRates[3][kMp3RateCount];
extern const int kMp3SampleRates[3][3];

// The settings file as the loader sees it.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The key's text, or nothing when the key (or the file) is missing.
    virtual std::optional<std::string> read(const char* key) = 0;
    virtual void write(const char* key, const std::string& value) = 0;
    virtual bool folder_exists(const std::string& folder) = 0;
};

// The INI key of an integer setting (one of the cfg_ variables above); "" for any other variable.
const char* settings_key_of(const int* value);

// Loads every setting; program_folder is where the default output folder lies.
void load_settings(SettingsStore& store, const std::string& program_folder);
// Writes one integer key as decimal text.
void save_setting(SettingsStore& store, const char* key, int value);
// Stores cfg_ui_color in its file form 0xRRGGBB.
void save_ui_color(SettingsStore& store);

// A whole decimal integer with optional sign and surrounding blanks; nothing for other text or
// values beyond int.
std::optional<int> parse_setting_int(const std::string& text);
