// What the three settings pages (3GP, MP4, AVI) show and how they store it, without windows: each model
// holds the state of its page's controls (combo items, -1 for none; edit texts; the slider position),
// loads it from the cfg_ settings, keeps the dependent controls in step, and copies it back into the
// settings and the INI file when the main dialog asks the pages to save.
#pragma once
#include <string>
#include "app/pages/page_lists.h"

class SettingsStore;

namespace settings_pages {

enum class SaveResult {
    NotShown,  // the page was never opened: nothing copied, nothing written
    Saved,
    Refused,   // a value the page cannot take: nothing copied, nothing written; `message` says why
};

struct SaveOutcome {
    SaveResult result;
    std::string message;
};

class PageModel {
public:
    // Set once the page has been shown; only such a page takes part in saving.
    bool was_shown = false;

protected:
    // A combo with no item selected leaves its setting alone.
    static void copy_item(const ItemList& list, int item, int& setting);
    static SaveOutcome refuse(const char* message) { return {SaveResult::Refused, message}; }
};

class Page3gpModel : public PageModel {
public:
    static constexpr int kKeyframeMin = 1, kKeyframeMax = 100;

    std::string out_dir;  // edit 1020
    int merge_mode = -1, keyframe_interval = kKeyframeMin, size_choice = -1, size_adjust = -1, amr_rate = -1,
        amr_channel_mode = -1;

    void load();
    // The folder dialog chose `path`: the folder text becomes the path up to and including its last
    // separator (unchanged for a path without one).
    void choose_folder(const std::string& path);
    SaveOutcome save(bool write, SettingsStore& store);
    static std::string keyframe_label(int interval);
};

class PageMp4Model : public PageModel {
public:
    int codec = -1, size_choice = -1, size_adjust = -1, aac_type = -1, aac_bitrate = -1, aac_sample_rate = -1,
        aac_quality = -1, channels = -1, channel_mode = -1;
    std::string width, height;  // edits 1021, 1023

    void load();
    // The sizes the size combo offers with the chosen codec: H.263 only the standard ones.
    const ItemList& size_items() const;
    // After the codec combo changed: the size choice as the refilled size combo shows it.
    void codec_changed();
    bool channel_mode_enabled() const { return channels_of_item(channels) != 2; }
    SaveOutcome save(bool write, SettingsStore& store);
};

class PageAviModel : public PageModel {
public:
    int codec = -1, size_choice = -1, size_adjust = -1, mode = -1, coding_type = -1, cbr = -1, vbr_min = -1,
        vbr_max = -1, vbr_quality = -1, channels = -1, channel_mode = -1;
    std::string width, height;  // edits 1027, 1028: shown, never stored
    std::string sample_rate;    // edit 1024, read-only
    std::string abr;            // edit 1021

    struct Enabling {
        bool cbr, vbr_quality, vbr_min, vbr_max, abr;
    };

    void load();
    // The bit-rate rows the three rate combos hold now.
    const ItemList& rate_items() const { return mp3_bitrate_items(rows_mode_); }
    // After the mode combo changed: the rate combos take the new mode's rows; each keeps its rate when
    // the row has it, else falls back (VBR minimum 32, maximum 128, CBR 128: every row holds both).
    void mode_changed();
    Enabling enabling() const;
    bool channel_mode_enabled() const { return channels_of_item(channels) != 2; }
    SaveOutcome save(bool write, SettingsStore& store);

private:
    struct Rate {
        int* item;
        int* value;
        int fallback;
    };
    int rows_mode_ = 0;
    // The page's own copies of the rates, for a combo whose rate its row does not hold.
    int cbr_value_ = 0, vbr_min_value_ = 0, vbr_max_value_ = 0;
};

// The refusal texts.
extern const char* const kVbrOrderMessage;
extern const char* const kAbrRangeMessage;
extern const char* const kMp4SizeMessage;

}  // namespace settings_pages
