#include <cstring>
#include "adpcm.h"
#include "bit_reader.h"

namespace {

SwfAdpcmState g_swf;

inline int clamp_index(int index) { return index < 0 ? 0 : index > adpcm::kMaxIndex ? adpcm::kMaxIndex : index; }
inline int clamp_sample(int v) { return v < -32768 ? -32768 : v > 32767 ? 32767 : v; }

// n bits (1..25) in one load while eight bytes are left; the bit reader does the rest.
inline uint32_t read_bits(BitReader& r, int n) {
    const size_t byte = r.pos >> 3;
    if (byte + 8 <= r.size) {
        uint64_t word;
        std::memcpy(&word, r.data + byte, 8);
        word = __builtin_bswap64(word);
        const uint32_t v = uint32_t((word << (r.pos & 7)) >> (64 - n));
        r.pos += size_t(n);
        return v;
    }
    return bit_read_bits(&r, n);
}

// The difference a code's magnitude bits give at each step index: step for the top bit, half of it
// for the next (halved with truncation, as the format defines), ..., plus what is left of the step.
struct DiffTable {
    int32_t diff[4][89][16];  // [code bits - 2][index][magnitude]
    DiffTable() {
        for (int bits = 2; bits <= 5; ++bits)
            for (int index = 0; index <= adpcm::kMaxIndex; ++index)
                for (int magnitude = 0; magnitude < (1 << (bits - 1)); ++magnitude) {
                    int step = adpcm::kStepTable[index], d = 0;
                    for (int k = 1 << (bits - 2); k; k >>= 1) {
                        if (magnitude & k) d += step;
                        step >>= 1;
                    }
                    diff[bits - 2][index][magnitude] = d + step;
                }
    }
};

const DiffTable& diff_table() {
    static const DiffTable table;
    return table;
}

inline uint64_t load_be64(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return __builtin_bswap64(word);
}

// One block's codes after its header: `codes` sample frames of Ch channels. A frame's codes come
// from one 64-bit load while eight bytes are left; the last frames go through the bit reader.
template <int Ch>
void decode_codes(BitReader& r, int bits, size_t codes, int* predictor, int* index, int16_t* out) {
    const int32_t(*diff)[16] = diff_table().diff[bits - 2];
    const int8_t* table = adpcm::swf_index_table(bits);
    const uint32_t sign = 1u << (bits - 1);
    const int frame_bits = bits * Ch;
    auto code = [&](uint32_t c, int ch) {
        const uint32_t magnitude = c & ~sign;
        const int d = diff[index[ch]][magnitude];
        predictor[ch] = clamp_sample(c & sign ? predictor[ch] - d : predictor[ch] + d);
        index[ch] = clamp_index(index[ch] + table[magnitude]);
        *out++ = int16_t(predictor[ch]);
    };
    size_t i = 0;
    for (; i < codes && (r.pos >> 3) + 8 <= r.size; ++i) {
        uint64_t word = load_be64(r.data + (r.pos >> 3)) << (r.pos & 7);
        for (int c = 0; c < Ch; ++c) {
            code(uint32_t(word >> (64 - bits)), c);
            word <<= bits;
        }
        r.pos += size_t(frame_bits);
    }
    for (; i < codes; ++i)
        for (int c = 0; c < Ch; ++c) code(bit_read_bits(&r, bits), c);
}

}  // namespace

void swf_adpcm_reset(SwfAdpcmState* state) { *state = SwfAdpcmState{}; }
void swf_adpcm_reset() { swf_adpcm_reset(&g_swf); }

uint64_t swf_adpcm_decode(SwfAdpcmState* state, const uint8_t* data, size_t length, int channels, int16_t* out,
                          size_t capacity) {
    if (!data || !out || length == 0 || (channels != 1 && channels != 2)) return 0;
    // Counts stay in 32 bits; a packet is far smaller than that in any real file.
    if (length > (size_t(1) << 28)) length = size_t(1) << 28;
    BitReader r = bit_reader(data, length);
    const int bits = int(read_bits(r, 2)) + 2;
    const size_t ch = size_t(channels);
    const size_t room = capacity / ch;  // whole sample frames that fit
    size_t frames = 0;
    int predictor[2], index[2];
    for (int c = 0; c < channels; ++c) {
        predictor[c] = state->predictor[c];
        index[c] = state->index[c];
    }

    // Each block: per channel a 16-bit initial sample and a 6-bit step index, then up to 4095 codes
    // for each channel while whole sets of codes remain.
    while (frames < room && bits_left(r) >= 22 * ch) {
        for (int c = 0; c < channels; ++c) {
            predictor[c] = int16_t(read_bits(r, 16));
            index[c] = int(read_bits(r, 6));
            state->initial_sample[c] = int16_t(predictor[c]);
            state->initial_index[c] = int16_t(index[c]);
            out[frames * ch + size_t(c)] = int16_t(predictor[c]);
        }
        ++frames;
        size_t codes = bits_left(r) / (size_t(bits) * ch);
        if (codes > 4095) codes = 4095;
        if (codes > room - frames) codes = room - frames;
        if (channels == 1)
            decode_codes<1>(r, bits, codes, predictor, index, out + frames);
        else
            decode_codes<2>(r, bits, codes, predictor, index, out + frames * 2);
        frames += codes;
    }
    for (int c = 0; c < channels; ++c) {
        state->predictor[c] = int16_t(predictor[c]);
        state->index[c] = int16_t(index[c]);
    }
    return uint64_t(r.pos & 7) << 32 | uint64_t(frames);
}

uint64_t swf_adpcm_decode(const uint8_t* data, size_t length, int channels, int16_t* out, size_t capacity) {
    return swf_adpcm_decode(&g_swf, data, length, channels, out, capacity);
}
