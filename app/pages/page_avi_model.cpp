#include "page_models.h"
#include "engine/settings/settings.h"

namespace settings_pages {

namespace {
constexpr int kAbrMin = 80, kAbrMax = 320;
constexpr int kCbr = 0, kVbr = 1, kAbr = 2;

int mode_or_first(int mode) { return mode >= 0 && mode < 3 ? mode : 0; }
}  // namespace

void PageAviModel::load() {
    codec = item_of(video_codec_items(), cfg_avi_video_codec);
    size_choice = item_of(full_size_items(), cfg_avi_size_choice);
    size_adjust = item_of(size_adjust_items(), cfg_avi_size_adjust);
    width = std::to_string(cfg_mp4_width);
    height = std::to_string(cfg_mp4_height);
    mode = item_of(mp3_mode_items(), cfg_mp3_mode);
    rows_mode_ = mode_or_first(cfg_mp3_mode);
    sample_rate = std::to_string(kMp3SampleRates[rows_mode_][0]) + " Hz";
    coding_type = item_of(mp3_coding_type_items(), cfg_mp3_coding_type);
    cbr_value_ = cfg_mp3_cbr_rate;
    vbr_min_value_ = cfg_mp3_vbr_min;
    vbr_max_value_ = cfg_mp3_vbr_max;
    cbr = item_of(rate_items(), cbr_value_);
    vbr_min = item_of(rate_items(), vbr_min_value_);
    vbr_max = item_of(rate_items(), vbr_max_value_);
    vbr_quality = item_of(mp3_vbr_quality_items(), cfg_mp3_vbr_quality);
    abr = std::to_string(cfg_mp3_abr_rate);
    channels = channels_item(cfg_mp3_channels);
    channel_mode = item_of(mono_mode_items(), cfg_mp3_channel_mode);
}

void PageAviModel::mode_changed() {
    if (mode < 0 || mode >= 3) return;
    const ItemList& old_row = rate_items();
    const ItemList& new_row = mp3_bitrate_items(mode);
    const Rate rates[] = {{&vbr_min, &vbr_min_value_, 32}, {&vbr_max, &vbr_max_value_, 128}, {&cbr, &cbr_value_, 128}};
    for (const Rate& r : rates) {
        value_of(old_row, *r.item, r.value);  // a combo with an item shows its rate; else the page's copy
        *r.item = item_of(new_row, *r.value);
        if (*r.item < 0) {
            *r.value = r.fallback;
            *r.item = item_of(new_row, r.fallback);
        }
    }
    rows_mode_ = mode;
    sample_rate = std::to_string(kMp3SampleRates[mode][0]);
}

PageAviModel::Enabling PageAviModel::enabling() const {
    return {coding_type == kCbr, coding_type == kVbr, coding_type == kVbr, coding_type == kVbr, coding_type == kAbr};
}

SaveOutcome PageAviModel::save(bool write, SettingsStore& store) {
    if (!was_shown) return {SaveResult::NotShown, {}};
    int min_rate = vbr_min_value_, max_rate = vbr_max_value_;
    value_of(rate_items(), vbr_min, &min_rate);
    value_of(rate_items(), vbr_max, &max_rate);
    // Each row ascends, so comparing rates compares the items.
    if (max_rate < min_rate) return refuse(kVbrOrderMessage);
    std::optional<int> abr_rate = parse_setting_int(abr);
    if (!abr_rate || *abr_rate < kAbrMin || *abr_rate > kAbrMax) return refuse(kAbrRangeMessage);
    copy_item(video_codec_items(), codec, cfg_avi_video_codec);
    copy_item(full_size_items(), size_choice, cfg_avi_size_choice);
    copy_item(size_adjust_items(), size_adjust, cfg_avi_size_adjust);
    copy_item(mp3_coding_type_items(), coding_type, cfg_mp3_coding_type);
    copy_item(mp3_vbr_quality_items(), vbr_quality, cfg_mp3_vbr_quality);
    cfg_mp3_vbr_min = min_rate;
    cfg_mp3_vbr_max = max_rate;
    cfg_mp3_abr_rate = *abr_rate;
    copy_item(rate_items(), cbr, cfg_mp3_cbr_rate);
    copy_item(mp3_mode_items(), mode, cfg_mp3_mode);
    cfg_mp3_sample_rate = kMp3SampleRates[mode_or_first(cfg_mp3_mode)][0];
    if (channels >= 0) cfg_mp3_channels = channels_of_item(channels);
    copy_item(mono_mode_items(), channel_mode, cfg_mp3_channel_mode);
    if (write) {
        for (int* v : {&cfg_avi_size_choice, &cfg_avi_size_adjust, &cfg_mp3_coding_type, &cfg_mp3_vbr_quality,
                       &cfg_mp3_vbr_min, &cfg_mp3_vbr_max, &cfg_mp3_abr_rate, &cfg_mp3_cbr_rate, &cfg_mp3_mode,
                       &cfg_mp3_sample_rate, &cfg_mp3_channels, &cfg_mp3_channel_mode})
            save_setting(store, settings_key_of(v), *v);
    }
    return {SaveResult::Saved, {}};
}

}  // namespace settings_pages
