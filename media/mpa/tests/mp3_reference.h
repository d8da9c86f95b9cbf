// Reference decodes of MPEG audio with libavcodec (Debian's FFmpeg), for the decoder's tests and its
// benchmark: the float decoder "mp3float" (or any named decoder) over frames split by libavcodec's
// parser, and the same bytes through our decoder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mpa_reference {

struct FloatPcm {
    std::vector<float> samples;  // interleaved, full scale 1.0
    int channels = 0;
    int rate = 0;
};

// Decodes a whole MPEG audio stream with the named libavcodec decoder ("mp3float", "mp3", "mp2", ...).
FloatPcm decode_with_libav(const std::vector<uint8_t>& stream, const char* decoder = "mp3float");

struct Pcm16 {
    std::vector<int16_t> samples;
    int channels = 0;
    int rate = 0;
    int frames = 0;       // frames decoded
    int silent = 0;       // frames output as silence
    int crc_cleared = 0;
};

// Decodes a whole stream with our decoder, fed in pieces of `piece` bytes, the end marked at the end.
Pcm16 decode_with_mpadec(const std::vector<uint8_t>& stream, int piece = 4096, int downsample = 0, int mono = 0);

}  // namespace mpa_reference
