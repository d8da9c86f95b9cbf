#include "media/mpa/mpa_header.h"

namespace mpa {

namespace {

// kbit/s by [MPEG-1 ? 0 : 1][layer - 1][bit-rate index]; index 0 is free format, 15 is forbidden.
const int16_t kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};
const int kRates[3] = {44100, 48000, 32000};

}  // namespace

bool parse_header(uint32_t word, FrameHeader* h) {
    *h = FrameHeader();
    if ((word & 0xFFE00000u) != 0xFFE00000u) return false;
    const bool bit20 = word & (1u << 20), bit19 = word & (1u << 19);
    if (!bit20 && bit19) return false;  // reserved version
    const int layer_bits = (word >> 17) & 3;
    if (layer_bits == 0) return false;  // reserved layer
    const int bitrate_index = (word >> 12) & 15;
    const int sampling_index = (word >> 10) & 3;
    if (bitrate_index == 0 || bitrate_index == 15 || sampling_index == 3) return false;

    FrameHeader f;
    f.word = word;
    f.version = bit19 ? 0 : (bit20 ? 1 : 2);
    f.layer = 4 - layer_bits;
    f.protection = !(word & (1u << 16));
    f.bitrate_index = bitrate_index;
    f.sampling_index = sampling_index;
    f.padding = (word >> 9) & 1;
    f.mode = (word >> 6) & 3;
    f.mode_extension = (word >> 4) & 3;
    f.channels = f.mode == 3 ? 1 : 2;
    f.sample_rate = kRates[sampling_index] >> f.version;
    f.bitrate = kBitrates[f.version == 0 ? 0 : 1][f.layer - 1][bitrate_index] * 1000;
    if (f.layer == 1) {
        f.samples = 384;
        f.frame_bytes = (12 * f.bitrate / f.sample_rate + f.padding) * 4;
    } else {
        f.samples = (f.layer == 3 && f.version != 0) ? 576 : 1152;
        // (bit rate / 8) x samples / rate + padding, in whole bytes
        f.frame_bytes = (f.bitrate / 8) * f.samples / f.sample_rate + f.padding;
    }
    *h = f;
    return true;
}

bool parse_layer3_header(uint32_t word, FrameHeader* h) {
    if (!parse_header(word, h)) return false;
    if (h->layer != 3) {
        *h = FrameHeader();
        return false;
    }
    return true;
}

}  // namespace mpa
