#include "soundfx/core/eq_preset.h"
#include <cstring>

namespace soundfx {
namespace {

struct Builtin {
    const char* name;
    int bands;
    int gains[10];
};
const Builtin kBuiltins[kBuiltinPresetCount] = {
    {"10频段缺省模式", 10, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"15频段缺省模式", 15, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"25频段缺省模式", 25, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"31频段缺省模式", 31, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"Normal自然模式", 10, {0, 8, 8, 8, 8, 6, 6, 2, 2, 4}},
    {"Rock摇滚模式", 10, {8, 6, -6, 8, -2, 4, 8, 10, 10, 10}},
    {"POP流行模式", 10, {-2, 4, 6, 8, 6, -2, -4, -2, -2, -2}},
    {"重金属模式", 10, {-10, -10, -10, -4, -4, 12, 16, 16, 16, 16}},
    {"超低音模式", 10, {10, 10, 10, 6, 4, 0, -6, -10, -10, -10}},
    {"重金属超低音模式", 10, {8, 8, 0, -8, -6, 0, 8, 12, 14, 14}},
    {"SoftRock柔和模式", 10, {4, 4, 0, -2, -4, -6, -4, 0, 4, 10}},
};

struct Table {
    EqPreset rows[kBuiltinPresetCount];
    Table() {
        std::memset(rows, 0, sizeof rows);
        for (int i = 0; i < kBuiltinPresetCount; ++i) {
            std::strncpy(rows[i].name, kBuiltins[i].name, sizeof rows[i].name - 1);
            rows[i].band_count = kBuiltins[i].bands;
            for (int b = 0; b < 10; ++b) rows[i].gains[b] = kBuiltins[i].gains[b];
            rows[i].builtin = 1;
        }
    }
};

}  // namespace

const EqPreset* builtin_presets() {
    static const Table table;
    return table.rows;
}

const char* default_preset_name(int band_count) {
    for (int i = 0; i < kBuiltinPresetCount; ++i) {
        if (builtin_presets()[i].band_count == band_count) return builtin_presets()[i].name;
    }
    return nullptr;
}

}  // namespace soundfx
