// VP6 as FLV carries it (libavcodec's vp6f decoder) into 24-bit B,G,R pictures. Each FLV body starts
// with a crop byte (columns in the high 4 bits, rows in the low 4 bits taken off the coded size), which
// the decoder gets as its configuration; a key frame with another crop byte starts the decoder afresh.
#pragma once
#include "codecs/libav/video_decoder.h"

namespace vp6dec {

class Decoder {
public:
    bool init();
    // data: the crop byte, then one VP6 frame. Bytes written (above 0); 0 when no picture came out or
    // it does not fit; -1 when refused.
    int decode(const uint8_t* data, int length, uint8_t* frame, int frame_size);
    // Displayed size of the last picture; false before any.
    bool size(int* width, int* height) const;

private:
    libav::VideoDecoder video_;
    int crop_ = -1;
};

}  // namespace vp6dec
