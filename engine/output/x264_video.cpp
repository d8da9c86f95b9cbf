// H.264 through x264: B,G,R pictures of the output size at the stand-in's stride (the DIB row; a view
// at another stride is brought to it first); for an AVI file the encoder puts the parameter sets
// before every key picture, for MP4 they go into the track.
#include <cstring>
#include <vector>
#include "engine/outside/outside_calls.h"
#include "engine/output/video_encoders.h"

namespace {

class X264Encoder : public VideoEncoder {
public:
    explicit X264Encoder(bool for_avi) : for_avi_(for_avi) {}
    VideoCodec codec() const override { return VideoCodec::kH264; }
    bool set_up(int width, int height, const FrameRate&, int dialog_rate) override {
        if (!g_outside.tolm264encode_init || g_outside.tolm264encode_init(width, height, 20, dialog_rate) < 0)
            return false;
        open_ = true;
        width_ = width;
        height_ = height;
        out_.assign((size_t(CRgbImage::StrideFor(width)) * height + 2000) / 2, 0);
        return true;
    }
    int encode(const PictureView& picture, int, CodedPicture* out) override {
        if (!open_ || picture.width != width_ || picture.height != height_ || picture.format != PixelFormat::kBgr24 ||
            !picture::valid(picture))
            return 0;
        const int stride = picture::bgr24_stride(width_);
        const uint8_t* pixels = picture.data;
        if (picture.stride != stride) {
            restrided_.resize(size_t(stride) * size_t(height_));
            for (int y = 0; y < height_; ++y)
                std::memcpy(restrided_.data() + size_t(stride) * size_t(y),
                            picture.data + size_t(picture.stride) * size_t(y), size_t(width_) * 3);
            pixels = restrided_.data();
        }
        int key = 0;
        const int length = stride * height_;
        const int n = for_avi_ ? g_outside.tolm264encode_encodeavi(pixels, length, out_.data(), &key)
                               : g_outside.tolm264encode_encode(pixels, length, out_.data(), &key);
        if (n <= 0 || n > int(out_.size())) return n > 0 ? 0 : n;
        out->data = out_.data();
        out->size = n;
        out->key = key > 0;
        out->mp4_kind = key > 0 ? 2 : 3;
        return n;
    }
    bool counts_empty_pictures() const override { return true; }
    int timescale() const override { return 90000; }
    int picture_parameter_set(uint8_t* out) override { return open_ ? g_outside.tolm264encode_getpps(out) : 0; }
    int sequence_parameter_set(uint8_t* out) override { return open_ ? g_outside.tolm264encode_getsps(out) : 0; }
    void stream_values(int* profile, int* compatibility, int* level) override {
        *profile = *compatibility = *level = 0;
        if (open_) g_outside.tolm264encode_getx264(profile, compatibility, level);
    }
    void close() override {
        if (open_ && g_outside.tolm264encode_close) g_outside.tolm264encode_close();
        open_ = false;
    }

private:
    bool for_avi_;
    bool open_ = false;
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> out_;
    std::vector<uint8_t> restrided_;
};

}  // namespace

std::unique_ptr<VideoEncoder> make_x264_encoder(bool for_avi) { return std::make_unique<X264Encoder>(for_avi); }
