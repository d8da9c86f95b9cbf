#include <cstdio>
#include "page_models.h"
#include "base/fileio.h"
#include "engine/settings/settings.h"

namespace settings_pages {

void Page3gpModel::load() {
    out_dir = cfg_out_dir;
    merge_mode = item_of(merge_mode_items(), cfg_merge_mode);
    keyframe_interval = cfg_keyframe_interval < kKeyframeMin   ? kKeyframeMin
                        : cfg_keyframe_interval > kKeyframeMax ? kKeyframeMax
                                                               : cfg_keyframe_interval;
    size_choice = item_of(standard_size_items(), cfg_3gp_size_choice);
    size_adjust = item_of(size_adjust_items(), cfg_3gp_size_adjust);
    amr_rate = item_of(amr_rate_items(), cfg_amr_rate);
    amr_channel_mode = item_of(mono_mode_items(), cfg_amr_channel_mode);
}

void Page3gpModel::choose_folder(const std::string& path) {
    const std::string folder = fileio::folder_of(path);
    // folder_of stops before the separator; a path with none gives "" without one to keep.
    if (folder.size() < path.size() && (path[folder.size()] == '\\' || path[folder.size()] == '/'))
        out_dir = path.substr(0, folder.size() + 1);
}

std::string Page3gpModel::keyframe_label(int interval) {
    char text[64];
    std::snprintf(text, sizeof text, "每%d帧出现一个关键帧", interval);
    return text;
}

SaveOutcome Page3gpModel::save(bool write, SettingsStore& store) {
    if (!was_shown) return {SaveResult::NotShown, {}};
    // Output names are the folder followed by the file name, so a typed folder gets its separator;
    // an emptied folder text leaves the folder as it was.
    if (!out_dir.empty()) {
        cfg_out_dir = out_dir;
        if (fileio::folder_of(cfg_out_dir).size() + 1 != cfg_out_dir.size()) cfg_out_dir += fileio::separator();
    }
    if (keyframe_interval >= kKeyframeMin && keyframe_interval <= kKeyframeMax) cfg_keyframe_interval = keyframe_interval;
    copy_item(standard_size_items(), size_choice, cfg_3gp_size_choice);
    if (cfg_3gp_size_choice >= 0 && cfg_3gp_size_choice < kFrameSizeCount) {
        g_out_width = kFrameSizes[cfg_3gp_size_choice].width;
        g_out_height = kFrameSizes[cfg_3gp_size_choice].height;
    }
    copy_item(merge_mode_items(), merge_mode, cfg_merge_mode);
    copy_item(size_adjust_items(), size_adjust, cfg_3gp_size_adjust);
    copy_item(amr_rate_items(), amr_rate, cfg_amr_rate);
    copy_item(mono_mode_items(), amr_channel_mode, cfg_amr_channel_mode);
    if (write) {
        store.write(kOutDirKey, cfg_out_dir);
        for (int* v : {&cfg_keyframe_interval, &cfg_3gp_size_choice, &cfg_merge_mode, &cfg_3gp_size_adjust, &cfg_amr_rate,
                       &cfg_amr_channel_mode})
            save_setting(store, settings_key_of(v), *v);
    }
    return {SaveResult::Saved, {}};
}

}  // namespace settings_pages
