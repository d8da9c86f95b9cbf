// The 32-bit MPEG audio frame header (ISO/IEC 11172-3, 13818-3 and the 2.5 extension) of every layer:
// its fields and the values derived from it. Shared by the layer III decoder, the MPEG demultiplexer
// and the stream parser.
#pragma once
#include <cstdint>

namespace mpa {

struct FrameHeader {
    uint32_t word = 0;
    int version = 0;          // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    int layer = 0;            // 1..3
    bool protection = false;  // a CRC word follows the header
    int bitrate_index = 0;
    int sampling_index = 0;
    int padding = 0;
    int mode = 0;             // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    int mode_extension = 0;
    int channels = 0;
    int sample_rate = 0;      // Hz
    int bitrate = 0;          // bit/s
    int samples = 0;          // samples per frame and channel
    int frame_bytes = 0;      // whole frame, header included
};

// Bits that stay the same from frame to frame of one stream: sync, version, layer, sampling rate.
constexpr uint32_t kFixedHeaderBits = 0xFFFE0C00u;

// The header word of four bytes, most significant first.
inline uint32_t header_word(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Parses a header of any layer. False (and *h cleared) for a word that is no usable header: sync bits
// missing, reserved version or layer, free format (bit-rate index 0), bit-rate index 15, sampling
// index 3.
bool parse_header(uint32_t word, FrameHeader* h);

// The same, accepting layer III only (what the layer III decoder synchronises on).
bool parse_layer3_header(uint32_t word, FrameHeader* h);

}  // namespace mpa
