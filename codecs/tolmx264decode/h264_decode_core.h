// H.264 in Annex B form (libavcodec's h264 decoder) into 24-bit B,G,R or YUY2 pictures whose capacity
// is fixed by the size given at init: a larger picture is decoded (its size is known) but not written.
#pragma once
#include "codecs/libav/video_decoder.h"

namespace h264dec {

class Decoder {
public:
    bool init(int width, int height);
    // data null flushes the delayed pictures (the last one is written). Returns the bytes written
    // (above 0); 0 when no picture came out or it needs more than a picture of the init size; -1 when
    // refused.
    int decode(const uint8_t* data, int length, uint8_t* frame, libav::Layout layout);
    // Size of the last decoded picture; false before any.
    bool size(int* width, int* height) const;

private:
    libav::VideoDecoder video_;
    int width_ = 0, height_ = 0;
};

}  // namespace h264dec
