// MPEG-4 Part 2 pictures (libavcodec's mpeg4 decoder) into 24-bit B,G,R pictures, with a size in
// force: a picture of another size is not written but announced (kSizeChanged), and from then on the
// new size is in force.
#pragma once
#include "codecs/libav/video_decoder.h"

namespace mpeg4dec {

constexpr int kSizeChanged = -88;

class Decoder {
public:
    bool init(int width, int height);
    // Data without a picture is the stream's configuration: the decoder starts afresh with it (0).
    // Bytes written (above 0); 0 when no picture came out or it does not fit picture_bytes;
    // kSizeChanged when the picture's size differs from the size in force; -1 when refused.
    // *intra (may be null) = 1 for an intra picture.
    int decode(const uint8_t* data, int length, uint8_t* picture, int picture_bytes, int* intra);
    int width() const { return width_; }
    int height() const { return height_; }

private:
    libav::VideoDecoder video_;
    int width_ = 0, height_ = 0;
};

}  // namespace mpeg4dec
