// MTV files for tests, laid out as libavformat's mtv demuxer reads them (ffmpeg cannot write MTV): a
// 512-byte header ("AMV", sizes, "MP3", the MP3 bit rate, 16 bits a pixel), then one segment a picture:
// `chunks` sound chunks (12 bytes of padding, 500 bytes of the MP3 stream each), then the picture as
// 16-bit big-endian 5-6-5 pixels, bottom row first. The frame rate is bit rate / 4 / chunks.
#pragma once
#include <cstdint>
#include <vector>

namespace mtv_test {

constexpr int kChunkBytes = 500;
constexpr int kChunkPadding = 12;

// A B,G,R picture (stride (3w+3)&~3) as MTV stores it.
std::vector<uint8_t> stored_picture(const std::vector<uint8_t>& bgr, int width, int height);
// The file; mp3 is cut into the chunks in order (zeros after its end). kbps must be 4 x fps x chunks.
std::vector<uint8_t> file(int width, int height, int kbps, int chunks, const std::vector<std::vector<uint8_t>>& pictures,
                          const std::vector<uint8_t>& mp3);

}  // namespace mtv_test
