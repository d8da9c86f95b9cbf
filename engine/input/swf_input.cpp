// The SWF branch's reader: the SWF reader loads the whole movie once (a "CWS" body inflated) into a
// context of this reader's own, and the walk goes over its index of SoundStreamBlock and VideoFrame
// tags, each body taken from the context's buffer with swf_tag_body (so a compressed movie reads the
// same as a plain one). Pictures: codec 2 (Sorenson H.263) and codec 4 (VP6); sound by the stream
// head's format: raw PCM (8-bit widened; format 3 like 0), SWF ADPCM, MP3.
#include "engine/input/swf_input.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include "engine/input/avi_input.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "media/adpcm/adpcm.h"
#include "media/mpeg/mpgdemux.h"
#include "media/swf/swf_reader.h"

namespace swf_input {

Range range_of(const MediaFile* file, int video_frames) {
    Range r;
    if (!file || video_frames <= 0) return r;
    const MediaFileRecord& record = file->record;
    const int listed = int(std::min<int64_t>({int64_t(std::max(record.segment_count, 0)),
                                              int64_t(file->segments.size()), int64_t(video_frames)}));
    if (listed <= 0) return r;
    r.start = std::clamp(record.range_start, 0, listed - 1);
    if (record.range_end > r.start && record.range_end < listed) r.end = record.range_end + 1;
    return r;
}

}  // namespace swf_input

namespace {

constexpr int kSoundBlock = 19;
constexpr int kVideoFrame = 61;

class SwfReader : public InputReader {
public:
    ~SwfReader() override { close(); }

    bool open(const MediaJob& job, const InputCalls& calls, std::string* error) override {
        close();
        calls_ = &calls;
        job_ = job;
        const KindFields kind = decode_kind(job.file_kind);
        vp6_ = kind.video == 4;
        sound_ = kind.sound;
        swf_ = swf_new();
        if (!swf_ || swf_load(swf_, job.path) != 0 || swf_->tags.empty()) {
            close();
            *error = input_text::kOpenFailed;
            return false;
        }
        const InputCalls& c = calls;
        if (vp6_) {
            // A play binds the VP6 library for its job (a conversion has it bound for the run).
            if (playing() && c.vp6_bind) {
                if (c.vp6_bind() != 0) {
                    close();
                    *error = input_text::kUnsupported;
                    return false;
                }
                vp6_bound_ = true;
            }
            if (!c.vpdecode_init || !c.vpdecode_getvideo || !c.vpdecode_getpicsize || c.vpdecode_init() < 0) {
                close();
                *error = input_text::kUnsupported;
                return false;
            }
        } else {
            if (!c.sh263de_init || !c.sh263de_frame || !c.sh263de_getwidth || !c.sh263de_getheight ||
                c.sh263de_init() < 0) {
                close();
                *error = input_text::kUnsupported;
                return false;
            }
            if (c.sh263de_setdispmode) c.sh263de_setdispmode(0);
        }
        video_open_ = true;
        for (const SwfTagEntry& t : swf_->tags) frames_ += t.code == kVideoFrame;
        size_picture(std::max({job.width, swf_->video_width, swf_->frame_width, 16}),
                     std::max({job.height, swf_->video_height, swf_->frame_height, 16}));
        swf_adpcm_reset(&adpcm_);
        if (sound_ == 2) {
            mpgdemux_set_links(calls.demux_links);
            mpgdemux_audio_reset();
            if (calls.mp3_init) calls.mp3_init(0);
            mp3_open_ = true;
        }
        return true;
    }

    int use_range(const MediaFile* file) override {
        if (!swf_) return -1;
        range_ = swf_input::range_of(file, frames_);
        return range_.start;
    }

    size_t frame_capacity() const override {
        return size_t(picture::bgr24_stride(std::max(job_.width, 16))) * size_t(std::max(job_.height, 16));
    }

    ReadStatus read_next(MediaOutput& out) override {
        if (!swf_ || entry_ >= swf_->tags.size() || frame_ >= range_.end) return ReadStatus::kEnd;
        uint32_t length = 0;
        const uint8_t* body = swf_tag_body(swf_, entry_, &length);
        const int code = swf_->tags[entry_].code;
        ++entry_;
        if (!body) return ReadStatus::kEnd;
        if (code == kVideoFrame) {
            // Stream id and frame number first; a body without a picture after them is stepped over.
            if (length > 4) picture(body + 4, int(length - 4), frame_ >= range_.start, out);
            ++frame_;
        } else if (code == kSoundBlock && frame_ >= range_.start) {
            sound(body, length, out);
            out.flush_sound();
        }
        return ReadStatus::kOk;
    }

    void flush(MediaOutput&) override {}
    bool seek_frame(int frame) override { return frame == frame_; }

    void close() override {
        if (calls_ && video_open_) {
            if (vp6_ && calls_->vpdecode_close) calls_->vpdecode_close();
            if (!vp6_ && calls_->sh263de_exit) calls_->sh263de_exit();
        }
        if (calls_ && mp3_open_) {
            mpgdemux_audio_reset();
            if (calls_->mp3_close) calls_->mp3_close(0);
        }
        video_open_ = mp3_open_ = false;
        if (vp6_bound_ && calls_ && calls_->vp6_unbind) calls_->vp6_unbind();
        vp6_bound_ = false;
        if (swf_) swf_free(swf_);
        swf_ = nullptr;
        entry_ = 0;
        frame_ = frames_ = 0;
        range_ = swf_input::Range{};
    }

    int next_frame() const override { return frame_; }
    int frame_count() const override { return 0; }
    double position() const override {
        return swf_ && !swf_->tags.empty() ? double(entry_) / double(swf_->tags.size()) : 1.0;
    }
    // The movie's pictures come one a frame period of its header (its tags carry no times).
    int64_t picture_time_ms() const override {
        if (!swf_ || !(swf_->frame_rate > 0)) return -1;
        return int64_t(double(frame_) * 1000.0 / swf_->frame_rate + 0.5);
    }

private:
    void size_picture(int width, int height) {
        if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return;
        const size_t bytes = size_t(picture::bgr24_stride(width)) * size_t(height);
        if (picture_.size() < bytes) picture_.resize(bytes);
    }

    void picture(const uint8_t* data, int length, bool used, MediaOutput& out) {
        const InputCalls& c = *calls_;
        int r = 0, w = 0, h = 0;
        if (vp6_) {
            // The VP6 library takes a body as FLV carries it: the crop byte (none here) first.
            vp6_body_.assign(1, 0);
            vp6_body_.insert(vp6_body_.end(), data, data + length);
            r = c.vpdecode_getvideo(vp6_body_.data(), int(vp6_body_.size()), picture_.data(), int(picture_.size()));
            if (r == 0 && c.vpdecode_getpicsize(&w, &h) >= 0 &&
                size_t(picture::bgr24_stride(w)) * size_t(h) > picture_.size()) {
                size_picture(w, h);  // the next picture fits
            }
            if (r > 0) c.vpdecode_getpicsize(&w, &h);
        } else {
            // The header alone first; data without one is refused as it is.
            if (c.sh263de_frame(data, length, nullptr, 0) < 0) return;
            size_picture(c.sh263de_getwidth(), c.sh263de_getheight());
            r = c.sh263de_frame(data, length, picture_.data(), int(picture_.size()));
            w = c.sh263de_getwidth();
            h = c.sh263de_getheight();
        }
        const size_t need = size_t(picture::bgr24_stride(std::max(w, 0))) * size_t(std::max(h, 0));
        if (r <= 0 || !used || w <= 0 || h <= 0 || need > size_t(r) || need > picture_.size()) return;
        PictureView view;
        view.data = picture_.data();
        view.width = w;
        view.height = h;
        view.stride = picture::bgr24_stride(w);
        view.format = PixelFormat::kBgr24;
        ++out.pictures;
        if (out.on_picture) out.on_picture(view);
    }

    void sound(const uint8_t* body, uint32_t length, MediaOutput& out) {
        switch (sound_) {
            case 0:
            case 3:
                avi_pcm_expand(body, length, swf_->sound_bits == 8 ? 8 : 16, out);
                break;
            case 1: {
                const int channels = swf_->sound_channels == 2 ? 2 : 1;
                samples_.resize(size_t(length) * 4 + 64);
                const int frames =
                    swf_adpcm_samples(swf_adpcm_decode(&adpcm_, body, length, channels, samples_.data(), samples_.size()));
                // Sample frames x channels x 2 bytes.
                avi_pcm_expand(reinterpret_cast<const uint8_t*>(samples_.data()), size_t(frames) * channels * 2, 16, out);
                break;
            }
            case 2:
                // Sample count and seek samples first.
                if (length <= 4) return;
                mpgdemux_set_output(&out);
                mpgdemux_decode_audio(body + 4, int(length - 4), MPGDEMUX_APPEND);
                mpgdemux_set_output(nullptr);
                break;
            default:
                break;
        }
    }

    const InputCalls* calls_ = nullptr;
    MediaJob job_{};
    SwfParser* swf_ = nullptr;
    bool vp6_ = false, video_open_ = false, mp3_open_ = false, vp6_bound_ = false;
    int sound_ = -1;
    size_t entry_ = 0;
    int frame_ = 0, frames_ = 0;
    swf_input::Range range_;
    SwfAdpcmState adpcm_;
    std::vector<uint8_t> picture_, vp6_body_;
    std::vector<int16_t> samples_;
};

}  // namespace

std::unique_ptr<InputReader> make_swf_reader() { return std::make_unique<SwfReader>(); }
