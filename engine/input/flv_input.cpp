// The FLV branch's reader: the file read record by record with plain file reads (no demultiplexer).
// Pictures go to the decoder the kind names (VP6, H.264 or Sorenson H.263) and come out of a picture
// buffer of the reader's own, sized from the decoder's size; sound is raw PCM (8-bit widened), SWF
// ADPCM, MP3 through the demultiplexer's audio decoder, or AAC.
//
// Every length read from the file is checked against what is read: a record or body cut short ends
// the job, a tag shorter than its own header is stepped over.
#include "engine/input/flv_input.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include "base/fileio.h"
#include "engine/input/avi_input.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "media/adpcm/adpcm.h"
#include "media/mpeg/mpgdemux.h"
#include "media/probe/flv_scan.h"

namespace flv {

namespace {
uint32_t be24(const uint8_t* p) { return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]; }
uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | be24(p + 1); }
}  // namespace

int64_t header_size(const uint8_t* header, size_t length) {
    if (!header || length < size_t(kHeaderBytes) || std::memcmp(header, "FLV\x01", 4) != 0) return -1;
    return std::max<int64_t>(kHeaderBytes, be32(header + 5));
}

TagRecord read_record(const uint8_t* record) {
    TagRecord r;
    r.type = record[4];
    r.body = be24(record + 5);
    r.time_ms = uint32_t(record[11]) << 24 | be24(record + 8);
    return r;
}

int avc_to_start_codes(uint8_t* data, size_t length) {
    if (!data || length < 4 || be32(data) <= 1) return 0;
    int rewritten = 0;
    for (size_t pos = 0; pos + 4 <= length;) {
        const uint32_t unit = be32(data + pos);
        data[pos] = data[pos + 1] = data[pos + 2] = 0;
        data[pos + 3] = 1;
        ++rewritten;
        if (unit > length - pos - 4) break;
        pos += 4 + size_t(unit);
    }
    return rewritten;
}

Range range_of(const MediaFile* file, int64_t header) {
    Range r;
    r.read_from = r.start = header;
    if (!file) return r;
    const MediaFileRecord& record = file->record;
    const int listed = int(std::min<int64_t>(std::max(record.segment_count, 0), int64_t(file->segments.size())));
    if (listed <= 0) return r;
    auto position = [&](int f) { return int64_t(file->segments[size_t(f)].entry.position); };
    const int s = std::clamp(record.range_start, 0, listed - 1);
    int key = s;
    while (key > 0 && file->segments[size_t(key)].entry.is_key != 1) --key;
    // Positions before the first record are not the file's; such an entry reads from the header.
    r.read_from = std::max(header, position(key) - kEntryToRecord);
    r.start = std::max(header, position(s) - kEntryToRecord);
    r.first_frame = key;
    r.start_frame = s;
    r.start_time_ms = uint32_t(std::max(0, file->segments[size_t(s)].entry.time_ms));
    const int e = record.range_end;
    if (e > s && e < listed) r.end = position(e);
    return r;
}

}  // namespace flv

namespace {

using namespace flv;

enum class Video { kVp6, kH264, kSorenson };

// Room left after a body for the 8 zero bytes a decoder may read past it.
constexpr size_t kBodySlack = 1024;
// The H.264 decoder's picture size when the job does not know it.
constexpr int kDefaultWidth = 1920, kDefaultHeight = 1088;

// The FLV sound codes the branch decodes: raw PCM (0, 3), SWF ADPCM (1), MP3 (2), AAC (10).
bool decodes_sound(int code) { return code == 0 || code == 1 || code == 2 || code == 3 || code == 10; }

class FlvReader : public InputReader {
public:
    ~FlvReader() override { close(); }

    bool open(const MediaJob& job, const InputCalls& calls, std::string* error) override {
        close();
        calls_ = &calls;
        job_ = job;
        const KindFields kind = decode_kind(job.file_kind);
        video_ = kind.video == 1 ? Video::kVp6 : kind.video == 7 ? Video::kH264 : Video::kSorenson;
        sound_ = kind.sound - 1;
        // A sound the branch has no decoder for (Nellymoser, G.711, Speex, ...): its tags are stepped
        // over and the job goes on with its pictures alone, saying so.
        notice_.clear();
        if (sound_ >= 0 && !decodes_sound(sound_)) notice_ = input_text::kNoSound;
        uint8_t header[kHeaderBytes];
        if (!file_.open(job.path, fileio::File::Mode::Read)) {
            *error = input_text::kOpenFailed;
            return false;
        }
        header_ = file_.read_exact(header, kHeaderBytes) ? header_size(header, kHeaderBytes) : -1;
        if (header_ < 0) {
            close();
            *error = input_text::kUnsupported;
            return false;
        }
        total_ms_ = std::max(1, job.duration_s) * 1000.0;
        if (!open_video()) {
            close();
            *error = input_text::kUnsupported;
            return false;
        }
        swf_adpcm_reset(&adpcm_);
        if (sound_ == 2) {
            mpgdemux_set_links(calls.demux_links);
            mpgdemux_audio_reset();
            if (calls.mp3_init) calls.mp3_init(0);
            mp3_open_ = true;
        }
        range_ = range_of(nullptr, header_);
        pos_ = header_;
        return true;
    }

    int use_range(const MediaFile* file) override {
        if (!file_.is_open()) return -1;
        range_ = range_of(file, header_);
        pos_ = range_.read_from;
        frame_ = range_.first_frame;
        if (file) {
            // The record's parameter sets: the H.264 decoder is primed and the AAC decoder opened from
            // them; without them the in-band headers do it.
            const MediaFileRecord& r = file->record;
            if (video_ == Video::kH264 && r.param_len1 > 0 && r.param_len1 <= kParamBlockSize)
                prime_h264(r.param_block1, r.param_len1);
            if (sound_ == 10 && r.param_len2 > 0 && r.param_len2 <= kParamBlockSize)
                open_aac(r.param_block2, r.param_len2);
        }
        return range_.start_frame;
    }

    size_t frame_capacity() const override {
        return size_t(picture::bgr24_stride(std::max(job_.width, 16))) * size_t(std::max(job_.height, 16));
    }

    ReadStatus read_next(MediaOutput& out) override {
        if (!file_.is_open() || pos_ >= range_.end) return ReadStatus::kEnd;
        uint8_t head[kRecordBytes];
        if (!file_.seek(pos_) || !file_.read_exact(head, kRecordBytes)) return ReadStatus::kEnd;
        const TagRecord record = read_record(head);
        const int64_t here = pos_;
        const bool used = here >= range_.start;
        if (record.type == 8 || record.type == 9) {
            if (body_.size() < record.body + kBodySlack) body_.resize(record.body + kBodySlack);
            if (!file_.read_exact(body_.data(), record.body)) return ReadStatus::kEnd;
            std::memset(body_.data() + record.body, 0, 8);
            time_ms_ = record.time_ms;
            if (record.type == 9) {
                video_tag(body_.data(), record.body, used, out);
                ++frame_;
            } else if (used) {
                sound_tag(body_.data(), record.body, out);
                out.flush_sound();
            }
        }
        pos_ = here + kRecordBytes + record.body;
        return ReadStatus::kOk;
    }

    void flush(MediaOutput& out) override {
        // The pictures the H.264 decoder still holds back, when the file was read to its end.
        if (video_ != Video::kH264 || !video_open_ || range_.end != kNoEnd) return;
        for (int i = 0; i < 64; ++i) {
            const int r = h264_picture(nullptr, 0);
            if (r <= 0) break;
            picture_ms_ += step_ms_;
            hand_over(r, out);
        }
    }

    bool seek_frame(int frame) override { return frame == frame_; }

    void close() override {
        if (calls_) {
            if (video_open_) {
                if (video_ == Video::kVp6 && calls_->vpdecode_close) calls_->vpdecode_close();
                if (video_ == Video::kH264 && calls_->h264_close) calls_->h264_close();
                if (video_ == Video::kSorenson && calls_->sh263de_exit) calls_->sh263de_exit();
            }
            if (aac_open_ && calls_->aacdecodebuf_close) calls_->aacdecodebuf_close();
            if (mp3_open_) {
                mpgdemux_audio_reset();
                if (calls_->mp3_close) calls_->mp3_close(0);
            }
        }
        video_open_ = aac_open_ = mp3_open_ = false;
        if (vp6_bound_ && calls_ && calls_->vp6_unbind) calls_->vp6_unbind();
        vp6_bound_ = false;
        file_.close();
        frame_ = 0;
        picture_ms_ = -1;
        step_ms_ = 40;
    }

    int next_frame() const override { return frame_; }
    int frame_count() const override { return 0; }
    double position() const override { return std::clamp(time_ms_ / total_ms_, 0.0, 1.0); }
    int64_t picture_time_ms() const override { return picture_ms_; }

private:
    bool open_video() {
        const InputCalls& c = *calls_;
        switch (video_) {
            case Video::kVp6:
                if (!bind_vp6()) return false;
                if (!c.vpdecode_init || !c.vpdecode_getvideo || !c.vpdecode_getpicsize || c.vpdecode_init() < 0)
                    return false;
                break;
            case Video::kH264:
                if (!c.h264_open || !c.h264_decode || !c.h264_getwh) return false;
                h264_width_ = job_.width > 0 ? job_.width : kDefaultWidth;
                h264_height_ = job_.height > 0 ? job_.height : kDefaultHeight;
                if (c.h264_open(h264_width_, h264_height_) < 0) return false;
                break;
            case Video::kSorenson:
                if (!c.sh263de_init || !c.sh263de_frame || !c.sh263de_getwidth || !c.sh263de_getheight ||
                    c.sh263de_init() < 0)
                    return false;
                if (c.sh263de_setdispmode) c.sh263de_setdispmode(0);
                break;
        }
        video_open_ = true;
        size_picture(std::max(job_.width, 16), std::max(job_.height, 16));
        if (video_ == Video::kH264) size_picture(h264_width_, h264_height_);
        return true;
    }

    // A play binds the VP6 library for its job (a conversion has it bound for the run).
    bool bind_vp6() {
        if (!playing() || !calls_->vp6_bind) return true;
        if (calls_->vp6_bind() != 0) return false;
        vp6_bound_ = true;
        return true;
    }

    // The picture buffer holds at least a picture of width x height.
    void size_picture(int width, int height) {
        if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return;
        const size_t bytes = size_t(picture::bgr24_stride(width)) * size_t(height);
        if (picture_.size() < bytes) picture_.resize(bytes);
    }

    void prime_h264(const uint8_t* sets, int length) {
        if (!video_open_ || length <= 0) return;
        config_.assign(sets, sets + length);
        config_.resize(config_.size() + 8, 0);
        calls_->h264_decode(config_.data(), length, picture_.data());
        primed_ = true;
    }

    void open_aac(const uint8_t* config, int length) {
        if (aac_open_ || !calls_->aacdecodebuf_init || !calls_->aacbuf_decode) return;
        int rate = 0, channels = 0;
        aac_open_ = calls_->aacdecodebuf_init(config, length, 1000, 44100, &rate, &channels) >= 0;
    }

    int decode(const uint8_t* data, int length, bool key) {
        const InputCalls& c = *calls_;
        switch (video_) {
            case Video::kSorenson: {
                // The header alone first: the buffer follows the picture's size before it is decoded
                // (data without a picture header is refused as it is).
                if (c.sh263de_frame(data, length, nullptr, 0) < 0) return -1;
                size_picture(c.sh263de_getwidth(), c.sh263de_getheight());
                return c.sh263de_frame(data, length, picture_.data(), int(picture_.size()));
            }
            case Video::kVp6: {
                int r = c.vpdecode_getvideo(data, length, picture_.data(), int(picture_.size()));
                int w = 0, h = 0;
                if (r == 0 && key && c.vpdecode_getpicsize(&w, &h) >= 0 &&
                    size_t(picture::bgr24_stride(w)) * size_t(h) > picture_.size()) {
                    // A key picture larger than the buffer: decoded again into a buffer of its size.
                    size_picture(w, h);
                    r = c.vpdecode_getvideo(data, length, picture_.data(), int(picture_.size()));
                }
                return r;
            }
            case Video::kH264: {
                int r = h264_picture(data, length);
                int w = 0, h = 0;
                if (r == 0 && key && c.h264_getwh(&w, &h) >= 0 && (w > h264_width_ || h > h264_height_) &&
                    w <= 8192 && h <= 8192) {
                    // The stream is larger than the decoder was opened for: opened again at its size.
                    h264_width_ = w;
                    h264_height_ = h;
                    size_picture(w, h);
                    if ((c.h264_close && c.h264_close() < 0) || c.h264_open(w, h) < 0) {
                        video_open_ = false;
                        return -1;
                    }
                    if (primed_) c.h264_decode(config_.data(), int(config_.size()) - 8, picture_.data());
                    r = h264_picture(data, length);
                }
                return r;
            }
        }
        return -1;
    }

    void video_tag(uint8_t* body, uint32_t length, bool used, MediaOutput& out) {
        if (length < 2 || !video_open_) return;
        const bool key = (body[0] >> 4) == 1;
        int r = 0;
        if (video_ == Video::kH264) {
            // Packet type, 3 bytes of composition time, then the data.
            if (length < 5) return;
            if (body[1] == 0) {
                std::vector<uint8_t> sets;
                if (!primed_ && flv_avc_parameter_sets(body + 1, length - 1, &sets)) prime_h264(sets.data(), int(sets.size()));
                return;
            }
            if (body[1] != 1 || length == 5) return;
            avc_to_start_codes(body + 5, length - 5);
            r = decode(body + 5, int(length - 5), key);
        } else {
            r = decode(body + 1, int(length - 1), key);
        }
        if (r > 0 && used) {
            // Pictures follow their tags' times (a held-back H.264 picture comes with a later tag).
            if (picture_ms_ >= 0 && time_ms_ > picture_ms_) step_ms_ = int64_t(time_ms_) - picture_ms_;
            picture_ms_ = int64_t(time_ms_);
            hand_over(r, out);
        }
    }

    // An H.264 picture: a play takes it as YUY2 for the video window, a conversion as B,G,R. The
    // parameter sets are always decoded to B,G,R (they give no picture).
    bool yuy2_pictures() const { return video_ == Video::kH264 && playing() && calls_->h264_decodeyuv; }
    int h264_picture(const uint8_t* data, int length) {
        return yuy2_pictures() ? calls_->h264_decodeyuv(data, length, picture_.data())
                               : calls_->h264_decode(data, length, picture_.data());
    }

    void hand_over(int bytes, MediaOutput& out) {
        int w = 0, h = 0;
        switch (video_) {
            case Video::kVp6: calls_->vpdecode_getpicsize(&w, &h); break;
            case Video::kH264: calls_->h264_getwh(&w, &h); break;
            case Video::kSorenson: w = calls_->sh263de_getwidth(), h = calls_->sh263de_getheight(); break;
        }
        if (w <= 0 || h <= 0) return;
        const PixelFormat format = yuy2_pictures() ? PixelFormat::kYuy2 : PixelFormat::kBgr24;
        const int row = picture::natural_stride(format, w);
        const size_t need = size_t(row) * size_t(h);
        if (need > size_t(bytes) || need > picture_.size()) return;
        PictureView view;
        view.data = picture_.data();
        view.width = w;
        view.height = h;
        view.stride = row;
        view.format = format;
        ++out.pictures;
        if (out.on_picture) out.on_picture(view);
    }

    void sound_tag(const uint8_t* body, uint32_t length, MediaOutput& out) {
        if (length < 2) return;
        const uint8_t flags = body[0];
        const uint8_t* data = body + 1;
        const size_t n = length - 1;
        switch (sound_) {
            case 0:
            case 3:
                avi_pcm_expand(data, n, flags & 2 ? 16 : 8, out);
                break;
            case 1: {
                const int channels = flags & 1 ? 2 : 1;
                samples_.resize(n * 4 + 64);
                const int frames = swf_adpcm_samples(swf_adpcm_decode(&adpcm_, data, n, channels, samples_.data(), samples_.size()));
                avi_pcm_expand(reinterpret_cast<const uint8_t*>(samples_.data()), size_t(frames) * channels * 2, 16, out);
                break;
            }
            case 2:
                mpgdemux_set_output(&out);
                mpgdemux_decode_audio(data, int(n), MPGDEMUX_APPEND);
                mpgdemux_set_output(nullptr);
                break;
            case 10: {
                if (body[1] == 0) {
                    if (length > 2) open_aac(body + 2, int(length - 2));
                    return;
                }
                if (!aac_open_ || length == 2) return;
                uint8_t pcm[8192];
                const int made = calls_->aacbuf_decode(body + 2, int(length - 2), 2048, pcm);
                if (made > 0) avi_pcm_expand(pcm, size_t(std::min(made, int(sizeof pcm))), 16, out);
                break;
            }
            default:
                break;
        }
    }

    const InputCalls* calls_ = nullptr;
    MediaJob job_{};
    fileio::File file_;
    Video video_ = Video::kSorenson;
    int sound_ = -1;
    int64_t header_ = kHeaderBytes, pos_ = 0;
    Range range_;
    int frame_ = 0;
    double total_ms_ = 1000, time_ms_ = 0;
    bool video_open_ = false, aac_open_ = false, mp3_open_ = false, primed_ = false, vp6_bound_ = false;
    int h264_width_ = 0, h264_height_ = 0;
    // The time of the picture handed over, and the step between the last two (for flushed pictures).
    int64_t picture_ms_ = -1, step_ms_ = 40;
    SwfAdpcmState adpcm_;
    std::vector<uint8_t> body_, picture_, config_;
    std::vector<int16_t> samples_;
};

}  // namespace

std::unique_ptr<InputReader> make_flv_reader() { return std::make_unique<FlvReader>(); }
