#include "engine/timing/frame_timing.h"
#include <cmath>
#include <numeric>

namespace {

FrameRate reduced(int64_t num, int64_t den) {
    const int64_t g = std::gcd(num, den);
    return FrameRate{num / g, den / g};
}

}  // namespace

FrameRate exact_frame_rate(double fps, int fallback) {
    if (fallback < 1) fallback = kDefaultFrameRate;
    if (!(fps > 0) || !(fps < 100000)) return FrameRate{fallback, 1};
    const double whole = std::round(fps);
    const double ntsc_k = std::round(fps * 1.001);
    // A rate that sits on k·1000/1001 (within what a two-decimal text or a float keeps) but not on a
    // whole number is the NTSC rate it stands for.
    if (ntsc_k >= 1 && std::fabs(fps - ntsc_k * 1000.0 / 1001.0) < 0.006 && std::fabs(fps - whole) > 0.006)
        return reduced(int64_t(ntsc_k) * 1000, 1001);
    if (whole >= 1 && std::fabs(fps - whole) < 0.0005) return FrameRate{int64_t(whole), 1};
    const int64_t thousandths = std::llround(fps * 1000);
    if (thousandths < 1) return FrameRate{fallback, 1};
    return reduced(thousandths, 1000);
}

int dialog_frame_rate(double fps, int fallback) {
    if (!(fps > 0) || !(fps < 100000)) return fallback;
    return int(fps + 0.3);
}

int64_t picture_time(const FrameRate& rate, int64_t i, int64_t timescale) {
    // round(i · timescale · den / num), halves rounded up, in integers.
    const int64_t numerator = 2 * i * timescale * rate.den + rate.num;
    return numerator / (2 * rate.num);
}

int picture_duration(const FrameRate& rate, int64_t i, int64_t timescale) {
    return int(picture_time(rate, i + 1, timescale) - picture_time(rate, i, timescale));
}
