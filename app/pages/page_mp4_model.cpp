#include "page_models.h"
#include "engine/settings/settings.h"

namespace settings_pages {

namespace {
constexpr int kSideMin = 10, kSideMax = 1000;
constexpr int kH263 = 0;

bool side_of(const std::string& text, int* side) {
    std::optional<int> v = parse_setting_int(text);
    if (!v || *v < kSideMin || *v > kSideMax) return false;
    *side = *v;
    return true;
}
}  // namespace

void PageMp4Model::load() {
    codec = item_of(video_codec_items(), cfg_mp4_video_codec);
    size_choice = item_of(size_items(), cfg_mp4_size_choice);
    // H.263 offers only the standard sizes: a larger choice shows as the first.
    if (size_choice < 0 && codec == kH263 && cfg_mp4_size_choice > 3) size_choice = 0;
    size_adjust = item_of(size_adjust_items(), cfg_mp4_size_adjust);
    width = std::to_string(cfg_mp4_width);
    height = std::to_string(cfg_mp4_height);
    aac_type = item_of(aac_type_items(), cfg_aac_type);
    aac_bitrate = item_of(aac_bitrate_items(), cfg_aac_bitrate);
    aac_sample_rate = item_of(aac_sample_rate_items(), cfg_aac_sample_rate);
    aac_quality = item_of(aac_quality_items(), cfg_aac_quality);
    channels = channels_item(cfg_aac_channels);
    channel_mode = item_of(mono_mode_items(), cfg_aac_channel_mode);
}

const ItemList& PageMp4Model::size_items() const {
    return codec == kH263 ? standard_size_items() : full_size_items();
}

void PageMp4Model::codec_changed() {
    if (codec == kH263 && size_choice > 3) size_choice = 0;
}

SaveOutcome PageMp4Model::save(bool write, SettingsStore& store) {
    if (!was_shown) return {SaveResult::NotShown, {}};
    int w, h;
    if (!side_of(width, &w) || !side_of(height, &h)) return refuse(kMp4SizeMessage);
    cfg_mp4_width = w;
    cfg_mp4_height = h;
    copy_item(video_codec_items(), codec, cfg_mp4_video_codec);
    copy_item(size_items(), size_choice, cfg_mp4_size_choice);
    copy_item(size_adjust_items(), size_adjust, cfg_mp4_size_adjust);
    copy_item(aac_type_items(), aac_type, cfg_aac_type);
    copy_item(aac_quality_items(), aac_quality, cfg_aac_quality);
    copy_item(aac_bitrate_items(), aac_bitrate, cfg_aac_bitrate);
    copy_item(aac_sample_rate_items(), aac_sample_rate, cfg_aac_sample_rate);
    if (channels >= 0) cfg_aac_channels = channels_of_item(channels);
    copy_item(mono_mode_items(), channel_mode, cfg_aac_channel_mode);
    if (write) {
        for (int* v : {&cfg_mp4_width, &cfg_mp4_height, &cfg_mp4_video_codec, &cfg_mp4_size_choice, &cfg_mp4_size_adjust,
                       &cfg_aac_type, &cfg_aac_quality, &cfg_aac_bitrate, &cfg_aac_sample_rate, &cfg_aac_channels,
                       &cfg_aac_channel_mode})
            save_setting(store, settings_key_of(v), *v);
    }
    return {SaveResult::Saved, {}};
}

}  // namespace settings_pages
