// Baseline H.263 pictures (libavcodec's h263 decoder) into 24-bit B,G,R pictures.
#pragma once
#include "codecs/libav/video_decoder.h"

namespace h263dec1 {

class Decoder {
public:
    bool init();
    // Bytes written (above 0); 0 when no picture came out or it does not fit; -1 when refused.
    int frame(const uint8_t* data, int length, uint8_t* picture, int picture_bytes);

private:
    libav::VideoDecoder video_;
};

}  // namespace h263dec1
