// The row converters of the hue and saturation routine, one per vector width this processor runs,
// narrowest first; the routine uses the last. Tests hold each against the step by step form.
#pragma once
#include <cstdint>
#include <vector>

namespace hue_saturation {

struct Kernel {
    const char* name;
    void (*convert_row)(uint8_t* row, int width, int fh, int fs);  // fh, fs: percent x 128 / 100
};

const std::vector<Kernel>& kernels();

}  // namespace hue_saturation
