// MPEG-4 Part 2 through Xvid: B,G,R input at the picture's real stride, the frame rate as Xvid's
// increment and base (1001/30000 at 29.97), key pictures as Xvid reports them.
#include <vector>
#include <xvid.h>
#include "engine/outside/outside_calls.h"
#include "engine/output/video_encoders.h"

namespace {

constexpr int kVersion = 0x10000;

class XvidEncoder : public VideoEncoder {
public:
    VideoCodec codec() const override { return VideoCodec::kMpeg4; }
    bool set_up(int width, int height, const FrameRate& rate, int) override {
        if (!g_outside.xvid_global || !g_outside.xvid_encore) return false;
        xvid_gbl_init_t init = {};
        init.version = kVersion;
        if (g_outside.xvid_global(nullptr, XVID_GBL_INIT, &init, nullptr) < 0) return false;
        xvid_enc_create_t create = {};
        create.version = kVersion;
        create.profile = 0xF4;
        create.width = width;
        create.height = height;
        create.max_key_interval = 250;
        create.frame_drop_ratio = 0;
        create.bquant_ratio = 150;
        create.bquant_offset = 100;
        // Xvid's time base holds 16 bits: an exact rate beyond that is brought into range.
        int64_t num = rate.num, den = rate.den;
        while (num > 65535 || den > 65535) {
            num = (num + 1) / 2;
            den = (den + 1) / 2;
        }
        create.fincr = int(den);
        create.fbase = int(num);
        create.min_quant[0] = 2;
        create.max_quant[0] = 31;
        if (g_outside.xvid_encore(nullptr, XVID_ENC_CREATE, &create, nullptr) < 0 || !create.handle) return false;
        handle_ = create.handle;
        width_ = width;
        height_ = height;
        const int stride = CRgbImage::StrideFor(width);
        out_.assign((size_t(stride) * height + 2000) / 2, 0);
        return true;
    }
    int encode(const PictureView& picture, int, CodedPicture* out) override {
        if (!handle_ || picture.width != width_ || picture.height != height_ || picture.format != PixelFormat::kBgr24 ||
            !picture::valid(picture))
            return 0;
        xvid_enc_frame_t frame = {};
        frame.version = kVersion;
        frame.input.csp = XVID_CSP_BGR;
        frame.input.plane[0] = picture.data;
        frame.input.stride[0] = picture.stride;
        frame.motion = 0x3C53;
        frame.type = XVID_TYPE_AUTO;
        frame.quant = 0;
        frame.bitstream = out_.data();
        frame.length = CRgbImage::StrideFor(width_) * height_ / 2;
        xvid_enc_stats_t stats = {};
        stats.version = kVersion;
        const int n = g_outside.xvid_encore(handle_, XVID_ENC_ENCODE, &frame, &stats);
        if (n <= 0) return n;
        out->data = out_.data();
        out->size = n;
        out->key = stats.type == XVID_TYPE_IVOP;
        out->mp4_kind = out->key ? 2 : 3;
        return n;
    }
    void close() override {
        if (handle_ && g_outside.xvid_encore) g_outside.xvid_encore(handle_, XVID_ENC_DESTROY, nullptr, nullptr);
        handle_ = nullptr;
    }

private:
    void* handle_ = nullptr;
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> out_;
};

}  // namespace

std::unique_ptr<VideoEncoder> make_xvid_encoder() { return std::make_unique<XvidEncoder>(); }
