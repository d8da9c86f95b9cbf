#include "vp6_writer.h"
#include <algorithm>
#include <cmath>

namespace vp6_test {

namespace {

// The boolean (arithmetic) coder of VP6, as VP8 uses it too: a decision with probability p/256 of
// being 0 splits the range at 1 + ((range - 1) * p >> 8).
class BoolWriter {
public:
    void put(int probability, int bit) {
        uint32_t split = 1 + (((range_ - 1) * uint32_t(probability)) >> 8);
        if (bit) {
            bottom_ += split;
            range_ -= split;
        } else {
            range_ = split;
        }
        while (range_ < 128) {
            range_ <<= 1;
            if (bottom_ & (1u << 31)) carry();
            bottom_ <<= 1;
            if (!--bit_count_) {
                out_.push_back(uint8_t(bottom_ >> 24));
                bottom_ &= (1 << 24) - 1;
                bit_count_ = 8;
            }
        }
    }
    // Writes the rest of the coder's value exactly: the bytes after it read as zeros, so any decision
    // a decoder makes past the written ones comes out 0 whatever its probability.
    std::vector<uint8_t> finish() {
        int c = bit_count_;
        uint32_t v = bottom_;
        if (v & (1u << (32 - c))) carry();
        v <<= c & 7;
        c >>= 3;
        while (--c >= 0) v <<= 8;
        for (int i = 0; i < 4; ++i) {
            out_.push_back(uint8_t(v >> 24));
            v <<= 8;
        }
        return out_;
    }

private:
    void carry() {
        size_t i = out_.size();
        while (i > 0 && out_[i - 1] == 255) out_[--i] = 0;
        if (i > 0) ++out_[i - 1];
    }

    std::vector<uint8_t> out_;
    uint32_t range_ = 255, bottom_ = 0;
    int bit_count_ = 24;
};

// Quantiser 63: the DC step is 8, so one coefficient unit is a quarter of a level.
constexpr int kQuantiser = 63;
constexpr int kDcStep = 8;
// Version 6 of the format (VP6.0 as Flash stores it), no interlace, no filter header.
constexpr int kSubVersion = 6;

// Probabilities of a key frame's DC token decisions (nodes 0, 2, 3, 4) in each neighbour context
// (0, 1 or 2 neighbours with a non-zero DC): the default DC model (128) through the format's fixed
// linear combinations {a, b}: p = ((128 a + 128) >> 8) + b.
int dc_probability(int ctx, int node) {
    static const int kCombination[3][4][2] = {
        {{122, 133}, {78, 171}, {139, 117}, {168, 79}},
        {{133, 51}, {169, 71}, {214, 44}, {210, 38}},
        {{142, -16}, {221, -30}, {246, -3}, {203, 17}},
    };
    const int* c = kCombination[ctx][node == 0 ? 0 : node - 1];
    return std::clamp(((128 * c[0] + 128) >> 8) + c[1], 1, 255);
}

// Large DC values: category of the magnitude, its first value and its extra bits' probabilities
// (most significant bit last in the list, as the format stores them by bit position).
struct Category {
    int first, bits;
    int probability[11];
};
const Category kCategories[6] = {
    {5, 1, {159}},
    {7, 2, {145, 165}},
    {11, 3, {140, 148, 173}},
    {19, 4, {135, 140, 155, 176}},
    {35, 5, {130, 134, 141, 157, 180}},
    {67, 11, {129, 130, 133, 140, 153, 177, 196, 230, 243, 254, 254}},
};
// Path through the token tree to each category (every decision at probability 128 on a key frame).
const int kCategoryPath[6][3] = {{0, 0, -1}, {0, 1, -1}, {1, 0, 0}, {1, 0, 1}, {1, 1, 0}, {1, 1, 1}};

// Codes one block's DC difference, then the end of the block.
void put_block(BoolWriter& w, int ctx, int value) {
    const int m = std::abs(value);
    w.put(dc_probability(ctx, 0), m != 0);
    if (m != 0) {
        w.put(dc_probability(ctx, 2), m >= 2);
        if (m >= 2) {
            w.put(dc_probability(ctx, 3), m >= 5);
            if (m <= 4) {
                w.put(dc_probability(ctx, 4), m >= 3);
                if (m >= 3) w.put(128, m - 3);
            } else {
                int c = 5;
                while (c > 0 && m < kCategories[c].first) --c;
                for (int bit : kCategoryPath[c])
                    if (bit >= 0) w.put(128, bit);
                int extra = m - kCategories[c].first;
                for (int i = kCategories[c].bits - 1; i >= 0; --i) w.put(kCategories[c].probability[i], (extra >> i) & 1);
            }
        }
        w.put(128, value < 0);
    }
    // End of block: no run at the first AC position (both decisions at the key frame's default 128).
    w.put(128, 0);
    w.put(128, 0);
}

// DC prediction and the neighbour context of one plane, block by block in coding order.
class Plane {
public:
    Plane(int cols, int rows, int first_prediction)
        : cols_(cols), dc_(size_t(cols) * rows, 0), nonzero_(dc_.size(), 0), last_(first_prediction) {}

    // Codes block (x, y) so that its DC becomes `dc`.
    void code(BoolWriter& w, int x, int y, int dc) {
        int count = 0, sum = 0, ctx = 0;
        if (x > 0) count++, sum += at(x - 1, y), ctx += nonzero_[index(x - 1, y)];
        if (y > 0) count++, sum += at(x, y - 1), ctx += nonzero_[index(x, y - 1)];
        int prediction = count == 0 ? last_ : count == 2 ? sum / 2 : sum;
        int value = dc - prediction;
        put_block(w, ctx, value);
        dc_[index(x, y)] = dc;
        nonzero_[index(x, y)] = value != 0;
        last_ = dc;
    }

private:
    size_t index(int x, int y) const { return size_t(y) * cols_ + x; }
    int at(int x, int y) const { return dc_[index(x, y)]; }

    int cols_;
    std::vector<int> dc_;
    std::vector<int> nonzero_;
    int last_;
};

int dc_of(int level) { return (level - 128) * 32 / kDcStep; }

}  // namespace

int decoded_level(int level) {
    // The decoder's inverse transform of a DC-only block: two passes of a 46341/65536 factor.
    int coefficient = dc_of(level) * kDcStep;
    int first = int((int64_t(46341) * coefficient) >> 16);
    int value = 128 + int((int64_t(46341) * first + (8 << 16)) >> 20);
    return std::clamp(value, 0, 255);
}

std::vector<uint8_t> key_frame(const FlatPicture& picture) {
    const int mc = picture.mb_cols, mr = picture.mb_rows;
    if (mc < 1 || mr < 1 || mc > 255 || mr > 255 || picture.y.size() != size_t(4) * mc * mr ||
        picture.u.size() != size_t(mc) * mr || picture.v.size() != size_t(mc) * mr)
        return {};
    // Coefficient partition: every macroblock's six blocks (four luma, then U and V).
    BoolWriter coefficients;
    Plane y(2 * mc, 2 * mr, 0), u(mc, mr, 128), v(mc, mr, 128);
    for (int row = 0; row < mr; ++row)
        for (int col = 0; col < mc; ++col) {
            for (int b = 0; b < 4; ++b) {
                int bx = 2 * col + (b & 1), by = 2 * row + (b >> 1);
                y.code(coefficients, bx, by, dc_of(picture.y[size_t(by) * 2 * mc + bx]));
            }
            u.code(coefficients, col, row, dc_of(picture.u[size_t(row) * mc + col]));
            v.code(coefficients, col, row, dc_of(picture.v[size_t(row) * mc + col]));
        }
    std::vector<uint8_t> coded = coefficients.finish();

    // Header partition: scaling 0, no Huffman coding, no model updates: every decision 0, which zero
    // bytes give whatever the probabilities are.
    const int header_bytes = 128;
    const int offset = 8 + header_bytes;
    std::vector<uint8_t> frame = {uint8_t(kQuantiser << 1 | 1),  // key frame, separate coefficient partition
                                  uint8_t(kSubVersion << 3),
                                  uint8_t(offset >> 8),
                                  uint8_t(offset & 0xFF),
                                  uint8_t(mr),
                                  uint8_t(mc),
                                  uint8_t(mr),
                                  uint8_t(mc)};
    frame.resize(size_t(offset), 0);
    frame.insert(frame.end(), coded.begin(), coded.end());
    frame.resize(frame.size() + 16, 0);  // room for the decoder's read-ahead
    return frame;
}

FlatPicture pattern(int mb_cols, int mb_rows, int seed) {
    FlatPicture p;
    p.mb_cols = mb_cols;
    p.mb_rows = mb_rows;
    for (int by = 0; by < 2 * mb_rows; ++by)
        for (int bx = 0; bx < 2 * mb_cols; ++bx) p.y.push_back(uint8_t(40 + (bx * 37 + by * 23 + seed * 11) % 176));
    for (int row = 0; row < mb_rows; ++row)
        for (int col = 0; col < mb_cols; ++col) {
            p.u.push_back(uint8_t(60 + (col * 29 + row * 13 + seed * 7) % 136));
            p.v.push_back(uint8_t(60 + (col * 17 + row * 31 + seed * 5) % 136));
        }
    return p;
}

FlatPicture slope(int mb_cols, int mb_rows, int seed) {
    FlatPicture p;
    p.mb_cols = mb_cols;
    p.mb_rows = mb_rows;
    const int across = seed % 5 + 1, down = 5 - seed % 5;
    for (int by = 0; by < 2 * mb_rows; ++by)
        for (int bx = 0; bx < 2 * mb_cols; ++bx) p.y.push_back(uint8_t(std::min(235, 30 + across * bx + down * by)));
    for (int row = 0; row < mb_rows; ++row)
        for (int col = 0; col < mb_cols; ++col) {
            p.u.push_back(uint8_t(std::min(200, 90 + down * col)));
            p.v.push_back(uint8_t(std::min(200, 90 + across * row)));
        }
    return p;
}

void centre_bgr(const FlatPicture& picture, int bx, int by, uint8_t bgr[3]) {
    double y = decoded_level(picture.y[size_t(by) * 2 * picture.mb_cols + bx]) - 16;
    size_t mb = size_t(by / 2) * picture.mb_cols + bx / 2;
    double u = decoded_level(picture.u[mb]) - 128, v = decoded_level(picture.v[mb]) - 128;
    double r = 1.164 * y + 1.596 * v, g = 1.164 * y - 0.392 * u - 0.813 * v, b = 1.164 * y + 2.017 * u;
    bgr[0] = uint8_t(std::clamp(std::lround(b), 0L, 255L));
    bgr[1] = uint8_t(std::clamp(std::lround(g), 0L, 255L));
    bgr[2] = uint8_t(std::clamp(std::lround(r), 0L, 255L));
}

}  // namespace vp6_test
