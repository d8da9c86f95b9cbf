// Sorenson H.263 pictures (FLV and SWF video) through libavcodec's flv decoder into 24-bit B,G,R
// pictures; the picture header is also read on its own, without decoding.
#pragma once
#include "codecs/libav/video_decoder.h"

namespace sorenson {

// The picture size a Sorenson picture header gives; false when data does not start with one.
bool read_header(const uint8_t* data, int length, int* width, int* height);

class Decoder {
public:
    bool init();
    // picture null: header only (0, or -1 for no header); else bytes written (above 0), 0 when no
    // picture came out or it does not fit, -1 when refused.
    int frame(const uint8_t* data, int length, uint8_t* picture, int picture_bytes);
    int width() const { return width_; }
    int height() const { return height_; }
    // 0 is the only display mode (B,G,R rows top-down).
    int set_display_mode(int mode) { return mode == 0 ? 0 : -1; }

private:
    libav::VideoDecoder video_;
    int width_ = 0, height_ = 0;
};

}  // namespace sorenson
