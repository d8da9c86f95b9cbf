#include "page_lists.h"
#include <cstdio>
#include "engine/settings/settings.h"

namespace settings_pages {

namespace {

ItemList numbered(const char* format, std::vector<int> values) {
    ItemList list;
    for (int v : values) {
        char text[32];
        std::snprintf(text, sizeof text, format, v);
        list.texts.push_back(text);
    }
    list.values = std::move(values);
    return list;
}

ItemList plain(std::vector<std::string> texts) { return ItemList{std::move(texts), {}}; }

const char* const kStandardSizes[] = {"宽176 高144", "宽352 高288", "宽704 高576", "宽128 高96"};

}  // namespace

const ItemList& size_adjust_items() {
    static const ItemList list = plain(
        {"按指定宽高拉伸填充", "按原始尺寸比例拉伸,多余黑色填充", "按原始尺寸裁减，距中多余黑色填充"});
    return list;
}

const ItemList& merge_mode_items() {
    static const ItemList list = plain({"生成对应多个3GP/MP4/AVI文件", "自动合并生成,一个3GP/MP4/AVI文件"});
    return list;
}

const ItemList& standard_size_items() {
    static const ItemList list = plain({std::begin(kStandardSizes), std::end(kStandardSizes)});
    return list;
}

const ItemList& full_size_items() {
    static const ItemList list = [] {
        ItemList l = standard_size_items();
        for (const char* t : {"宽320 高240", "宽160 高120", "原始视频尺寸", "指定宽高"}) l.texts.push_back(t);
        return l;
    }();
    return list;
}

const ItemList& amr_rate_items() {
    static const ItemList list = plain({"MR475类型 编码速率4.75 kbps", "MR515类型 编码速率5.15 kbps",
                                        "MR59类型 编码速率5.9 kbps", "MR67类型 编码速率6.7 kbps",
                                        "MR74类型 编码速率7.4 kbps", "MR795类型 编码速率7.95 kbps",
                                        "MR102类型 编码速率10.2 kbps", "MR122类型 编码速率12.2 kbps"});
    return list;
}

const ItemList& mono_mode_items() {
    static const ItemList list = plain({"双通道合成单通道", "双通道取左通道", "双通道取右通道"});
    return list;
}

const ItemList& channel_items() {
    static const ItemList list = plain({"双通道立体声", "单通道"});
    return list;
}

const ItemList& video_codec_items() {
    static const ItemList list = plain({"H263编码", "MPEG4编码", "H264编码"});
    return list;
}

const ItemList& aac_type_items() {
    static const ItemList list = plain({"Low Complexity", "AAC Main", "AAC SSR", "AAC LTP"});
    return list;
}

const ItemList& aac_bitrate_items() {
    static const ItemList list =
        numbered("%d bps", {64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000, 256000});
    return list;
}

const ItemList& aac_sample_rate_items() {
    static const ItemList list =
        numbered("%d Hz", {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000, 88200, 96000});
    return list;
}

const ItemList& aac_quality_items() {
    static const ItemList list = numbered(
        "%d", {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 200, 300, 400, 500});
    return list;
}

const ItemList& mp3_mode_items() {
    static const ItemList list = plain({"MPEG1 MP3", "MPEG2 MP3", "MPEG2.5 MP3"});
    return list;
}

const ItemList& mp3_coding_type_items() {
    static const ItemList list = plain(
        {"MP3恒定编码速率(CBR)方式", "MP3可变编码速率(VBR)方式", "MP3平均编码速率(ABR)方式"});
    return list;
}

const ItemList& mp3_vbr_quality_items() {
    static const ItemList list = plain({"0级[最好级别]", "1级", "2级", "3级", "4级[一般级别]", "5级", "6级",
                                        "7级", "8级", "9级[最差级别]"});
    return list;
}

const ItemList& mp3_bitrate_items(int mode) {
    static const ItemList rows[3] = {
        numbered("%dK bps", {std::begin(kMp3BitRates[0]), std::end(kMp3BitRates[0])}),
        numbered("%dK bps", {std::begin(kMp3BitRates[1]), std::end(kMp3BitRates[1])}),
        numbered("%dK bps", {std::begin(kMp3BitRates[2]), std::end(kMp3BitRates[2])}),
    };
    return rows[mode >= 0 && mode < 3 ? mode : 0];
}

int item_of(const ItemList& list, int value) {
    if (list.values.empty()) return value >= 0 && value < int(list.texts.size()) ? value : -1;
    for (size_t i = 0; i < list.values.size(); ++i)
        if (list.values[i] == value) return int(i);
    return -1;
}

bool value_of(const ItemList& list, int index, int* value) {
    if (index < 0 || index >= int(list.texts.size())) return false;
    *value = list.values.empty() ? index : list.values[size_t(index)];
    return true;
}

int channels_item(int channels) { return channels == 2 ? 0 : 1; }

int channels_of_item(int item) { return item == 0 ? 2 : 1; }

}  // namespace settings_pages
