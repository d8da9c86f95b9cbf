#include "soundfx/core/texture.h"
#include <algorithm>
#include <cstring>

namespace soundfx {
namespace {

void put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16), p[3] = uint8_t(v >> 24);
}
void put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }

uint8_t mix(int a, int b, int wa, int wb, int div) { return uint8_t((a * wa + b * wb) / div); }

}  // namespace

int dib_stride(int width, int bits) { return int(((int64_t(width) * bits + 31) / 32) * 4); }

int dib_table_entries(int bits) { return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0; }

bool DibImage::create(int width, int height, int bits) {
    destroy();
    const bool depth_ok = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (!depth_ok || width < 1 || height < 1 || width > 16384 || height > 16384) return false;
    const int stride = dib_stride(width, bits);
    const int table = dib_table_entries(bits);
    buffer_.assign(40 + size_t(table) * 4 + size_t(stride) * size_t(height), 0);
    uint8_t* h = buffer_.data();
    put32(h, 40);
    put32(h + 4, uint32_t(width));
    put32(h + 8, uint32_t(height));
    put16(h + 12, 1);
    put16(h + 14, uint16_t(bits));
    put32(h + 16, 0);  // BI_RGB
    put32(h + 20, uint32_t(stride * height));
    put32(h + 32, uint32_t(table));
    width_ = width, height_ = height, bits_ = bits, stride_ = stride, table_ = table;
    return true;
}

void DibImage::destroy() {
    buffer_.clear();
    buffer_.shrink_to_fit();
    width_ = height_ = bits_ = stride_ = table_ = 0;
}

void DibImage::copy_from(const DibImage& other) {
    if (&other == this) return;
    if (other.empty() || !create(other.width_, other.height_, other.bits_)) {
        destroy();
        return;
    }
    buffer_ = other.buffer_;
}

void DibImage::set_palette_entry(int index, Rgb c) {
    if (index < 0 || index >= table_) return;
    uint8_t* e = buffer_.data() + 40 + size_t(index) * 4;
    e[0] = c.b, e[1] = c.g, e[2] = c.r, e[3] = 0;
}

Rgb DibImage::palette_entry(int index) const {
    if (index < 0 || index >= table_) return {};
    const uint8_t* e = buffer_.data() + 40 + size_t(index) * 4;
    return Rgb{e[2], e[1], e[0]};
}

void DibImage::tint_palette(Rgb c, int percent) {
    percent = std::clamp(percent, 0, 100);
    for (int i = 0; i < table_; ++i) {
        const Rgb e = palette_entry(i);
        set_palette_entry(i, Rgb{mix(c.r, e.r, percent, 100 - percent, 100), mix(c.g, e.g, percent, 100 - percent, 100),
                                 mix(c.b, e.b, percent, 100 - percent, 100)});
    }
}

void DibImage::fill(uint8_t index) {
    if (!empty()) std::memset(pixels(), index, size_t(stride_) * size_t(height_));
}

void DibImage::set_pixel(int x, int y, uint8_t index) {
    if (table_ == 0 || bits_ != 8 || x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels()[size_t(height_ - 1 - y) * size_t(stride_) + size_t(x)] = index;
}

uint8_t DibImage::pixel(int x, int y) const {
    if (bits_ != 8 || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels()[size_t(height_ - 1 - y) * size_t(stride_) + size_t(x)];
}

void texture_ramp(DibImage& face, const TextureColours& c) {
    for (int i = 0; i <= 128; ++i)
        face.set_palette_entry(i, Rgb{mix(c.shadow.r, c.face.r, 128 - i, i, 128), mix(c.shadow.g, c.face.g, 128 - i, i, 128),
                                      mix(c.shadow.b, c.face.b, 128 - i, i, 128)});
    for (int i = 1; i <= 128; ++i)
        face.set_palette_entry(127 + i, Rgb{mix(c.face.r, c.highlight.r, 128 - i, i, 128),
                                            mix(c.face.g, c.highlight.g, 128 - i, i, 128),
                                            mix(c.face.b, c.highlight.b, 128 - i, i, 128)});
}

int texture_end_width(int width, int height) {
    if (width < 6 || height < 2) return 0;
    return std::min(width / 6, 16);
}

void texture_pattern(DibImage& face, int pattern, int noise, TextureRandom& random) {
    const int w = face.width(), h = face.height();
    if (face.bits() != 8 || w < 1 || h < 1) return;
    const int v = std::clamp(noise, 0, 255);
    const int divisor = 32767 / (v ? 2 * v : 1);
    auto n = [&] { return random.next() / divisor - v; };
    auto cubic = [](int t, int scale) { return (t * t * t / 16384) * scale / 128 + 128; };
    const int D = 255 - 2 * v;
    switch (pattern) {
        case 7: {
            for (int y = 0; y < h; ++y) {
                const int t = 255 * y / h - 127;
                const int c = (t * t * t / 16384) * (64 - v) * 2 / 128 + 128;
                for (int x = 0; x < w; ++x) face.set_pixel(x, y, uint8_t(c + n()));
            }
            const int E = texture_end_width(w, h);
            if (E == 0) break;
            const int quarter = std::max(1, h * h / 4);
            for (int y = 0; y < h; ++y) {
                const int d = y - h / 2;
                const int half = E * d * d / quarter + w / 2 - E;
                for (int x = 0; x < w; ++x) {
                    const int u = x - w / 2;
                    int p = face.pixel(x, y);
                    if (u > half) p = v + 128 * (w - x) / E;
                    else if (u + half < 0) p = (255 - v) - 128 * x / E;
                    face.set_pixel(x, y, uint8_t(p + n()));
                }
            }
            break;
        }
        case 1:
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) face.set_pixel(x, y, uint8_t(v + (D / 2) * y / h + (D / 2) * (w - x) / w + n()));
            break;
        case 2:
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) face.set_pixel(x, y, uint8_t(v + D * y / h + n()));
            break;
        case 3:
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) face.set_pixel(x, y, uint8_t(v + D * (w - x) / w + n()));
            break;
        case 4:
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) face.set_pixel(x, y, uint8_t(cubic(255 * y / h - 127, 128 - v) + n()));
            break;
        case 5:
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) face.set_pixel(x, y, uint8_t(cubic(255 * (w - x) / w - 127, 128 - v) + n()));
            break;
        case 6:
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const int ty = 255 * y / h - 127, tx = 255 * (w - x) / w - 127;
                    const int sum = (ty * ty * ty / 16384 + tx * tx * tx / 16384) * (128 - v) / 128 + 128;
                    face.set_pixel(x, y, uint8_t(std::clamp(sum, v, 255 - v) + n()));
                }
            break;
        case 8: {
            face.fill(0);
            for (int s = 0; s < 200; ++s) {
                const int index = random.next() / 819;
                const int cx = random.next() % w, cy = random.next() % h, len = 1 + random.next() % 4;
                for (int k = -len; k <= len; ++k) {
                    face.set_pixel(cx + k, cy + k, uint8_t(index));
                    face.set_pixel(cx + k, cy - k, uint8_t(index));
                }
            }
            const int ramp = (255 - 2 * v - 40) / 2;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    face.set_pixel(x, y, uint8_t(face.pixel(x, y) + ramp * y / h + ramp * (w - x) / w + random.next() / divisor));
            break;
        }
        default:
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) face.set_pixel(x, y, uint8_t(128 + n()));
            break;
    }
}

void generate_texture(TextureFaces& faces, int width, int height, int pattern, int noise, int hover_percent,
                      int normal_percent, Rgb tint, const TextureColours& colours, TextureRandom& random) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    faces.hover.destroy();
    if (!faces.normal.create(width, height, 8)) return;
    texture_ramp(faces.normal, colours);
    faces.normal.tint_palette(tint, normal_percent);
    texture_pattern(faces.normal, pattern, noise, random);
    faces.hover.copy_from(faces.normal);
    faces.hover.tint_palette(colours.highlight, hover_percent);
}

}  // namespace soundfx
