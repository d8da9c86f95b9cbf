// The MP4/3GP branch's reader: samples by number through the demultiplexer library, pictures through
// the H.263, MPEG-4 or H.264 decoder by the video track's codec, sound through AMR-NB, AAC or our MPEG
// audio decoder by the sound track's codec and name. Each read is one turn: a sound sample while the
// sound's clock is behind the pictures', else a picture. Once the sound is used up (or there is none
// to decode) the pictures go on alone to the end.
#include "engine/input/mp4_input.h"
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "media/mpeg/mpgdemux.h"

int amr_nb_payload(int type) {
    static const int kPayload[9] = {12, 13, 15, 17, 19, 20, 26, 31, 5};
    return type >= 0 && type < 9 ? kPayload[type] : 0;
}

AmrCut amr_cut(const uint8_t* sample, int length) {
    AmrCut cut;
    if (!sample || length < 1) return cut;
    const int payload = amr_nb_payload((sample[0] >> 3) & 15);
    if (payload == 0) return cut;
    cut.frame_length = 1 + payload;
    cut.frames = length / cut.frame_length;
    return cut;
}

namespace {
uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
}  // namespace

bool h264_has_start_codes(const uint8_t* sample, int length) {
    return sample && length >= 4 && be32(sample) <= 1;
}

int h264_prefix_rewrite(uint8_t* sample, int length) {
    if (!sample || length < 4) return 0;
    int64_t pos = 0;
    while (pos + 4 <= length) {
        const uint32_t unit = be32(sample + pos);
        if (unit == 0 || pos + 4 + int64_t(unit) > length) break;
        sample[pos] = sample[pos + 1] = sample[pos + 2] = 0;
        sample[pos + 3] = 1;
        pos += 4 + int64_t(unit);
    }
    return int(pos);
}

AviRange mp4_range(const MediaFile* file, int video_count) { return marked_range(file, video_count, true); }

namespace {

enum Video { kNoVideo = 0, kH263 = 1, kMpeg4 = 2, kH264 = 3 };
enum Sound { kNoSound, kAmr, kAac, kMpegAudio };

constexpr int kConfigBytes = 1024;
constexpr int kAacFrameBytes = 8192;
constexpr int kAmrFrameBytes = 320;
// No sample of the library is larger (it refuses those).
constexpr int kLargestSample = 16 << 20;
// The pictures an MPEG-4 stream may change to are taken up to this size.
constexpr int kLargestWidth = 1920, kLargestHeight = 1088;
constexpr int kLargestJob = 4096;

int stride(int width) { return picture::bgr24_stride(width); }

class Mp4Reader : public InputReader {
public:
    ~Mp4Reader() override { close(); }

    bool open(const MediaJob& job, const InputCalls& calls, std::string* error) override {
        close();
        calls_ = &calls;
        if (!calls.mp4de_init || !calls.mp4_getvideonum || !calls.mp4_getaudionum || !calls.mp4_readvideo ||
            calls.mp4de_init(job.path) < 0) {
            *error = input_text::kOpenFailed;
            return false;
        }
        file_open_ = true;
        int largest_video = 0, largest_audio = 0;
        video_ = calls.mp4_getvideonum(&video_count_, &largest_video);
        if (!video_supported(calls)) {
            close();
            *error = input_text::kUnsupported;
            return false;
        }
        width_ = job.width;
        height_ = job.height;
        if (width_ < 1 || height_ < 1 || width_ > kLargestJob || height_ > kLargestJob) {
            int w = 0, h = 0, value = 0, other = 0;
            double fps = 0, duration = 0;
            std::vector<uint8_t> config(kConfigBytes + 8);
            if (calls.mp4_getvideo) calls.mp4_getvideo(&w, &h, &fps, &value, &duration, &other, config.data());
            width_ = w;
            height_ = h;
        }
        if (width_ < 1 || height_ < 1 || width_ > kLargestJob || height_ > kLargestJob || video_count_ < 0) {
            close();
            *error = input_text::kUnsupported;
            return false;
        }
        shown_width_ = width_;
        shown_height_ = height_;
        if (!open_video()) {
            close();
            *error = input_text::kUnsupported;
            return false;
        }
        audio_type_ = calls.mp4_getaudionum(&audio_count_, &largest_audio);
        if (!calls.mp4_readaudio) audio_count_ = 0;
        open_sound(job);
        // One sample at a time; a largest sample the library reports wrongly is only a smaller read.
        int64_t size = std::max(largest_video, largest_audio);
        if (size < 3000) size = 4090;
        sample_.assign(size_t(std::min<int64_t>(size, kLargestSample)) + 8, 0);
        end_ = video_count_;
        return true;
    }

    size_t frame_capacity() const override {
        const size_t job = size_t(stride(width_)) * size_t(height_);
        const size_t largest = size_t(stride(kLargestWidth)) * kLargestHeight;
        return std::max(job, video_ == kMpeg4 ? largest : job) + 32;
    }

    bool sound_format(int* rate, int* channels) const override {
        if (sound_ == kNoSound || sound_rate_ < 1 || sound_channels_ < 1) return false;
        *rate = sound_rate_;
        *channels = sound_channels_;
        return true;
    }

    ReadStatus read_next(MediaOutput& out) override {
        if (!file_open_) return ReadStatus::kEnd;
        if (!configured_) configure(out);
        if (next_video_ >= end_) return ReadStatus::kEnd;
        if (sound_on_ && audio_time_ < video_time_) {
            sound_turn(out);
            return ReadStatus::kOk;
        }
        video_turn(out);
        return next_video_ >= end_ ? ReadStatus::kEnd : ReadStatus::kOk;
    }

    void flush(MediaOutput& out) override {
        if (!file_open_) return;
        // The pictures the H.264 decoder still holds back.
        if (video_ == kH264 && calls_->h264_decode && out.frame.data) {
            for (int guard = 0; guard < 64; ++guard) {
                const int r = h264_picture(nullptr, 0, out.frame.data);
                if (r < 11) break;
                // Only pictures of the samples read (a range may end before the file).
                const int index = picture_index_++;
                if (index >= first_shown_ && index < next_video_) hand_picture(out, r);
            }
        }
        // The sound that starts before the last picture's time is over.
        if (next_video_ >= video_count_)
            while (sound_on_ && sound_turn(out, video_time_ + last_step_)) {
            }
    }

    bool seek_frame(int frame) override { return seek_range(frame, frame); }

    bool seek_range(int first_read, int first_shown) override {
        if (!file_open_ || first_read < 0 || first_read >= video_count_) return false;
        first_shown = std::clamp(first_shown, first_read, video_count_ - 1);
        next_video_ = first_read;
        picture_index_ = first_read;
        first_shown_ = first_shown;
        video_time_ = audio_time_ = 0;
        if (audio_count_ < 1 || sound_ == kNoSound) return true;
        // The sound from the first sample at or after the first shown picture's time.
        int start_time = 0, second = 0;
        unsigned char key = 0;
        if (calls_->mp4_readvideo(sample_.data(), first_shown, &start_time, &second, &key) < 1) return true;
        next_audio_ = audio_count_;
        for (int a = 0; a < audio_count_; ++a) {
            int t = 0;
            if (calls_->mp4_readaudio(sample_.data(), a, &t, &second) >= 1 && t >= start_time) {
                next_audio_ = a;
                break;
            }
        }
        sound_on_ = next_audio_ < audio_count_;
        return true;
    }

    void close() override {
        if (calls_) {
            if (video_open_) {
                if (video_ == kH263 && calls_->h263de_exit) calls_->h263de_exit();
                if (video_ == kMpeg4 && calls_->mpeg4_close) calls_->mpeg4_close();
                if (video_ == kH264 && calls_->h264_close) calls_->h264_close();
            }
            if (sound_ == kAmr && calls_->amrdecode_close) calls_->amrdecode_close();
            if (sound_ == kAac && calls_->aacdecodebuf_close) calls_->aacdecodebuf_close();
            if (sound_ == kMpegAudio) {
                mpgdemux_set_output(nullptr);
                mpgdemux_audio_reset();
            }
            if (file_open_ && calls_->mp4de_close) calls_->mp4de_close();
        }
        video_open_ = file_open_ = configured_ = sound_on_ = false;
        sound_ = kNoSound;
        video_ = kNoVideo;
        video_count_ = audio_count_ = next_video_ = next_audio_ = first_shown_ = end_ = picture_index_ = 0;
        video_time_ = audio_time_ = 0;
        sample_.clear();
        sample_.shrink_to_fit();
    }

    int next_frame() const override { return next_video_; }
    int frame_count() const override { return video_count_; }
    double position() const override { return video_count_ > 0 ? double(next_video_) / video_count_ : 1.0; }

private:
    bool video_supported(const InputCalls& c) const {
        switch (video_) {
            case kH263: return c.h263de_init && c.h263de_frame;
            case kMpeg4: return c.mpeg4_init && c.mpeg4_decode;
            case kH264: return c.h264_open && c.h264_decode;
            default: return false;
        }
    }

    bool open_video() {
        int r = -1;
        if (video_ == kH263) r = calls_->h263de_init();
        // Opened at the job's size, so the first picture is written at once.
        if (video_ == kMpeg4) r = calls_->mpeg4_init(width_, height_);
        if (video_ == kH264) r = calls_->h264_open(width_, height_);
        video_open_ = r >= 0;
        return video_open_;
    }

    void open_sound(const MediaJob& job) {
        sound_ = kNoSound;
        if (audio_count_ < 1) return;
        if (audio_type_ == 1) {
            if (calls_->amr_decode && calls_->amrdecode_init && calls_->amrdecode_init() >= 0) {
                sound_ = kAmr;
                sound_rate_ = 8000;
                sound_channels_ = 1;
            }
        } else if (audio_type_ == 3) {
            int rate = 0, channels = 0, value = 0;
            double duration = 0;
            if (calls_->mp4_getaudio) calls_->mp4_getaudio(&rate, &channels, &value, &duration);
            char name[64] = {};
            if (calls_->mp4_getaudioname) calls_->mp4_getaudioname(name);
            name[63] = 0;
            if (std::strcmp(name, "MPEG-2 Audio (13818-3)") == 0 || std::strcmp(name, "MPEG-1 Audio (11172-3)") == 0) {
                sound_ = kMpegAudio;
                mpgdemux_set_links(calls_->demux_links);
                mpgdemux_audio_reset();
                sound_rate_ = job.sample_rate > 0 ? job.sample_rate : rate;
                sound_channels_ = job.channels > 0 ? job.channels : channels;
            } else if (calls_->mp4_getmp4aconfig && calls_->aacdecodebuf_init && calls_->aacbuf_decode) {
                std::vector<uint8_t> config(kConfigBytes, 0);
                const int n = calls_->mp4_getmp4aconfig(config.data(), kConfigBytes);
                int aac_rate = 0, aac_channels = 0;
                // The decoder's own rate and channels (SBR doubles the rate); without a configuration
                // there is no sound, and the pictures go on alone.
                if (n >= 1 && n <= kConfigBytes &&
                    calls_->aacdecodebuf_init(config.data(), n, audio_count_, rate, &aac_rate, &aac_channels) >= 0) {
                    if (int64_t(aac_rate) * aac_channels >= 1 && aac_channels <= 2) {
                        sound_ = kAac;
                        sound_rate_ = aac_rate;
                        sound_channels_ = aac_channels;
                    } else if (calls_->aacdecodebuf_close) {
                        calls_->aacdecodebuf_close();
                    }
                }
            }
        }
        // AMR-WB (2) and what did not open are left out: the file converts without sound.
        if (sound_ == kNoSound) notice_ = input_text::kNoSound;
        sound_on_ = sound_ != kNoSound;
    }

    // The stream's configuration, decoded once before the first sample.
    void configure(MediaOutput& out) {
        configured_ = true;
        if ((video_ != kMpeg4 && video_ != kH264) || !calls_->mp4_getvideo || !out.frame.data) return;
        std::vector<uint8_t> config(kConfigBytes + 8, 0);
        int w = 0, h = 0, value = 0, other = 0;
        double fps = 0, duration = 0;
        const int n = calls_->mp4_getvideo(&w, &h, &fps, &value, &duration, &other, config.data());
        if (n < 1 || n > kConfigBytes) return;
        if (video_ == kMpeg4) {
            int flag = 0;
            calls_->mpeg4_decode(config.data(), n, out.frame.data, picture_bytes(), &flag);
        } else {
            calls_->h264_decode(config.data(), n, out.frame.data);
        }
    }

    int picture_bytes() const { return stride(shown_width_) * shown_height_; }

    // One sound sample; false (nothing decoded) when it starts at or after `until`.
    bool sound_turn(MediaOutput& out, int until = INT32_MAX) {
        if (next_audio_ >= audio_count_) {
            sound_on_ = false;
            return false;
        }
        int t = 0, second = 0;
        const int n = calls_->mp4_readaudio(sample_.data(), next_audio_++, &t, &second);
        if (n >= 1 && t >= until) {
            --next_audio_;
            return false;
        }
        if (n < 1 || n > int(sample_.size()) - 8) return true;
        std::memset(sample_.data() + n, 0, 8);
        size_t made = 0;
        if (sound_ == kAmr) {
            const AmrCut cut = amr_cut(sample_.data(), n);
            for (int i = 0; i < cut.frames; ++i) {
                if (out.pcm_room() < kAmrFrameBytes && !out.flush_sound()) break;
                if (out.pcm_room() < kAmrFrameBytes) break;
                if (calls_->amr_decode(sample_.data() + i * cut.frame_length, cut.frame_length,
                                       out.pcm + out.pcm_length) == kAmrFrameBytes) {
                    out.pcm_length += kAmrFrameBytes;
                    made += kAmrFrameBytes;
                }
            }
            audio_time_ = t;
        } else if (sound_ == kAac) {
            if (out.pcm_room() < kAacFrameBytes) out.flush_sound();
            if (out.pcm_room() >= kAacFrameBytes) {
                const int r = calls_->aacbuf_decode(sample_.data(), n, second, out.pcm + out.pcm_length);
                if (r > 0) {
                    const size_t taken = std::min<size_t>(size_t(r), kAacFrameBytes);
                    out.pcm_length += taken;
                    made += taken;
                }
            }
        } else if (sound_ == kMpegAudio) {
            const size_t before = out.pcm_length;
            mpgdemux_set_output(&out);
            mpgdemux_decode_audio(sample_.data(), n, MPGDEMUX_APPEND);
            mpgdemux_set_output(nullptr);
            made = out.pcm_length != before ? 1 : 0;
        }
        if (made > 0) audio_time_ = t;
        out.flush_sound();
        // A sample the decoder could not use still moves the sound's clock past it.
        if (made == 0 && t > audio_time_) audio_time_ = t;
        return true;
    }

    void video_turn(MediaOutput& out) {
        int t = 0, second = 0;
        unsigned char key = 0;
        const int f = next_video_;
        const int n = calls_->mp4_readvideo(sample_.data(), f, &t, &second, &key);
        if (n >= 1 && n <= int(sample_.size()) - 8) {
            std::memset(sample_.data() + n, 0, 8);
            if (f >= first_shown_) {
                if (t > video_time_) last_step_ = std::clamp(t - video_time_, 1, 1000);
                video_time_ = std::max(video_time_, t);
            }
            const int r = decode(out, n);
            // Pictures come out in their own order, behind the samples when the stream reorders them:
            // they are counted from the key picture reading started at.
            if (r >= 11 && picture_index_++ >= first_shown_) hand_picture(out, r);
        }
        ++next_video_;
    }

    int decode(MediaOutput& out, int n) {
        if (!out.frame.data) return 0;
        uint8_t* data = sample_.data();
        switch (video_) {
            case kH263:
                if (out.frame_capacity < size_t(picture_bytes())) return 0;
                return calls_->h263de_frame(data, n, out.frame.data, picture_bytes());
            case kMpeg4: {
                int flag = 0;
                if (out.frame_capacity < size_t(picture_bytes())) return 0;
                int r = calls_->mpeg4_decode(data, n, out.frame.data, picture_bytes(), &flag);
                if (r == -88 && calls_->mpeg4_getwh) {
                    int w = 0, h = 0;
                    if (calls_->mpeg4_getwh(&w, &h) >= 0 && w >= 1 && h >= 1 && w <= kLargestWidth &&
                        h <= kLargestHeight) {
                        shown_width_ = w;
                        shown_height_ = h;
                        // The picture that told the new size is decoded again at that size.
                        if (out.frame_capacity >= size_t(picture_bytes()))
                            r = calls_->mpeg4_decode(data, n, out.frame.data, picture_bytes(), &flag);
                    }
                }
                return r;
            }
            case kH264: {
                int length = n;
                if (!h264_has_start_codes(data, n)) length = h264_prefix_rewrite(data, n);
                if (length < 1) return 0;
                return h264_picture(data, length, out.frame.data);
            }
            default: return 0;
        }
    }

    // An H.264 picture: a play takes it as YUY2 for the video window, a conversion as B,G,R. The
    // configuration is always decoded to B,G,R (it gives no picture).
    bool yuy2_pictures() const { return video_ == kH264 && playing() && calls_->h264_decodeyuv; }
    int h264_picture(const uint8_t* data, int length, uint8_t* frame) {
        return yuy2_pictures() ? calls_->h264_decodeyuv(data, length, frame) : calls_->h264_decode(data, length, frame);
    }

    void hand_picture(MediaOutput& out, int bytes) {
        int w = shown_width_, h = shown_height_;
        if (video_ == kH264) {
            // A stream whose size differs from the job's is written at its own size (never more than
            // the job's picture holds).
            int sw = 0, sh = 0;
            if (calls_->h264_getwh && calls_->h264_getwh(&sw, &sh) >= 0 && sw >= 1 && sh >= 1 &&
                int64_t(stride(sw)) * sh <= int64_t(stride(width_)) * height_)
                w = sw, h = sh;
        }
        const PixelFormat format = yuy2_pictures() ? PixelFormat::kYuy2 : PixelFormat::kBgr24;
        const int row = picture::natural_stride(format, w);
        if (int64_t(bytes) < int64_t(row) * h || out.frame_capacity < size_t(row) * size_t(h)) return;
        out.frame.width = w;
        out.frame.height = h;
        out.frame.stride = row;
        out.frame.format = format;
        ++out.pictures;
        if (out.on_picture) out.on_picture(out.frame);
    }

    const InputCalls* calls_ = nullptr;
    bool file_open_ = false, video_open_ = false, configured_ = false, sound_on_ = false;
    int video_ = kNoVideo, audio_type_ = 0;
    Sound sound_ = kNoSound;
    int sound_rate_ = 0, sound_channels_ = 0;
    int width_ = 0, height_ = 0, shown_width_ = 0, shown_height_ = 0;
    int video_count_ = 0, audio_count_ = 0;
    int next_video_ = 0, next_audio_ = 0, first_shown_ = 0, end_ = 0, picture_index_ = 0;
    int video_time_ = 0, audio_time_ = 0, last_step_ = 40;
    std::vector<uint8_t> sample_;
};

}  // namespace

std::unique_ptr<InputReader> make_mp4_reader() { return std::make_unique<Mp4Reader>(); }
