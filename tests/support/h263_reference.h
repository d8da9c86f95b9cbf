// H.263 pictures for tests, from libavcodec's h263 encoder: B,G,R pictures in, coded pictures out.
#pragma once
#include <cstdint>
#include <vector>

struct AVCodecContext;
struct SwsContext;

namespace signal_check {

class H263Reference {
public:
    // width x height must be an H.263 size (e.g. 176 x 144); one intra picture every keyint pictures.
    H263Reference(int width, int height, int fps, int keyint);
    ~H263Reference();
    bool ok() const { return ctx_ != nullptr; }
    // Codes one picture; returns the coded bytes (no delay).
    std::vector<uint8_t> encode(const std::vector<uint8_t>& bgr);

private:
    AVCodecContext* ctx_ = nullptr;
    SwsContext* sws_ = nullptr;
    int width_, height_;
    int64_t pts_ = 0;
};

}  // namespace signal_check
