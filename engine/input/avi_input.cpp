// The AVI branch's reader: the file's video and audio index from the AVI reader (every offset and
// length checked against the file), the two descriptions from the stream parser, the pictures through
// the picture decoder library, the sound by its mode. Sound chunks are decoded before the picture whose
// chunk follows them in the file. An empty picture chunk holds the picture before it for one more
// frame (a constant-rate file's dropped frame): that picture is handed over again, so the pictures keep
// their time against the sound. A seek starts the sound a few chunks before the picture's time (MPEG
// audio's first frame needs the bytes of the frames before it) and drops what comes before that time.
#include "engine/input/avi_input.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>
#include "base/fileio.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "media/avi/avilib.h"
#include "media/mpeg/mpgdemux.h"

int avi_audio_mode(const Mpeg4AudioInfo& audio) {
    if (audio.codec != 0) return audio.codec;
    if (audio.wave.format_tag == 1) return 1;
    if (audio.wave.format_tag == 0x55) return kAviMpegAudioMode;
    return audio.wave.format_tag;
}

namespace {

// Room for at least `bytes` more in the PCM block, handing a full one on; false when there is none.
bool make_room(MediaOutput& out, size_t bytes) {
    if (out.pcm_room() >= bytes) return true;
    if (!out.flush_sound()) return false;
    return out.pcm_room() >= bytes;
}

void put_sample(MediaOutput& out, int16_t sample) {
    std::memcpy(out.pcm + out.pcm_length, &sample, 2);
    out.pcm_length += 2;
}

}  // namespace

size_t avi_pcm_expand(const uint8_t* data, size_t length, int bits, MediaOutput& out) {
    if (!data || !out.pcm) return 0;
    size_t made = 0;
    if (bits == 16) {
        length &= ~size_t(1);
        while (length > 0) {
            if (!make_room(out, 2)) break;
            const size_t n = std::min(length, out.pcm_room() & ~size_t(1));
            std::memcpy(out.pcm + out.pcm_length, data, n);
            out.pcm_length += n;
            data += n;
            length -= n;
            made += n;
        }
        return made;
    }
    const size_t per_byte = bits == 4 ? 4 : bits == 8 ? 2 : 0;
    if (per_byte == 0) return 0;
    for (size_t i = 0; i < length; ++i) {
        if (!make_room(out, per_byte)) break;
        if (bits == 4) {
            put_sample(out, int16_t(((data[i] >> 4) - 8) * 256));
            put_sample(out, int16_t(((data[i] & 15) - 8) * 256));
        } else {
            put_sample(out, int16_t((int(data[i]) - 128) * 256));
        }
        made += per_byte;
    }
    return made;
}

namespace {

// A chunk longer than this is not read (no AVI picture or sound chunk comes near it).
constexpr uint32_t kMaxChunk = 64u << 20;
// Sound chunks decoded before the one a seek's time falls into, for MPEG audio: a layer III frame
// takes up to 511 bytes of the frames before it (its bit reservoir), two to four frames at usual rates.
constexpr int kMpegSoundPreroll = 4;

class AviReader : public InputReader {
public:
    ~AviReader() override { close(); }

    bool open(const MediaJob& job, const InputCalls& calls, std::string* error) override {
        close();
        calls_ = &calls;
        avi_ = AVI_open_input_file(job.path, 1);
        if (!avi_) {
            *error = AVI_errno == AVI_ERR_OPENDML ? input_text::kAviOpenDml : input_text::kAviInitFailed;
            return false;
        }
        if (!calls.mux_init || !calls.open_stream || !calls.get_mpeg4_video || !calls.get_mpeg4_audio ||
            !calls.tolmdivx_initrgb || !calls.tolmdivx_playbuf) {
            close();
            *error = input_text::kAviInitFailed;
            return false;
        }
        calls.mux_init();
        calls.open_stream(job.path);
        std::memset(&video_, 0, sizeof video_);
        std::memset(&audio_, 0, sizeof audio_);
        calls.get_mpeg4_video(reinterpret_cast<unsigned char*>(&video_));
        calls.get_mpeg4_audio(reinterpret_cast<unsigned char*>(&audio_));
        // The reader's own index is the one checked against the file; the parser counts the same.
        frames_ = avi_->frame_count;
        chunks_ = avi_->audio_entries ? avi_->audio_chunk_count : 0;
        if (calls.mp3_init) calls.mp3_init(0);
        if (chunks_ > 0) set_up_sound();
        if (calls.tolmdivx_initrgb(video_) < 0) {
            close();
            *error = input_text::kAviInitFailed;
            return false;
        }
        picture_open_ = true;
        width_ = video_.width > 0 ? video_.width : avi_->width;
        height_ = video_.height > 0 ? video_.height : avi_->height;
        if (width_ <= 0 || height_ <= 0 || width_ > 16384 || height_ > 16384 || !source_.open(job.path, fileio::File::Mode::Read)) {
            close();
            *error = input_text::kOpenFailed;
            return false;
        }
        return true;
    }

    size_t frame_capacity() const override {
        return size_t(picture::bgr24_stride(width_)) * size_t(height_) + 2000;
    }

    ReadStatus read_next(MediaOutput& out) override {
        if (!avi_ || next_ >= frames_) return ReadStatus::kEnd;
        const AviVideoEntry& v = avi_->video_entries[next_];
        sound_until(v.pos, false, out);
        if (v.length == 0)
            repeat_picture(out);
        else
            picture(v, out);
        ++next_;
        return ReadStatus::kOk;
    }

    void flush(MediaOutput& out) override {
        // The sound chunks after the last picture.
        if (!avi_ || next_ < frames_) return;
        sound_until(0, true, out);
    }

    bool seek_frame(int frame) override {
        if (!avi_ || frame < 0 || frame >= frames_) return false;
        next_ = frame;
        shown_ = false;
        drop_seconds_ = 0;
        drop_frames_ = -1;
        audio_next_ = 0;
        if (sound_ == AviSound::kMpeg) mpgdemux_audio_reset();
        if (frame == 0 || chunks_ == 0) return true;
        // The sound from the picture's time: from the chunk that time falls into (a few chunks earlier
        // for MPEG audio), less what those chunks hold before the time.
        const double at = avi_->fps > 0 ? frame / avi_->fps : -1;
        int into = -1;
        for (int a = 0; a < chunks_ && at >= 0; ++a) {
            const double t = AVI_audio_chunk_time(avi_, a);
            if (t < 0 || t > at + 1e-9) break;
            into = a;
        }
        if (into < 0) {
            // Sound the header does not time: from the last chunk stored before the picture's chunk.
            const uint32_t pos = avi_->video_entries[frame].pos;
            for (int a = 0; a < chunks_; ++a)
                if (avi_->audio_entries[a].pos < pos) audio_next_ = a;
            return true;
        }
        audio_next_ = std::max(0, into - (sound_ == AviSound::kMpeg ? kMpegSoundPreroll : 0));
        drop_seconds_ = std::max(0.0, at - AVI_audio_chunk_time(avi_, audio_next_));
        return true;
    }

    void close() override {
        if (sound_ == AviSound::kOther && calls_ && calls_->tolm_adpcm_close) calls_->tolm_adpcm_close();
        if (sound_ == AviSound::kMpeg) mpgdemux_audio_reset();
        sound_ = AviSound::kNone;
        if (picture_open_ && calls_ && calls_->tolmdivx_close) calls_->tolmdivx_close();
        picture_open_ = false;
        if (avi_ && calls_ && calls_->mp3_close) calls_->mp3_close(0);
        if (avi_) AVI_close(avi_);
        avi_ = nullptr;
        source_.close();
        frames_ = chunks_ = next_ = audio_next_ = 0;
        shown_ = false;
        drop_seconds_ = 0;
        drop_frames_ = -1;
    }

    int next_frame() const override { return next_; }
    int frame_count() const override { return frames_; }
    double position() const override { return frames_ > 0 ? double(next_) / frames_ : 1.0; }

private:
    void set_up_sound() {
        const int mode = avi_audio_mode(audio_);
        bits_ = audio_.wave.bits_per_sample;
        block_align_ = audio_.wave.block_align;
        if (mode == 1) {
            sound_ = bits_ == 4 || bits_ == 8 || bits_ == 16 ? AviSound::kPcm : AviSound::kNone;
        } else if (mode == kAviMpegAudioMode) {
            sound_ = AviSound::kMpeg;
            mpgdemux_set_links(calls_->demux_links);
            mpgdemux_audio_reset();
        } else if (calls_->tolm_adpcm_init && calls_->tolm_adpcm_decode && calls_->tolm_adpcm_init(mode) >= 0) {
            sound_ = AviSound::kOther;
        }
    }

    bool read_chunk(uint32_t pos, uint32_t length) {
        if (length == 0 || length > kMaxChunk) return false;
        if (chunk_.size() < length) chunk_.resize(length);
        return source_.seek(pos) && source_.read_exact(chunk_.data(), length);
    }

    // The sound chunks up to the one stored at `pos` (all that are left with `all`). After a seek the
    // sound before the seek's time is dropped on its way to the sound sink, to the sample.
    void sound_until(uint32_t pos, bool all, MediaOutput& out) {
        auto more = [&] {
            return audio_next_ < chunks_ && (all || avi_->audio_entries[audio_next_].pos < pos);
        };
        if (drop_seconds_ <= 0 || !out.on_sound) {
            while (more()) sound_chunk(audio_next_++, out);
            return;
        }
        std::function<void(const SoundBlock&)> sink = std::move(out.on_sound);
        out.on_sound = [this, &sink](const SoundBlock& block) {
            if (drop_frames_ < 0) drop_frames_ = std::llround(drop_seconds_ * block.rate);
            // The rest moves to the block's start: the sound path takes blocks from the PCM block's start.
            SoundBlock rest = block;
            const int skip = int(std::min<int64_t>(drop_frames_, rest.frames > 0 ? rest.frames : 0));
            drop_frames_ -= skip;
            rest.frames -= skip;
            const size_t channels = size_t(rest.channels > 0 ? rest.channels : 0);
            if (skip > 0 && rest.frames > 0)
                std::memmove(rest.samples, rest.samples + size_t(skip) * channels, size_t(rest.frames) * channels * 2);
            if (drop_frames_ == 0) drop_seconds_ = 0;
            if (rest.frames > 0) sink(rest);
        };
        while (more()) sound_chunk(audio_next_++, out);
        out.on_sound = std::move(sink);
    }

    void sound_chunk(int index, MediaOutput& out) {
        const AviAudioEntry& a = avi_->audio_entries[index];
        if (sound_ == AviSound::kNone || !read_chunk(a.pos, a.length)) return;
        const uint8_t* data = chunk_.data();
        const int length = int(a.length);
        switch (sound_) {
            case AviSound::kPcm:
                avi_pcm_expand(data, size_t(length), bits_, out);
                break;
            case AviSound::kMpeg:
                mpgdemux_set_output(&out);
                mpgdemux_decode_audio(data, length, MPGDEMUX_APPEND);
                mpgdemux_set_output(nullptr);
                break;
            case AviSound::kOther:
                other_sound(data, length, out);
                break;
            case AviSound::kNone:
                break;
        }
        out.flush_sound();
    }

    // In pieces of whole blocks whose sound fits the PCM block: the piece follows the most sound a
    // byte has given so far (from 16 bytes a byte on), so the decoder never has to hold sound back.
    void other_sound(const uint8_t* data, int length, MediaOutput& out) {
        const size_t half = out.pcm_capacity / 2;
        const int block = block_align_ > 0 ? block_align_ : 1;
        for (int pos = 0; pos < length;) {
            const int fit = int(std::min<size_t>(half / size_t(growth_), 1 << 24));
            const int n = std::min(length - pos, std::max(block, fit / block * block));
            if (out.pcm_room() < size_t(n) * size_t(growth_)) out.flush_sound();
            int produced = int(std::min<size_t>(out.pcm_room(), 1u << 30));
            if (calls_->tolm_adpcm_decode(data + pos, n, out.pcm + out.pcm_length, &produced, 16, block_align_) < 0)
                produced = 0;
            produced = std::max(0, produced);
            out.pcm_length += size_t(produced);
            growth_ = std::max(growth_, produced / n + 1);
            pos += n;
        }
    }

    // An empty chunk: the picture before it once more (nothing when there is none since the open or
    // the seek, or when the one before did not decode).
    void repeat_picture(MediaOutput& out) {
        if (!shown_ || !out.frame.data) return;
        ++out.pictures;
        if (out.on_picture) out.on_picture(out.frame);
    }

    void picture(const AviVideoEntry& v, MediaOutput& out) {
        // An unreadable chunk, or a picture that does not decode, is skipped.
        if (!read_chunk(v.pos, v.length) || !out.frame.data) return;
        if (out.frame_capacity < size_t(picture::bgr24_stride(width_)) * size_t(height_)) return;
        int decoded = 0, key = 0;
        shown_ = false;
        const int r = calls_->tolmdivx_playbuf(chunk_.data(), int(v.length), 1, out.frame.data, &decoded, width_,
                                               height_, &key);
        if (r < 0 || decoded <= 10) return;
        shown_ = true;
        out.frame.width = width_;
        out.frame.height = height_;
        out.frame.stride = picture::bgr24_stride(width_);
        out.frame.format = PixelFormat::kBgr24;
        ++out.pictures;
        if (out.on_picture) out.on_picture(out.frame);
    }

    const InputCalls* calls_ = nullptr;
    AviFile* avi_ = nullptr;
    fileio::File source_;
    Mpeg4VideoInfo video_{};
    Mpeg4AudioInfo audio_{};
    AviSound sound_ = AviSound::kNone;
    bool picture_open_ = false;
    int bits_ = 16, block_align_ = 0;
    int growth_ = 16;  // most sound bytes an input byte of the ADPCM decoder gave, plus one
    int width_ = 0, height_ = 0;
    int frames_ = 0, chunks_ = 0, next_ = 0, audio_next_ = 0;
    bool shown_ = false;         // the frame buffer holds the last picture handed over
    double drop_seconds_ = 0;    // sound still to drop after a seek, in seconds ...
    int64_t drop_frames_ = -1;   // ... and in sample frames once the decoded rate is known
    std::vector<uint8_t> chunk_;
};

}  // namespace

std::unique_ptr<InputReader> make_avi_reader() { return std::make_unique<AviReader>(); }
