// Picture and macroblock layers of the encoder, and its program-wide state.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>
#include "h263_bitwriter.h"
#include "h263_block.h"
#include "h263_motion.h"
#include "h263encode.h"

namespace h263 {

namespace {

constexpr int kQp = 8;
constexpr int kSearchRange = 3;  // half pels
constexpr int kIntraBias = 500;
constexpr int kCustomFormat = 99;

// Source format codes and the values the picture header carries for them.
struct StandardSize {
    int width, height, code, ptype_format;
};
constexpr StandardSize kStandardSizes[] = {
    {176, 144, 0, 2}, {352, 288, 1, 3}, {704, 576, 2, 4}, {1408, 1152, 3, 5}, {128, 96, 4, 1},
};

struct Planes {
    std::vector<int32_t> y, cb, cr;
    void allocate(int width, int height) {
        y.assign(size_t(width) * height, 0);
        cb.assign(size_t(width / 2) * (height / 2), 0);
        cr.assign(cb.size(), 0);
    }
};

struct Macroblock {
    MotionVector vector;
    int cost = 0;
    bool intra = false;
};

struct Encoder {
    int format = 0;
    int ptype_format = 0;
    int width = 0, height = 0;              // the picture as given and as the header states it
    int plane_width = 0, plane_height = 0;  // the planes coded: whole macroblocks, edges repeated
    int mb_cols = 0, mb_rows = 0;
    int picture_count = 0;
    bool have_reference = false;
    Planes source, reference, next;
    HalfPelGrid grid;
    std::vector<Macroblock> motion;
    std::vector<MotionVector> coded_vectors;  // per macroblock, zero for intra and skipped ones
    std::vector<uint8_t> output;
    size_t fill = 0;
};

std::unique_ptr<Encoder> g_encoder;

int32_t sample(int32_t v) { return std::clamp(v, 0, 255); }

// Copies the 8x8 block at (x, y) of a plane.
void get_block(const std::vector<int32_t>& plane, int stride, int x, int y, int32_t out[64]) {
    for (int j = 0; j < 8; ++j)
        std::memcpy(out + 8 * j, &plane[size_t(y + j) * stride + x], 8 * sizeof(int32_t));
}

void put_block(std::vector<int32_t>& plane, int stride, int x, int y, const int32_t in[64]) {
    for (int j = 0; j < 8; ++j)
        std::memcpy(&plane[size_t(y + j) * stride + x], in + 8 * j, 8 * sizeof(int32_t));
}

// Chroma prediction: the luma vector halved, quarter positions moved to the half position.
void predict_chroma(const std::vector<int32_t>& plane, int width, int height, int x, int y, MotionVector luma,
                    int32_t out[64]) {
    const int vx = (luma.x >> 1) | (luma.x & 1), vy = (luma.y >> 1) | (luma.y & 1);
    const int fx = vx >> 1, fy = vy >> 1, hx = vx & 1, hy = vy & 1;
    auto at = [&](int px, int py) {
        return plane[size_t(std::clamp(py, 0, height - 1)) * width + std::clamp(px, 0, width - 1)];
    };
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) {
            const int px = x + i + fx, py = y + j + fy;
            const int32_t a = at(px, py), b = at(px + hx, py), c = at(px, py + hy), d = at(px + hx, py + hy);
            out[8 * j + i] = hx && hy ? (a + b + c + d + 2) / 4 : hx ? (a + b + 1) / 2 : hy ? (a + c + 1) / 2 : a;
        }
}

// Prediction of the six blocks (Y0..Y3, Cb, Cr) of a macroblock from the reference.
void predict_macroblock(const Encoder& e, int mb_x, int mb_y, MotionVector v, int32_t pred[6][64]) {
    for (int b = 0; b < 4; ++b) {
        const int bx = 16 * mb_x + 8 * (b & 1), by = 16 * mb_y + 8 * (b >> 1);
        for (int j = 0; j < 8; ++j)
            for (int i = 0; i < 8; ++i) pred[b][8 * j + i] = e.grid.at(2 * (bx + i) + v.x, 2 * (by + j) + v.y);
    }
    const int cw = e.plane_width / 2, ch = e.plane_height / 2;
    predict_chroma(e.reference.cb, cw, ch, 8 * mb_x, 8 * mb_y, v, pred[4]);
    predict_chroma(e.reference.cr, cw, ch, 8 * mb_x, 8 * mb_y, v, pred[5]);
}

// The six blocks of a macroblock: which plane, where, and its stride.
struct BlockPlace {
    std::vector<int32_t> Planes::*plane;
    int x, y, stride;
};
void block_places(const Encoder& e, int mb_x, int mb_y, BlockPlace out[6]) {
    for (int b = 0; b < 4; ++b)
        out[b] = {&Planes::y, 16 * mb_x + 8 * (b & 1), 16 * mb_y + 8 * (b >> 1), e.plane_width};
    out[4] = {&Planes::cb, 8 * mb_x, 8 * mb_y, e.plane_width / 2};
    out[5] = {&Planes::cr, 8 * mb_x, 8 * mb_y, e.plane_width / 2};
}

int coded_block_pattern(const CodedBlock blocks[6]) {
    int cbp = 0;
    for (int b = 0; b < 6; ++b) cbp = cbp << 1 | (blocks[b].coded ? 1 : 0);
    return cbp;  // Y0 Y1 Y2 Y3 Cb Cr, most significant first
}

// Transforms an intra macroblock, stores its reconstruction and returns its blocks.
void quantise_intra_macroblock(Encoder& e, int mb_x, int mb_y, CodedBlock blocks[6]) {
    BlockPlace places[6];
    block_places(e, mb_x, mb_y, places);
    for (int b = 0; b < 6; ++b) {
        int32_t samples[64], recon[64];
        get_block(e.source.*places[b].plane, places[b].stride, places[b].x, places[b].y, samples);
        quantise_intra(samples, kQp, blocks[b], recon);
        put_block(e.next.*places[b].plane, places[b].stride, places[b].x, places[b].y, recon);
    }
}

void quantise_inter_macroblock(Encoder& e, int mb_x, int mb_y, MotionVector v, CodedBlock blocks[6]) {
    BlockPlace places[6];
    block_places(e, mb_x, mb_y, places);
    int32_t pred[6][64];
    predict_macroblock(e, mb_x, mb_y, v, pred);
    for (int b = 0; b < 6; ++b) {
        int32_t samples[64], residual[64], recon[64];
        get_block(e.source.*places[b].plane, places[b].stride, places[b].x, places[b].y, samples);
        for (int i = 0; i < 64; ++i) residual[i] = samples[i] - pred[b][i];
        quantise_inter(residual, kQp, blocks[b], recon);
        for (int i = 0; i < 64; ++i) recon[i] = sample(pred[b][i] + recon[i]);
        put_block(e.next.*places[b].plane, places[b].stride, places[b].x, places[b].y, recon);
    }
}

bool write_blocks(BitWriter& bits, const CodedBlock blocks[6], bool intra) {
    for (int b = 0; b < 6; ++b)
        if (!write_block(bits, blocks[b], intra)) return false;
    return true;
}

void write_picture_header(const Encoder& e, BitWriter& bits, bool intra) {
    bits.put(1, 17);  // PSC
    bits.put(0, 5);
    bits.put(uint32_t(e.picture_count & 0xFF), 8);  // TR
    bits.put(1, 1);
    bits.put(0, 1);
    bits.put(0, 3);  // split screen, document camera, freeze picture release
    if (e.format != kCustomFormat) {
        bits.put(uint32_t(e.ptype_format), 3);
        bits.put(intra ? 0 : 1, 1);
        bits.put(0, 4);  // unrestricted vectors, arithmetic coding, advanced prediction, PB frames
        bits.put(kQp, 5);
        bits.put(0, 1);  // CPM
        bits.put(0, 1);  // PEI
        return;
    }
    // Any other size: extended PTYPE with a custom picture format, no optional modes.
    bits.put(7, 3);
    bits.put(1, 3);   // UFEP: the optional part follows
    bits.put(6, 3);   // custom source format
    bits.put(0, 11);  // custom clock, UMV, SAC, AP, AIC, DF, SS, RPS, ISD, AIV, MQ
    bits.put(8, 4);   // "1" against start code emulation, 3 reserved bits
    bits.put(intra ? 0 : 1, 3);
    bits.put(0, 3);   // RPR, RRU, rounding type
    bits.put(1, 3);   // 2 reserved bits, then "1" against start code emulation
    bits.put(0, 1);   // CPM
    bits.put(1, 4);   // pixel aspect ratio 1:1
    bits.put(uint32_t(e.width / 4 - 1), 9);
    bits.put(1, 1);
    bits.put(uint32_t(e.height / 4), 9);
    bits.put(kQp, 5);
    bits.put(0, 1);  // PEI
}

bool code_intra_picture(Encoder& e, BitWriter& bits) {
    for (int mb_y = 0; mb_y < e.mb_rows; ++mb_y)
        for (int mb_x = 0; mb_x < e.mb_cols; ++mb_x) {
            CodedBlock blocks[6];
            quantise_intra_macroblock(e, mb_x, mb_y, blocks);
            const int cbp = coded_block_pattern(blocks);
            bits.put(mcbpc_i(kIntra, cbp & 3));
            bits.put(cbpy((cbp >> 2) ^ 15));
            if (!write_blocks(bits, blocks, true)) return false;
        }
    return true;
}

// The median predictor of the standard: left, above and above-right, with its rules at the edges.
MotionVector predict_vector(const Encoder& e, int mb_x, int mb_y) {
    auto vector_at = [&](int x, int y) { return e.coded_vectors[size_t(y) * e.mb_cols + x]; };
    const MotionVector left = mb_x > 0 ? vector_at(mb_x - 1, mb_y) : MotionVector{};
    if (mb_y == 0) return left;
    const MotionVector above = vector_at(mb_x, mb_y - 1);
    const MotionVector above_right = mb_x + 1 < e.mb_cols ? vector_at(mb_x + 1, mb_y - 1) : MotionVector{};
    auto median = [](int a, int b, int c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); };
    return {median(left.x, above.x, above_right.x), median(left.y, above.y, above_right.y)};
}

int fold_difference(int d) {
    if (d < -32) return d + 64;
    if (d > 31) return d - 64;
    return d;
}

void estimate_motion(Encoder& e) {
    e.grid.build(e.reference.y.data(), e.plane_width, e.plane_height);
    for (int mb_y = 0; mb_y < e.mb_rows; ++mb_y)
        for (int mb_x = 0; mb_x < e.mb_cols; ++mb_x) {
            Macroblock& mb = e.motion[size_t(mb_y) * e.mb_cols + mb_x];
            const MotionResult found = search_macroblock(e.grid, e.source.y.data(), mb_x, mb_y, kSearchRange);
            // Intra when the macroblock varies less about its own mean than it differs from the prediction.
            int sum = 0;
            for (int j = 0; j < 16; ++j)
                for (int i = 0; i < 16; ++i) sum += e.source.y[size_t(16 * mb_y + j) * e.plane_width + 16 * mb_x + i];
            const int mean = sum / 256;
            int deviation = 0;
            for (int j = 0; j < 16; ++j)
                for (int i = 0; i < 16; ++i)
                    deviation += std::abs(e.source.y[size_t(16 * mb_y + j) * e.plane_width + 16 * mb_x + i] - mean);
            mb.cost = found.cost;
            mb.intra = deviation < found.cost - kIntraBias;
            mb.vector = mb.intra ? MotionVector{} : found.vector;
        }
}

bool code_inter_picture(Encoder& e, BitWriter& bits) {
    estimate_motion(e);
    for (int mb_y = 0; mb_y < e.mb_rows; ++mb_y)
        for (int mb_x = 0; mb_x < e.mb_cols; ++mb_x) {
            const size_t index = size_t(mb_y) * e.mb_cols + mb_x;
            const Macroblock& mb = e.motion[index];
            CodedBlock blocks[6];
            e.coded_vectors[index] = MotionVector{};
            if (mb.intra) {
                quantise_intra_macroblock(e, mb_x, mb_y, blocks);
                const int cbp = coded_block_pattern(blocks);
                bits.put(0, 1);  // COD
                bits.put(mcbpc_p(kIntra, cbp & 3));
                bits.put(cbpy((cbp >> 2) ^ 15));
                if (!write_blocks(bits, blocks, true)) return false;
                continue;
            }
            quantise_inter_macroblock(e, mb_x, mb_y, mb.vector, blocks);
            const int cbp = coded_block_pattern(blocks);
            if (cbp == 0 && mb.vector.x == 0 && mb.vector.y == 0) {
                bits.put(1, 1);  // COD: not coded, the reconstruction is the co-located reference
                continue;
            }
            bits.put(0, 1);
            bits.put(mcbpc_p(kInter, cbp & 3));
            bits.put(cbpy(cbp >> 2));
            const MotionVector predicted = predict_vector(e, mb_x, mb_y);
            const Vlc dx = mvd(fold_difference(mb.vector.x - predicted.x));
            const Vlc dy = mvd(fold_difference(mb.vector.y - predicted.y));
            if (!dx.length || !dy.length) return false;
            bits.put(dx);
            bits.put(dy);
            e.coded_vectors[index] = mb.vector;
            if (!write_blocks(bits, blocks, false)) return false;
        }
    return true;
}

// Copies a width x height plane into a larger one, repeating the last column and row into the rest.
void load_plane(const int32_t* from, int width, int height, std::vector<int32_t>& to, int to_width, int to_height) {
    for (int y = 0; y < to_height; ++y) {
        const int32_t* row = from + size_t(std::min(y, height - 1)) * width;
        int32_t* out = &to[size_t(y) * to_width];
        for (int x = 0; x < width; ++x) out[x] = sample(row[x]);
        for (int x = width; x < to_width; ++x) out[x] = out[width - 1];
    }
}

void load_source(Encoder& e, const int32_t* picture) {
    const size_t luma = size_t(e.width) * e.height;
    const int cw = e.width / 2, ch = e.height / 2;
    const size_t chroma = size_t(cw) * ch;
    load_plane(picture, e.width, e.height, e.source.y, e.plane_width, e.plane_height);
    load_plane(picture + luma, cw, ch, e.source.cb, e.plane_width / 2, e.plane_height / 2);
    load_plane(picture + luma + chroma, cw, ch, e.source.cr, e.plane_width / 2, e.plane_height / 2);
}

void put_output_byte(int byte) {
    Encoder& e = *g_encoder;
    if (e.fill < e.output.size()) e.output[e.fill] = uint8_t(byte);
    ++e.fill;
}

}  // namespace

}  // namespace h263

using namespace h263;

int h263encode_init(int width, int height) {
    g_encoder.reset();
    if (width < 4 || height < 4 || width % 4 || height % 4 || width > 2048 || height > 1152) return -1;
    try {
        auto e = std::make_unique<Encoder>();
        e->width = width;
        e->height = height;
        e->plane_width = (width + 15) & ~15;
        e->plane_height = (height + 15) & ~15;
        e->format = kCustomFormat;
        for (const StandardSize& s : kStandardSizes)
            if (s.width == width && s.height == height) {
                e->format = s.code;
                e->ptype_format = s.ptype_format;
            }
        e->mb_cols = e->plane_width / 16;
        e->mb_rows = e->plane_height / 16;
        e->source.allocate(e->plane_width, e->plane_height);
        e->reference.allocate(e->plane_width, e->plane_height);
        e->next.allocate(e->plane_width, e->plane_height);
        e->motion.resize(size_t(e->mb_cols) * e->mb_rows);
        e->coded_vectors.resize(e->motion.size());
        e->output.resize(size_t(width) * height * 3);
        g_encoder = std::move(e);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return 0;
}

int h263encode_encode(const PictureView& picture, int intra, uint8_t* output) {
    if (!g_encoder || picture.format != PixelFormat::kYuv420Int32 || !picture::valid(picture)) return -1;
    if (picture.width != g_encoder->width || picture.height != g_encoder->height) return -1;
    if (picture.stride != picture::natural_stride(picture.format, picture.width)) return -1;
    return h263encode_encode(reinterpret_cast<const int32_t*>(picture.data), 0, intra, output);
}

void h263encode_putbyte(int byte) {
    if (g_encoder) put_output_byte(byte);
}

int h263encode_encode(const int32_t* picture, int, int intra, uint8_t* output) {
    if (!g_encoder || !picture || !output) return -1;
    Encoder& e = *g_encoder;
    const bool code_intra = intra || !e.have_reference;
    load_source(e, picture);
    e.fill = 0;
    BitWriter bits(h263encode_putbyte);
    write_picture_header(e, bits, code_intra);
    const bool ok = code_intra ? code_intra_picture(e, bits) : code_inter_picture(e, bits);
    bits.align();
    if (!ok || e.fill > e.output.size()) {
        // Nothing goes out; a decoder still holds the old reference, so the next picture is intra.
        e.have_reference = false;
        return -1;
    }
    std::swap(e.reference, e.next);
    e.have_reference = true;
    e.picture_count = (e.picture_count + 1) & 0xFF;
    std::memcpy(output, e.output.data(), e.fill);
    return int(e.fill);
}

void h263encode_close() { g_encoder.reset(); }
