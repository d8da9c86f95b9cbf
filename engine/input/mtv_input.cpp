// The MTV and AMV branch's reader: frame by frame through the MTV/AMV library, bound for the job and
// released at its close. MTV pictures are raw 16-bit pixels, AMV pictures JPEG frames without their
// header (JpegFile); MTV sound is MPEG audio, AMV sound IMA ADPCM blocks.
#include "engine/input/mtv_input.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "base/picture.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "media/adpcm/adpcm.h"
#include "media/jpeg/jpegfile.h"
#include "media/mpeg/mpgdemux.h"

void mtv_pixel_bgr(uint8_t first, uint8_t second, int pixel_format, uint8_t* bgr) {
    const unsigned v = unsigned(first) << 8 | second;
    if (pixel_format == kMtvPixels555) {
        bgr[2] = uint8_t(((v >> 10) & 31) * 8);
        bgr[1] = uint8_t(((v >> 5) & 31) * 8);
    } else {
        bgr[2] = uint8_t((v >> 8) & 0xF8);
        bgr[1] = uint8_t(((v >> 5) & 63) * 4);
    }
    bgr[0] = uint8_t((v & 31) * 8);
}

bool mtv_picture_bgr(const uint8_t* stored, size_t length, int width, int height, int pixel_format, uint8_t* out,
                     int stride) {
    if (!stored || !out || width < 1 || height < 1 || stride < 3 * width) return false;
    if (length < size_t(2) * size_t(width) * size_t(height)) return false;
    for (int r = 0; r < height; ++r) {
        const uint8_t* in = stored + size_t(r) * 2 * size_t(width);
        uint8_t* row = out + size_t(height - 1 - r) * size_t(stride);
        for (int x = 0; x < width; ++x) mtv_pixel_bgr(in[2 * x], in[2 * x + 1], pixel_format, row + 3 * x);
    }
    return true;
}

bool mtv_size_allowed(int width, int height) {
    return width >= 1 && height >= 1 && width <= kMtvLargestWidth && height <= kMtvLargestHeight;
}

size_t mtv_offered_bytes(int bits_per_pixel, int width, int height) {
    const size_t pixels = size_t(std::max(width, 0)) * size_t(std::max(height, 0));
    const size_t by_bits = size_t(std::clamp(bits_per_pixel, 0, 32)) * pixels / 8;
    return std::max(by_bits, 2 * pixels);
}

bool amv_picture_bgr(const uint8_t* stored, size_t length, int width, int height, uint8_t* out, int stride) {
    if (!stored || !out || width < 1 || height < 1 || length > size_t(INT32_MAX)) return false;
    int w = 0, h = 0;
    uint8_t* rgb = JpegFile::DecodeFrame(stored, int(length), &w, &h, width, height, true);
    if (!rgb) return false;
    if (w != width || h != height) {
        std::free(rgb);
        return false;
    }
    JpegFile::SwapRedBlue(rgb, w, h);
    int aligned_stride = 0;
    uint8_t* aligned = JpegFile::AlignRows(rgb, w, h, &aligned_stride);
    std::free(rgb);
    if (!aligned || aligned_stride != stride) {
        std::free(aligned);
        return false;
    }
    // The frames are coded bottom row first.
    JpegFile::FlipRows(aligned, stride, h);
    std::memcpy(out, aligned, size_t(stride) * size_t(h));
    std::free(aligned);
    return true;
}

namespace {

constexpr int kSoundBytes = 15360;

class MtvReader : public InputReader {
public:
    explicit MtvReader(bool amv) : amv_(amv) {}
    ~MtvReader() override { close(); }

    bool open(const MediaJob& job, const InputCalls& calls, std::string* error) override {
        close();
        calls_ = &calls;
        // The library is bound for the job; a library that cannot be bound ends the job with its text.
        if (!calls.mtv_bind || calls.mtv_bind() != 0) {
            if (calls.mtv_unbind) calls.mtv_unbind();
            *error = input_text::kLibrariesFailed;
            return false;
        }
        bound_ = true;
        auto init = amv_ ? calls.amv_init : calls.mtv_init;
        auto getvideo = amv_ ? calls.amv_getvideo : calls.mtv_getvideo;
        auto getaudio = amv_ ? calls.amv_getaudio : calls.mtv_getaudio;
        getdata_ = amv_ ? calls.amv_getdata : calls.mtv_getdata;
        if (!init || !getvideo || !getaudio || !getdata_ || (!amv_ && !calls.mtv_getpicinfo)) {
            close();
            *error = input_text::kLibrariesFailed;
            return false;
        }
        if (init(job.path) < 0) {
            close();
            *error = input_text::kOpenFailed;
            return false;
        }
        file_open_ = true;
        int value = 0;
        const int blocks = getaudio(&rate_, &channels_, &value);
        double fps = 0, duration = 0;
        frames_ = getvideo(&width_, &height_, &fps, &value, &duration);
        if (amv_) frames_ = std::max(frames_, blocks);
        frames_ = std::max(frames_, 0);
        if (!mtv_size_allowed(width_, height_)) {
            close();
            *error = input_text::kUnsupported;
            return false;
        }
        if (amv_) {
            offered_ = size_t(width_) * size_t(height_) * 3;
            data_.assign(offered_, 0);
        } else {
            calls.mtv_getpicinfo(&pixel_format_, &bits_);
            offered_ = mtv_offered_bytes(bits_, width_, height_);
            data_.assign(offered_ * 2, 0);
        }
        sound_buffer_.assign(kSoundBytes, 0);
        sound_ = int64_t(rate_) * channels_ >= 1;
        if (sound_) {
            mpgdemux_set_links(calls.demux_links);
            mpgdemux_audio_reset();
            ima_adpcm_reset(&ima_);
        } else {
            notice_ = input_text::kNoSound;
        }
        return true;
    }

    size_t frame_capacity() const override { return size_t(picture::bgr24_stride(width_)) * size_t(height_) + 32; }

    bool sound_format(int* rate, int* channels) const override {
        if (!sound_) return false;
        *rate = rate_;
        *channels = channels_;
        return true;
    }

    ReadStatus read_next(MediaOutput& out) override {
        if (!file_open_ || next_ >= frames_) return ReadStatus::kEnd;
        // The offered length is given afresh to every frame: a short frame must not shorten the next.
        int length = int(std::min<size_t>(offered_, 1u << 30));
        int n = getdata_(next_, sound_buffer_.data(), kSoundBytes, data_.data(), &length);
        length = std::clamp(length, 0, int(std::min<size_t>(offered_, 1u << 30)));
        if (length >= 11) picture(out, size_t(length));
        n = std::min(n, kSoundBytes);
        if (n >= 1 && sound_) sound(out, n);
        ++next_;
        return next_ >= frames_ ? ReadStatus::kEnd : ReadStatus::kOk;
    }

    void flush(MediaOutput&) override {}

    bool seek_frame(int frame) override {
        if (!file_open_ || frame < 0 || frame >= frames_) return false;
        next_ = frame;
        return true;
    }

    void close() override {
        if (calls_) {
            if (file_open_) {
                auto close_file = amv_ ? calls_->amv_close : calls_->mtv_close;
                if (close_file) close_file();
                if (sound_) {
                    mpgdemux_set_output(nullptr);
                    mpgdemux_audio_reset();
                }
            }
            if (bound_ && calls_->mtv_unbind) calls_->mtv_unbind();
        }
        bound_ = file_open_ = sound_ = have_picture_ = false;
        frames_ = next_ = 0;
        data_.clear();
        data_.shrink_to_fit();
        last_.clear();
        sound_buffer_.clear();
    }

    int next_frame() const override { return next_; }
    int frame_count() const override { return frames_; }
    double position() const override { return frames_ > 0 ? double(next_) / frames_ : 1.0; }

private:
    void picture(MediaOutput& out, size_t length) {
        const int stride = picture::bgr24_stride(width_);
        const size_t bytes = size_t(stride) * size_t(height_);
        if (!out.frame.data || out.frame_capacity < bytes) return;
        if (!amv_) {
            if (!mtv_picture_bgr(data_.data(), length, width_, height_, pixel_format_, out.frame.data, stride)) return;
        } else if (!amv_picture(length, out.frame.data, stride)) {
            // A picture that does not decode: the last one is shown again (none before the first).
            if (!have_picture_) return;
            std::memcpy(out.frame.data, last_.data(), bytes);
        }
        out.frame.width = width_;
        out.frame.height = height_;
        out.frame.stride = stride;
        out.frame.format = PixelFormat::kBgr24;
        ++out.pictures;
        if (out.on_picture) out.on_picture(out.frame);
    }

    bool amv_picture(size_t length, uint8_t* frame, int stride) {
        if (!amv_picture_bgr(data_.data(), length, width_, height_, frame, stride)) return false;
        last_.assign(frame, frame + size_t(stride) * size_t(height_));
        have_picture_ = true;
        return true;
    }

    void sound(MediaOutput& out, int n) {
        if (!amv_) {
            mpgdemux_set_output(&out);
            mpgdemux_decode_audio(sound_buffer_.data(), n, MPGDEMUX_APPEND);
            mpgdemux_set_output(nullptr);
        } else {
            const size_t need = size_t(std::max(n - 8, 0)) * 2 * 2;
            if (out.pcm_room() < need) out.flush_sound();
            const size_t room = out.pcm_room() / 2;
            const int samples = ima_adpcm_decode(&ima_, sound_buffer_.data(), size_t(n), channels_,
                                                 reinterpret_cast<int16_t*>(out.pcm + out.pcm_length), room);
            if (samples > 0) out.pcm_length += size_t(samples) * 2;
        }
        out.flush_sound();
    }

    const bool amv_;
    const InputCalls* calls_ = nullptr;
    int (*getdata_)(int, unsigned char*, int, unsigned char*, int*) = nullptr;
    bool bound_ = false, file_open_ = false, sound_ = false, have_picture_ = false;
    int rate_ = 0, channels_ = 0, width_ = 0, height_ = 0, frames_ = 0, next_ = 0;
    int pixel_format_ = 0, bits_ = 16;
    size_t offered_ = 0;
    std::vector<uint8_t> data_, last_, sound_buffer_;
    ImaAdpcmState ima_;
};

}  // namespace

std::unique_ptr<InputReader> make_mtv_reader() { return std::make_unique<MtvReader>(false); }
std::unique_ptr<InputReader> make_amv_reader() { return std::make_unique<MtvReader>(true); }
