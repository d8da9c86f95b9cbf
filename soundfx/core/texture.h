// The textured button's faces without a window: an 8-bit picture (packed DIB: header, colour table,
// rows bottom first) and the generator that fills it with a noisy, shaded texture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundfx {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
// A COLORREF (0x00BBGGRR) as its channels.
inline Rgb rgb_of(uint32_t colour) {
    return Rgb{uint8_t(colour & 0xFF), uint8_t((colour >> 8) & 0xFF), uint8_t((colour >> 16) & 0xFF)};
}

// Bytes of one row of a DIB (rows padded to 32 bits) and the colour-table entries of a bit depth.
int dib_stride(int width, int bits);
int dib_table_entries(int bits);

// A packed device-independent bitmap: 40-byte header, colour table (blue, green, red, 0), pixel rows.
class DibImage {
public:
    // Frees the old picture and makes a new one; false (empty picture) for sizes below 1 or a depth
    // other than 1, 4, 8, 16, 24, 32, or a picture too large.
    bool create(int width, int height, int bits);
    void destroy();
    void copy_from(const DibImage& other);
    bool empty() const { return buffer_.empty(); }

    void set_palette_entry(int index, Rgb colour);
    Rgb palette_entry(int index) const;
    // Every entry moves toward `colour` by percent (cut to 0..100).
    void tint_palette(Rgb colour, int percent);
    void fill(uint8_t index);
    // y counts from the top; ignored without a colour table or outside the picture.
    void set_pixel(int x, int y, uint8_t index);
    uint8_t pixel(int x, int y) const;

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    int bits() const { return bits_; }
    int table_entries() const { return table_; }
    size_t total_size() const { return buffer_.size(); }
    const uint8_t* data() const { return buffer_.data(); }  // the header first
    const uint8_t* pixels() const { return buffer_.data() + pixel_offset(); }
    uint8_t* pixels() { return buffer_.data() + pixel_offset(); }

private:
    size_t pixel_offset() const { return 40 + size_t(table_) * 4; }
    std::vector<uint8_t> buffer_;
    int width_ = 0, height_ = 0, bits_ = 0, stride_ = 0, table_ = 0;
};

// The C library's rand() as the generator meets it: 0..32767, here a seeded source of that range so
// that a texture is the same from run to run.
class TextureRandom {
public:
    explicit TextureRandom(uint32_t seed = 1) : state_(seed) {}
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return int((state_ >> 16) & 0x7FFF);
    }

private:
    uint32_t state_;
};

struct TextureColours {
    Rgb shadow, face, highlight;
};
// Entries 0..128 from the shadow to the face, 128..255 from the face to the highlight.
void texture_ramp(DibImage& face, const TextureColours& colours);
// The half-width E of the rounded ends for a face w wide: w / 6, at most 16; 0 (no rounded ends) when
// the face is narrower than 6 or lower than 2.
int texture_end_width(int width, int height);
// Fills an 8-bit face of the picture's size with pattern `pattern` (7 the shaded bar with rounded
// ends, the others simpler ramps) at noise 0..255.
void texture_pattern(DibImage& face, int pattern, int noise, TextureRandom& random);

struct TextureFaces {
    DibImage normal, hover;
};
// Both faces of a button w x h (each taken as 1 when not positive): the ramp, tinted toward `tint` by
// normal_percent, the pattern; the hover face a copy tinted toward the highlight by hover_percent.
void generate_texture(TextureFaces& faces, int width, int height, int pattern, int noise, int hover_percent,
                      int normal_percent, Rgb tint, const TextureColours& colours, TextureRandom& random);

}  // namespace soundfx
