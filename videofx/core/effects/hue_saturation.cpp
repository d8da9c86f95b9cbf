// Effect 2: each pixel through HSL in double precision, its hue and saturation scaled (not shifted)
// by FH / 128 and FS / 128, with FH = hue percent x 128 / 100 and FS likewise, and back. The steps
// follow the effect's definition operation by operation, so the results are reproducible to the bit.
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

namespace {

constexpr double kByteToUnit = 0.00392156862745098;  // 1 / 255

double hue_to_channel(double m1, double m2, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (6 * t < 1) return m1 + (m2 - m1) * (6 * t);
    if (2 * t < 1) return m2;
    if (3 * t < 2) return m1 + (m2 - m1) * (2.0 / 3.0 - t) * 6;
    return m1;
}

uint8_t unit_to_byte(double v) {
    const int x = int(v * 255);  // truncates toward zero
    return uint8_t(x > 254 ? 255 : x <= 0 ? 0 : x);
}

void convert(uint8_t* p, int fh, int fs) {
    const double r = p[2] * kByteToUnit, g = p[1] * kByteToUnit, b = p[0] * kByteToUnit;
    const double mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const double mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const double l = (mx + mn) / 2;
    double h = 0, s = 0;
    if (mx != mn) {
        const double d = mx - mn;
        s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
        double sector;
        if (r == mx)
            sector = (g - b) / d;
        else if (g == mx)
            sector = (b - r) / d + 2;
        else
            sector = (r - g) / d + 4;
        h = sector / 6;
        if (h < 0) h += 1;
    }
    if (fh != 128) h = fh * h / 128;
    if (fs != 128) s = fs * s / 128;
    if (s == 0) {
        p[0] = p[1] = p[2] = unit_to_byte(l);
        return;
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    p[2] = unit_to_byte(hue_to_channel(m1, m2, h + 1.0 / 3.0));
    p[1] = unit_to_byte(hue_to_channel(m1, m2, h));
    p[0] = unit_to_byte(hue_to_channel(m1, m2, h - 1.0 / 3.0));
}

}  // namespace

void CEffectImage::AdjustHueSaturation(int hue_percent, int saturation_percent, Progress* progress) {
    if (empty()) return;
    const int fh = hue_percent * 128 / 100, fs = saturation_percent * 128 / 100;
    const int w = width();
    routine::for_each_row(*this, progress, [w, fh, fs](uint8_t* p) {
        // Neighbouring pixels are often equal: such a pixel takes the result of the one before.
        uint8_t in[3] = {0, 0, 0}, out[3] = {0, 0, 0};
        bool have_previous = false;
        for (int x = 0; x < w; ++x, p += 3) {
            if (have_previous && p[0] == in[0] && p[1] == in[1] && p[2] == in[2]) {
                p[0] = out[0];
                p[1] = out[1];
                p[2] = out[2];
                continue;
            }
            in[0] = p[0], in[1] = p[1], in[2] = p[2];
            convert(p, fh, fs);
            out[0] = p[0], out[1] = p[1], out[2] = p[2];
            have_previous = true;
        }
    });
}

namespace videofx {
void apply_hue_saturation(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.AdjustHueSaturation(slot.byte_params[0], slot.byte_params[1], &image.progress());
}
}  // namespace videofx
