// The equaliser preset record (the same in memory, in the preset file and inside the settings record)
// and the eleven built-in presets.
#pragma once
#include <cstddef>
#include <cstdint>

namespace soundfx {

#pragma pack(push, 1)
struct EqPreset {
    char name[64];        // zero-terminated GBK, at most 63 bytes
    int32_t band_count;   // 10, 15, 25 or 31
    int32_t gains[31];    // whole dB of bands 0..30
    uint8_t builtin;      // 1 built-in, 0 user preset
    uint8_t padding[3];
};
#pragma pack(pop)
static_assert(sizeof(EqPreset) == 196, "EqPreset is 196 bytes");
static_assert(offsetof(EqPreset, band_count) == 64 && offsetof(EqPreset, gains) == 68 &&
                  offsetof(EqPreset, builtin) == 192 && offsetof(EqPreset, padding) == 193,
              "EqPreset layout");

constexpr int kBuiltinPresetCount = 11;
// Slots 0..10 of the preset table: the four flat defaults (10, 15, 25, 31 bands) and seven 10-band curves.
const EqPreset* builtin_presets();
// The name of the first built-in preset with this band count ("10频段缺省模式" ...), or null.
const char* default_preset_name(int band_count);

}  // namespace soundfx
