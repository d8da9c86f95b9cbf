// Effect 2: each pixel through HSL in double precision, its hue and saturation scaled (not shifted)
// by FH / 128 and FS / 128, with FH = hue percent x 128 / 100 and FS likewise, and back. The steps
// follow the effect's definition operation by operation (this file is compiled without fused
// multiply-adds), so the results are reproducible to the bit.
#include "hue_saturation_kernels.h"
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

namespace {
constexpr double kByteToUnit = 0.00392156862745098;  // 1 / 255
}  // namespace

// The same arithmetic for each width of vector the processor may have; the widest it has runs.
#define LANES 2
#define KERNEL lanes2
#include "hue_saturation_lanes.inc"
#undef LANES
#undef KERNEL

#pragma GCC push_options
#pragma GCC target("avx2")
#define LANES 4
#define KERNEL lanes4
#include "hue_saturation_lanes.inc"
#undef LANES
#undef KERNEL
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq,avx512vl")
#define LANES 8
#define KERNEL lanes8
#include "hue_saturation_lanes.inc"
#undef LANES
#undef KERNEL
#pragma GCC pop_options

namespace hue_saturation {

const std::vector<Kernel>& kernels() {
    static const std::vector<Kernel> available = [] {
        __builtin_cpu_init();
        std::vector<Kernel> list = {{"sse2", lanes2::convert_row}};
        if (__builtin_cpu_supports("avx2")) list.push_back({"avx2", lanes4::convert_row});
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
            __builtin_cpu_supports("avx512vl"))
            list.push_back({"avx512", lanes8::convert_row});
        return list;
    }();
    return available;
}

}  // namespace hue_saturation

void CEffectImage::AdjustHueSaturation(int hue_percent, int saturation_percent, Progress* progress) {
    if (empty()) return;
    const int fh = hue_percent * 128 / 100, fs = saturation_percent * 128 / 100;
    const int w = width();
    const auto convert_row = hue_saturation::kernels().back().convert_row;
    routine::for_each_row(*this, progress, [w, fh, fs, convert_row](uint8_t* row_start) { convert_row(row_start, w, fh, fs); });
}

namespace videofx {
void apply_hue_saturation(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.AdjustHueSaturation(slot.byte_params[0], slot.byte_params[1], &image.progress());
}
}  // namespace videofx
