#include "soundfx/core/eq_preset_table.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include "base/fileio.h"

namespace soundfx {
namespace {

bool gbk_lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool valid_band_count(int32_t n) { return n == 10 || n == 15 || n == 25 || n == 31; }

// Length of the name in a 64-byte field: ends at the first zero or at byte 63, and a lead byte whose
// trail is missing is dropped.
size_t whole_name_length(const char* field, size_t limit) {
    size_t i = 0;
    while (i < limit && field[i]) {
        if (gbk_lead((unsigned char)field[i])) {
            if (i + 1 >= limit || !field[i + 1]) break;
            i += 2;
        } else {
            ++i;
        }
    }
    return i;
}

}  // namespace

bool preset_names_equal(const char* a, const char* b) {
    if (!a || !b) return false;
    for (;;) {
        const unsigned char ca = (unsigned char)*a, cb = (unsigned char)*b;
        if (gbk_lead(ca) || gbk_lead(cb)) {
            // A double-byte character matches only itself, byte for byte.
            if (ca != cb) return false;
            ++a, ++b;
            if (*a != *b) return false;
            if (!*a) return true;
            ++a, ++b;
            continue;
        }
        if (ascii_lower((char)ca) != ascii_lower((char)cb)) return false;
        if (!ca) return true;
        ++a, ++b;
    }
}

std::string preset_name_fit(const std::string& name) {
    const size_t n = whole_name_length(name.c_str(), std::min<size_t>(name.size(), sizeof(EqPreset::name) - 1));
    return name.substr(0, n);
}

void EqPresetTable::reset() {
    std::memset(slots_, 0, sizeof slots_);
    std::memcpy(slots_, builtin_presets(), sizeof(EqPreset) * kBuiltinPresetCount);
    count_ = kBuiltinPresetCount;
    beyond_.clear();
}

int EqPresetTable::load(const char* path) {
    reset();
    fileio::File file;
    if (!path || !*path || !file.open(path, fileio::File::Mode::Read)) return 0;
    int taken = 0;
    EqPreset record;
    while (file.read(&record, sizeof record) == (int64_t)sizeof record) {
        if (count_ >= kSlots) {
            beyond_.push_back(record);
            continue;
        }
        if (!valid_band_count(record.band_count)) continue;
        EqPreset clean{};
        std::memcpy(clean.name, record.name, whole_name_length(record.name, sizeof clean.name - 1));
        clean.band_count = record.band_count;
        for (int b = 0; b < 31; ++b) clean.gains[b] = std::clamp<int32_t>(record.gains[b], -20, 20);
        clean.builtin = 0;
        slots_[count_++] = clean;
        ++taken;
    }
    return taken;
}

bool EqPresetTable::save(const char* path) const {
    if (!path || !*path) return false;
    std::vector<EqPreset> user;
    for (int i = 0; i < count_; ++i) {
        if (slots_[i].builtin) continue;
        EqPreset r = slots_[i];
        std::memset(r.padding, 0, sizeof r.padding);
        user.push_back(r);
    }
    user.insert(user.end(), beyond_.begin(), beyond_.end());
    const std::string fresh = std::string(path) + ".new";
    fileio::remove(fresh.c_str());
    {
        fileio::File file;
        if (!file.open(fresh.c_str(), fileio::File::Mode::CreateNew)) return false;
        const int64_t bytes = int64_t(user.size() * sizeof(EqPreset));
        if (!file.write_all(user.data(), bytes)) {
            file.close();
            fileio::remove(fresh.c_str());
            return false;
        }
    }
    if (!fileio::replace(fresh.c_str(), path)) {
        fileio::remove(fresh.c_str());
        return false;
    }
    return true;
}

int EqPresetTable::nth_with_bands(int i, int band_count) const {
    if (i < 0) return -1;
    for (int s = 0; s < count_; ++s)
        if (slots_[s].band_count == band_count && i-- == 0) return s;
    return -1;
}

int EqPresetTable::count_with_bands(int band_count) const {
    int n = 0;
    for (int s = 0; s < count_; ++s) n += slots_[s].band_count == band_count;
    return n;
}

int EqPresetTable::find(const char* name) const {
    for (int s = 0; s < count_; ++s)
        if (preset_names_equal(slots_[s].name, name)) return s;
    return -1;
}

EqPresetTable::AddResult EqPresetTable::add(const std::string& name, int band_count, const int gains[31], int* slot) {
    const std::string fitted = preset_name_fit(name);
    if (fitted.empty()) return AddResult::Empty;
    if (find(fitted.c_str()) >= 0) return AddResult::Duplicate;
    if (count_ >= kSlots) return AddResult::Full;
    EqPreset r{};
    std::memcpy(r.name, fitted.data(), fitted.size());
    r.band_count = band_count;
    for (int b = 0; b < 31; ++b) r.gains[b] = gains ? gains[b] : 0;
    r.builtin = 0;
    if (slot) *slot = count_;
    slots_[count_++] = r;
    return AddResult::Added;
}

bool EqPresetTable::remove(int slot) {
    if (slot < 0 || slot >= count_ || slots_[slot].builtin) return false;
    std::memmove(&slots_[slot], &slots_[slot + 1], sizeof(EqPreset) * size_t(count_ - slot - 1));
    --count_;
    std::memset(&slots_[count_], 0, sizeof(EqPreset));
    return true;
}

}  // namespace soundfx
