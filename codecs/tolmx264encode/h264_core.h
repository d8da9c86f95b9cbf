// H.264 encoding of 24-bit B,G,R pictures over libx264: no B-frames, no look-ahead, so every picture in
// gives its coded picture at once.
#pragma once
#include <cstdint>
#include <vector>
#include "base/picture.h"

struct SwsContext;

namespace h264enc {

struct Nal {
    int type;
    std::vector<uint8_t> bytes;  // without start code
};

class Encoder {
public:
    ~Encoder() { close(); }
    // quality: constant rate factor; returns 0 or -1.
    int open(int width, int height, int quality, int fps);
    // Codes one B,G,R picture of the size given to open. Writes the NAL units in Annex B form to out
    // (capacity bytes); with_parameter_sets keeps SPS and PPS in front of IDR pictures. Returns the
    // bytes written, -1 on failure, for another layout or size, or when out is too small. *key = 1 for IDR.
    int encode(const PictureView& picture, uint8_t* out, int capacity, bool with_parameter_sets, int* key);
    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<uint8_t>& sps() const { return sps_; }
    const std::vector<uint8_t>& pps() const { return pps_; }
    void close();

private:
    void* x264_ = nullptr;  // x264_t*
    SwsContext* sws_ = nullptr;
    int width_ = 0, height_ = 0;
    int64_t pts_ = 0;
    std::vector<uint8_t> yuv_;
    std::vector<uint8_t> sps_, pps_;
};

}  // namespace h264enc
