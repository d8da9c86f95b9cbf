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
    const int8_t* table = adpcm::swf_index_table(bits);
    const uint32_t sign = 1u << (bits - 1);
    const uint32_t top = 1u << (bits - 2);
    const size_t ch = size_t(channels);
    size_t frames = 0;
    bool full = false;
    int predictor[2], index[2];
    for (int c = 0; c < channels; ++c) {
        predictor[c] = state->predictor[c];
        index[c] = state->index[c];
    }

    while (!full && bits_left(r) >= 22 * ch) {
        if ((frames + 1) * ch > capacity) {
            full = true;
            break;
        }
        for (int c = 0; c < channels; ++c) {
            predictor[c] = int16_t(read_bits(r, 16));
            index[c] = int(read_bits(r, 6));
            state->initial_sample[c] = int16_t(predictor[c]);
            state->initial_index[c] = int16_t(index[c]);
            out[frames * ch + size_t(c)] = int16_t(predictor[c]);
        }
        ++frames;
        for (int count = 0; count < 4095 && bits_left(r) >= size_t(bits) * ch; ++count) {
            if ((frames + 1) * ch > capacity) {
                full = true;
                break;
            }
            for (int c = 0; c < channels; ++c) {
                const uint32_t code = read_bits(r, bits);
                int step = adpcm::kStepTable[index[c]];
                int diff = 0;
                for (uint32_t k = top; k; k >>= 1) {
                    if (code & k) diff += step;
                    step >>= 1;
                }
                diff += step;
                predictor[c] = clamp_sample(code & sign ? predictor[c] - diff : predictor[c] + diff);
                index[c] = clamp_index(index[c] + table[code & ~sign]);
                out[frames * ch + size_t(c)] = int16_t(predictor[c]);
            }
            ++frames;
        }
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
