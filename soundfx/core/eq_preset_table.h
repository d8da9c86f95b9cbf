// The equaliser page's preset table: 255 slots of EqPreset, the eleven built-ins first, then the user
// presets read from "tolmeqset.eq" and those saved in this run; and the preset file itself (user
// records only, 196 bytes each, no header).
#pragma once
#include <string>
#include <vector>
#include "soundfx/core/eq_preset.h"

namespace soundfx {

// The names the save dialog compares: ASCII letters without regard to case, every other byte as it
// is, walking GBK characters whole so that a trail byte in 'A'..'z' is never folded.
bool preset_names_equal(const char* a, const char* b);
// The name cut to at most 63 bytes at a whole GBK character.
std::string preset_name_fit(const std::string& name);

class EqPresetTable {
public:
    static constexpr int kSlots = 255;

    EqPresetTable() { reset(); }
    // The built-ins only.
    void reset();
    int count() const { return count_; }
    const EqPreset& at(int slot) const { return slots_[slot]; }

    // Appends the file's records after the built-ins (reset first). A record goes in only when its
    // band count is 10, 15, 25 or 31; its name ends at byte 63 and never in half a character, its gains
    // are limited to +-20 dB and it is loaded as a user preset. Records past a full table are not
    // listed but kept as read, so that a save does not lose them; a trailing piece under 196 bytes is
    // ignored. Returns the records taken into the table (0 without a file).
    int load(const char* path);
    // Writes every user preset in table order, then the records kept past a full table, to a file
    // beside `path` and puts it in place of `path`;
    // false (the old file untouched) when that fails.
    bool save(const char* path) const;

    // The slot of the i-th preset with this band count, or -1.
    int nth_with_bands(int i, int band_count) const;
    int count_with_bands(int band_count) const;
    // The slot of a preset whose name equals `name` (preset_names_equal), or -1.
    int find(const char* name) const;

    enum class AddResult { Added, Full, Duplicate, Empty };
    // A user preset at the end; the name is fitted to 63 bytes first. `slot` receives its slot.
    AddResult add(const std::string& name, int band_count, const int gains[31], int* slot = nullptr);
    // Removes a user preset; false (nothing changes) for a built-in or a slot out of range.
    bool remove(int slot);

private:
    EqPreset slots_[kSlots];
    int count_ = 0;
    std::vector<EqPreset> beyond_;  // records of the file that did not fit, as read
};

}  // namespace soundfx
