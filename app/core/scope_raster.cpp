#include "scope_raster.h"
#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace {

struct Area {
    int width, height;
    uint32_t* pixels;
    void put(int x, int y, uint32_t pixel) const {
        if (x >= 0 && x < width && y >= 0 && y < height) pixels[size_t(y) * size_t(width) + size_t(x)] = pixel;
    }
};

// Octants numbered 1..8 counter-clockwise from the positive x axis with y pointing down, a line on
// the diagonal counting as the more vertical one: the numbering the DIB engine's rounding rules use.
int octant(int dx, int dy) {
    if (dy > 0) {
        if (dx > 0) return dx > dy ? 1 : 2;
        return -dx > dy ? 4 : 3;
    }
    if (dx < 0) return -dx > -dy ? 5 : 6;
    return dx > -dy ? 8 : 7;
}

}  // namespace

void raster_line(int x0, int y0, int x1, int y1, uint32_t pixel, int width, int height, uint32_t* pixels) {
    const Area area = {width, height, pixels};
    if (y0 == y1 || x0 == x1) {
        // A span from the smaller end up to the larger one, whichever way the line runs.
        const int left = std::min(x0, x1), right = y0 == y1 ? std::max(x0, x1) : left + 1;
        const int top = std::min(y0, y1), bottom = x0 == x1 ? std::max(y0, y1) : top + 1;
        const int l = std::max(left, 0), r = std::min(right, width);
        const int t = std::max(top, 0), b = std::min(bottom, height);
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) pixels[size_t(y) * size_t(width) + size_t(x)] = pixel;
        return;
    }
    const int dx = x1 - x0, dy = y1 - y0;
    const int ax = std::abs(dx), ay = std::abs(dy);
    const int o = octant(dx, dy);
    const bool x_major = o == 1 || o == 4 || o == 5 || o == 8;
    const int bias = (o == 3 || o == 5 || o == 6 || o == 8) ? 1 : 0;
    const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
    int x = x0, y = y0;
    if (x_major) {
        int err = 2 * ay - ax;
        for (int i = 0; i < ax; ++i, x += sx) {
            area.put(x, y, pixel);
            if (err + bias > 0) {
                y += sy;
                err += 2 * ay - 2 * ax;
            } else {
                err += 2 * ay;
            }
        }
    } else {
        int err = 2 * ax - ay;
        for (int i = 0; i < ay; ++i, y += sy) {
            area.put(x, y, pixel);
            if (err + bias > 0) {
                x += sx;
                err += 2 * ax - 2 * ay;
            } else {
                err += 2 * ax;
            }
        }
    }
}

void raster_scope(const ScopePicture& picture, int width, int height, uint32_t* pixels) {
    for (const ScopeFill& f : picture.fills) {
        const uint32_t pixel = scope_pixel(f.colour);
        const int top = std::max(f.top, 0), bottom = std::min(f.bottom, height);
        if (top < bottom) std::fill(pixels + size_t(top) * size_t(width), pixels + size_t(bottom) * size_t(width), pixel);
    }
    for (const ScopeLine& l : picture.lines)
        raster_line(l.x0, l.y0, l.x1, l.y1, scope_pixel(l.colour), width, height, pixels);
}
