// H.263 through the program's own encoder: B,G,R pictures become 4:2:0 planes of 32-bit samples; a
// picture is intra when the job's picture count is a multiple of the key-frame interval.
#include <vector>
#include "engine/image/yuv420.h"
#include "engine/outside/outside_calls.h"
#include "engine/output/video_encoders.h"
#include "engine/settings/settings.h"

namespace {

class H263Encoder : public VideoEncoder {
public:
    VideoCodec codec() const override { return VideoCodec::kH263; }
    bool set_up(int width, int height, const FrameRate&, int) override {
        if (!g_outside.h263encode_init || g_outside.h263encode_init(width, height) < 0) return false;
        open_ = true;
        width_ = width;
        height_ = height;
        planes_.assign(yuv420_sample_count(width, height), 0);
        out_.assign(size_t(CRgbImage::StrideFor(width)) * height + 2000, 0);
        return true;
    }
    int encode(const PictureView& picture, int frame_counter, CodedPicture* out) override {
        if (!open_ || picture.width != width_ || picture.height != height_) return 0;
        if (!rgb24_to_yuv420(picture, picture::yuv420_int32(planes_.data(), width_, height_))) return 0;
        const int interval = cfg_keyframe_interval > 0 ? cfg_keyframe_interval : 1;
        const bool intra = frame_counter % interval == 0;
        const int n = g_outside.h263encode_encode(planes_.data(), cfg_3gp_size_choice, intra ? 1 : 0, out_.data());
        if (n <= 0) return n;
        out->data = out_.data();
        out->size = n;
        out->mp4_kind = 1;
        // The encoder codes every picture it is asked to as intra (it may code more, never fewer).
        out->key = intra;
        return n;
    }
    void close() override {
        if (open_ && g_outside.h263encode_close) g_outside.h263encode_close();
        open_ = false;
    }

private:
    bool open_ = false;
    int width_ = 0, height_ = 0;
    std::vector<int32_t> planes_;
    std::vector<uint8_t> out_;
};

}  // namespace

std::unique_ptr<VideoEncoder> make_h263_encoder() { return std::make_unique<H263Encoder>(); }
