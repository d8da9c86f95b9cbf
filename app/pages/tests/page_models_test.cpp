// The settings pages without windows: what each page shows for the settings, how its dependent controls
// follow a choice, and what saving copies into the settings and writes, in which order.
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "app/pages/page_models.h"
#include "engine/settings/settings.h"

using namespace settings_pages;

namespace {

class RecordingStore : public SettingsStore {
public:
    std::map<std::string, std::string> keys;
    std::vector<std::pair<std::string, std::string>> writes;
    std::optional<std::string> read(const char* key) override {
        auto it = keys.find(key);
        return it == keys.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void write(const char* key, const std::string& value) override {
        keys[key] = value;
        writes.emplace_back(key, value);
    }
    bool folder_exists(const std::string&) override { return true; }
    std::vector<std::string> written_keys() const {
        std::vector<std::string> out;
        for (const auto& w : writes) out.push_back(w.first);
        return out;
    }
};

struct Pages {
    Page3gpModel p3gp;
    PageMp4Model mp4;
    PageAviModel avi;
    RecordingStore store;
    std::vector<SaveOutcome> outcomes;
    // As the main dialog saves: 3GP, AVI, MP4.
    void save_all(bool write) {
        outcomes = {p3gp.save(write, store), avi.save(write, store), mp4.save(write, store)};
    }
};

// Every setting the pages touch, to see that a refused save changed none.
std::vector<int> snapshot() {
    return {cfg_mp4_video_codec, cfg_mp4_width, cfg_mp4_height, cfg_keyframe_interval, cfg_mp4_size_choice,
            cfg_3gp_size_choice, cfg_merge_mode, cfg_mp4_size_adjust, cfg_3gp_size_adjust, cfg_avi_size_adjust,
            cfg_avi_size_choice, cfg_avi_video_codec, cfg_amr_channel_mode, cfg_amr_rate, cfg_aac_type, cfg_aac_bitrate,
            cfg_aac_quality, cfg_aac_sample_rate, cfg_aac_channels, cfg_aac_channel_mode, cfg_mp3_coding_type,
            cfg_mp3_vbr_quality, cfg_mp3_vbr_min, cfg_mp3_vbr_max, cfg_mp3_abr_rate, cfg_mp3_cbr_rate, cfg_mp3_mode,
            cfg_mp3_sample_rate, cfg_mp3_channels, cfg_mp3_channel_mode, g_out_width, g_out_height};
}

// Loads the settings from a file holding `stored` (the rest default), then opens the three pages.
void start_with(Pages& p, const std::map<std::string, std::string>& stored) {
    RecordingStore file;
    file.keys = stored;
    load_settings(file, "/opt/orvane");
    p.p3gp.load();
    p.mp4.load();
    p.avi.load();
    p.p3gp.was_shown = p.mp4.was_shown = p.avi.was_shown = true;
}

int kbit(const PageAviModel& avi, int item) {
    int value = -1;
    value_of(avi.rate_items(), item, &value);
    return value;
}

const std::vector<std::string> k3gpKeys = {"MP4文件保存路径", "关键帧出现频率", "H263标准视频大小选择方式",
                                           "MP4文件保存方式", "3GP视频大小调整方式", "转换AMR编码速率",
                                           "转换AMR音频通道模式"};
const std::vector<std::string> kAviKeys = {
    "AVI视频大小选择方式", "AVI视频大小调整方式", "音频MP3编码类型", "音频MP3可变速率编码质量",
    "音频MP3可变速率最小值", "音频MP3可变速率最大值", "音频MP3平均编码速率", "音频MP3恒定速率",
    "音频MP3音频模式", "音频MP3音频采样速率", "音频MP3音频通道数", "音频MP3音频通道模式"};
const std::vector<std::string> kMp4Keys = {"MP4视频编码宽度", "MP4视频编码高度", "MP4视频编码方式",
                                           "MP4视频大小选择方式", "MP4视频大小调整方式", "转换AAC编码类型",
                                           "转换AAC编码质量", "转换AAC编码速率", "转换AAC音频采样速率",
                                           "转换AAC音频通道数", "转换AAC音频通道模式"};

std::vector<std::string> joined(std::initializer_list<const std::vector<std::string>*> parts) {
    std::vector<std::string> out;
    for (auto* p : parts) out.insert(out.end(), p->begin(), p->end());
    return out;
}

// A refused save: the text, and neither a setting nor a key changed.
void expect_refused(Pages& p, const std::function<SaveOutcome(Pages&)>& save, const char* message) {
    const std::vector<int> before = snapshot();
    const std::string dir = cfg_out_dir;
    SaveOutcome outcome = save(p);
    EXPECT_EQ(outcome.result, SaveResult::Refused);
    EXPECT_EQ(outcome.message, message);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(cfg_out_dir, dir);
    EXPECT_TRUE(p.store.writes.empty());
}

struct Case {
    const char* name;
    std::map<std::string, std::string> stored;
    std::function<void(Pages&)> run;
};

const Case kCases[] = {
    {"MPEG-2 turns a CBR of 320 into 128",
     {{"音频MP3音频模式", "0"}, {"音频MP3恒定速率", "320"}},
     [](Pages& p) {
         EXPECT_EQ(kbit(p.avi, p.avi.cbr), 320);
         p.avi.mode = 1;
         p.avi.mode_changed();
         EXPECT_EQ(p.avi.cbr, 11);  // 128 is item 11 of 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, ...
         EXPECT_EQ(p.avi.sample_rate, "22050");
         p.save_all(false);
         EXPECT_EQ(cfg_mp3_cbr_rate, 128);
         EXPECT_EQ(cfg_mp3_mode, 1);
         EXPECT_EQ(cfg_mp3_sample_rate, 22050);
     }},
    {"a VBR minimum of 32 stays in every mode; a maximum of 320 falls back to 128",
     {{"音频MP3音频模式", "0"}, {"音频MP3可变速率最小值", "32"}, {"音频MP3可变速率最大值", "320"}},
     [](Pages& p) {
         EXPECT_EQ(p.avi.sample_rate, "44100 Hz");
         EXPECT_EQ(p.avi.vbr_min, 0);
         for (int mode : {1, 2, 0, 2}) {
             p.avi.mode = mode;
             p.avi.mode_changed();
             EXPECT_EQ(kbit(p.avi, p.avi.vbr_min), 32) << mode;
             EXPECT_EQ(kbit(p.avi, p.avi.vbr_max), 128) << mode;  // 320 left with MPEG-1, 128 stays after
         }
         EXPECT_EQ(p.avi.vbr_min, 3);
         EXPECT_EQ(p.avi.sample_rate, "11025");
     }},
    {"a rate its row lacks keeps the page's copy until a mode change falls back",
     {{"音频MP3音频模式", "1"}, {"音频MP3可变速率最小值", "33"}},
     [](Pages& p) {
         EXPECT_EQ(p.avi.vbr_min, -1);
         p.save_all(false);
         EXPECT_EQ(cfg_mp3_vbr_min, 33);
         p.avi.mode = 0;
         p.avi.mode_changed();
         EXPECT_EQ(kbit(p.avi, p.avi.vbr_min), 32);
     }},
    {"VBR maximum below the minimum: refused, nothing copied or written",
     {},
     [](Pages& p) {
         p.avi.vbr_min = item_of(p.avi.rate_items(), 128);
         p.avi.vbr_max = item_of(p.avi.rate_items(), 64);
         p.avi.coding_type = 2;
         p.avi.channels = 1;
         expect_refused(p, [](Pages& q) { return q.avi.save(true, q.store); }, kVbrOrderMessage);
     }},
    {"ABR rate out of 80..320 or no number: refused, nothing copied or written",
     {},
     [](Pages& p) {
         for (const char* text : {"79", "321", "abc", "", "1e2"}) {
             p.avi.abr = text;
             p.avi.mode = 0;
             expect_refused(p, [](Pages& q) { return q.avi.save(true, q.store); }, kAbrRangeMessage);
         }
         p.avi.abr = "80";
         EXPECT_EQ(p.avi.save(false, p.store).result, SaveResult::Saved);
         EXPECT_EQ(cfg_mp3_abr_rate, 80);
     }},
    {"MP4 width or height out of 10..1000: refused, nothing copied or written",
     {},
     [](Pages& p) {
         for (auto wh : {std::pair<const char*, const char*>{"9", "240"}, {"320", "1001"}, {"x", "240"}, {"320", ""}}) {
             p.mp4.width = wh.first;
             p.mp4.height = wh.second;
             p.mp4.aac_bitrate = 0;
             expect_refused(p, [](Pages& q) { return q.mp4.save(true, q.store); }, kMp4SizeMessage);
         }
         p.mp4.width = "10";
         p.mp4.height = "1000";
         EXPECT_EQ(p.mp4.save(false, p.store).result, SaveResult::Saved);
         EXPECT_EQ(cfg_mp4_width, 10);
         EXPECT_EQ(cfg_mp4_height, 1000);
         EXPECT_EQ(cfg_aac_bitrate, 64000);
         EXPECT_TRUE(p.store.writes.empty());  // Play and Convert copy without writing
     }},
    {"Save before the MP4 and AVI tabs were opened writes only the 3GP keys, in order",
     {},
     [](Pages& p) {
         p.mp4.was_shown = p.avi.was_shown = false;
         p.mp4.width = "5";  // never looked at
         p.avi.vbr_max = 0;
         p.save_all(true);
         EXPECT_EQ(p.outcomes[0].result, SaveResult::Saved);
         EXPECT_EQ(p.outcomes[1].result, SaveResult::NotShown);
         EXPECT_EQ(p.outcomes[2].result, SaveResult::NotShown);
         EXPECT_EQ(p.store.written_keys(), k3gpKeys);
     }},
    {"every page shown: each page's keys in its order, with the values chosen",
     {},
     [](Pages& p) {
         p.p3gp.out_dir = "D:\\out";
         p.p3gp.keyframe_interval = 50;
         p.p3gp.size_choice = 1;
         p.p3gp.merge_mode = 1;
         p.p3gp.amr_rate = 7;
         p.p3gp.amr_channel_mode = 1;
         p.avi.mode = 0;
         p.avi.mode_changed();
         p.avi.coding_type = 2;
         p.avi.abr = "160";
         p.avi.cbr = item_of(p.avi.rate_items(), 192);
         p.avi.channels = 1;
         p.avi.channel_mode = 2;
         p.mp4.codec = 1;
         p.mp4.size_choice = 7;
         p.mp4.width = "400";
         p.mp4.height = "300";
         p.mp4.size_adjust = 1;
         p.mp4.aac_bitrate = 0;
         p.mp4.aac_sample_rate = 4;
         p.mp4.channels = 1;
         p.mp4.channel_mode = 1;
         p.save_all(true);
         EXPECT_EQ(p.store.written_keys(), joined({&k3gpKeys, &kAviKeys, &kMp4Keys}));
         const std::map<std::string, std::string> expected = {
             {"MP4文件保存路径", "D:\\out/"},  // a separator is added (the native one here)
             {"关键帧出现频率", "50"}, {"H263标准视频大小选择方式", "1"}, {"MP4文件保存方式", "1"},
             {"转换AMR编码速率", "7"}, {"转换AMR音频通道模式", "1"}, {"音频MP3编码类型", "2"},
             {"音频MP3平均编码速率", "160"}, {"音频MP3恒定速率", "192"}, {"音频MP3音频模式", "0"},
             {"音频MP3音频采样速率", "44100"}, {"音频MP3音频通道数", "1"}, {"音频MP3音频通道模式", "2"},
             {"MP4视频编码方式", "1"}, {"MP4视频大小选择方式", "7"}, {"MP4视频编码宽度", "400"},
             {"MP4视频编码高度", "300"}, {"MP4视频大小调整方式", "1"}, {"转换AAC编码速率", "64000"},
             {"转换AAC音频采样速率", "22050"}, {"转换AAC音频通道数", "1"}, {"转换AAC音频通道模式", "1"},
         };
         for (const auto& [key, value] : expected) EXPECT_EQ(p.store.keys[key], value) << key;
         EXPECT_EQ(g_out_width, 352);
         EXPECT_EQ(g_out_height, 288);
     }},
    {"the folder dialog's D:\\out\\a.3gp gives the folder D:\\out\\",
     {},
     [](Pages& p) {
         p.p3gp.choose_folder("D:\\out\\a.3gp");
         EXPECT_EQ(p.p3gp.out_dir, "D:\\out\\");
         p.p3gp.choose_folder("D:\\琝\\输出.3gp");  // 琝 ends in the byte 0x5C in GBK
         EXPECT_EQ(p.p3gp.out_dir, "D:\\琝\\");
         p.p3gp.choose_folder("a.3gp");
         EXPECT_EQ(p.p3gp.out_dir, "D:\\琝\\");
     }},
    {"H.263 shows a size choice of 5 as 0; the codec change keeps or resets the choice",
     {{"MP4视频编码方式", "0"}, {"MP4视频大小选择方式", "5"}},
     [](Pages& p) {
         EXPECT_EQ(p.mp4.size_items().texts.size(), 4u);
         EXPECT_EQ(p.mp4.size_choice, 0);
         p.mp4.codec = 2;
         p.mp4.size_choice = 6;
         p.mp4.codec_changed();
         EXPECT_EQ(p.mp4.size_items().texts.size(), 8u);
         EXPECT_EQ(p.mp4.size_choice, 6);
         p.mp4.codec = 0;
         p.mp4.codec_changed();
         EXPECT_EQ(p.mp4.size_choice, 0);
         p.mp4.size_choice = 3;
         p.mp4.codec = 1;
         p.mp4.codec_changed();
         EXPECT_EQ(p.mp4.size_choice, 3);
     }},
    {"combos without a selection leave their settings alone",
     {{"转换AAC编码类型", "4"}, {"转换AMR编码速率", "6"}},
     [](Pages& p) {
         EXPECT_EQ(p.mp4.aac_type, -1);  // 4 is accepted on load but has no item
         p.p3gp.amr_rate = -1;
         p.avi.coding_type = -1;
         p.save_all(false);
         EXPECT_EQ(cfg_aac_type, 4);
         EXPECT_EQ(cfg_amr_rate, 6);
         EXPECT_EQ(cfg_mp3_coding_type, 0);
     }},
    {"enabling follows the coding type and the channel count",
     {{"音频MP3编码类型", "1"}, {"音频MP3音频通道数", "1"}, {"转换AAC音频通道数", "2"}},
     [](Pages& p) {
         auto on = [](PageAviModel::Enabling e) {
             return std::vector<bool>{e.cbr, e.vbr_quality, e.vbr_min, e.vbr_max, e.abr};
         };
         EXPECT_EQ(on(p.avi.enabling()), (std::vector<bool>{false, true, true, true, false}));
         p.avi.coding_type = 0;
         EXPECT_EQ(on(p.avi.enabling()), (std::vector<bool>{true, false, false, false, false}));
         p.avi.coding_type = 2;
         EXPECT_EQ(on(p.avi.enabling()), (std::vector<bool>{false, false, false, false, true}));
         EXPECT_TRUE(p.avi.channel_mode_enabled());
         EXPECT_FALSE(p.mp4.channel_mode_enabled());
         p.mp4.channels = 1;
         EXPECT_TRUE(p.mp4.channel_mode_enabled());
     }},
    {"the key-frame slider shows a stored 100 and labels it",
     {{"关键帧出现频率", "100"}},
     [](Pages& p) {
         EXPECT_EQ(p.p3gp.keyframe_interval, 100);
         EXPECT_EQ(Page3gpModel::keyframe_label(5), "每5帧出现一个关键帧");
     }},
};

TEST(SettingsPages, Cases) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Pages pages;
        start_with(pages, c.stored);
        c.run(pages);
    }
}

}  // namespace
