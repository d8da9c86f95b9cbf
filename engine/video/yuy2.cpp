#include "yuy2.h"
#include <atomic>
#include <mutex>
#include <vector>

namespace {

// Seven tables of i x k for the BT.601 weights: Y from R, G, B; U from R, G; V from G, B.
struct Tables {
    float yr[256], yg[256], yb[256], ur[256], ug[256], vg[256], vb[256];
};
Tables g_tables;
std::once_flag g_tables_once;

void build_tables() {
    for (int i = 0; i < 256; ++i) {
        const float f = float(i);
        g_tables.yr[i] = f * 0.299f;
        g_tables.yg[i] = f * 0.587f;
        g_tables.yb[i] = f * 0.114f;
        g_tables.ur[i] = f * 0.1684f;
        g_tables.ug[i] = f * 0.3316f;
        g_tables.vg[i] = f * 0.4187f;
        g_tables.vb[i] = f * 0.0813f;
    }
}

inline uint8_t clamp_byte(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

void yuy2_tables_init() { std::call_once(g_tables_once, build_tables); }

int rgb24_to_yuy2(int width, int height, const uint8_t* pixels, uint8_t* destination, int flag) {
    if (width < 2 || height < 2) return -1;
    return rgb24_to_yuy2(width, height, pixels, (3 * width + 3) & ~3, destination, flag);
}

int rgb24_to_yuy2(int width, int height, const uint8_t* pixels, int stride, uint8_t* destination, int flag) {
    if (width < 2 || height < 2 || !pixels || !destination || stride < 3 * width) return -1;
    yuy2_tables_init();
    const Tables& t = g_tables;
    const int w = width & ~1, h = height & ~1;
    const size_t out_stride = size_t(w) * 2;
    // U and V of one row pair: the first row's values are kept here, the second row's are added, and
    // the sum of each 2 x 2 block divided by 4 goes out.
    std::vector<int> work;
    try {
        work.resize(size_t(w));
    } catch (...) {
        return -2;
    }
    int* uv = work.data();  // per pixel pair: U sum at even index, V sum at odd index
    for (int y = 0; y < h; y += 2) {
        uint8_t* out[2] = {destination + out_stride * size_t(y), destination + out_stride * size_t(y + 1)};
        for (int r = 0; r < 2; ++r) {
            const int source_row = flag ? y + r : height - 1 - (y + r);
            const uint8_t* p = pixels + size_t(stride) * size_t(source_row);
            uint8_t* o = out[r];
            for (int x = 0; x < w; x += 2, p += 6, o += 4) {
                const int b0 = p[0], g0 = p[1], r0 = p[2], b1 = p[3], g1 = p[4], r1 = p[5];
                o[0] = clamp_byte(int(t.yr[r0] + t.yg[g0] + t.yb[b0]));
                o[2] = clamp_byte(int(t.yr[r1] + t.yg[g1] + t.yb[b1]));
                const int u = int(float(b0 / 2) - (t.ur[r0] + t.ug[g0]) + 128.0f) +
                              int(float(b1 / 2) - (t.ur[r1] + t.ug[g1]) + 128.0f);
                const int v = int(float(r0 / 2) - t.vg[g0] - t.vb[b0] + 128.0f) +
                              int(float(r1 / 2) - t.vg[g1] - t.vb[b1] + 128.0f);
                if (r == 0) {
                    uv[x] = u;
                    uv[x + 1] = v;
                } else {
                    const uint8_t uu = clamp_byte((uv[x] + u) / 4), vv = clamp_byte((uv[x + 1] + v) / 4);
                    o[1] = uu;
                    o[3] = vv;
                    out[0][2 * x + 1] = uu;
                    out[0][2 * x + 3] = vv;
                }
            }
        }
    }
    return 0;
}
