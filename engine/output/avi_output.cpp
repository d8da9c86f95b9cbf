// AVI files through the program's AVI writer: the exact picture rate in the header, key flags in the
// index, MP3 timed by bytes at constant rate and one frame a chunk at variable or average rate.
#include "engine/outside/outside_calls.h"
#include "engine/output/mp3_frames.h"
#include "engine/output/output_writers.h"

namespace {

const char* compressor_for(VideoCodec codec) {
    return codec == VideoCodec::kH263 ? "h263" : codec == VideoCodec::kMpeg4 ? "xvid" : "h264";
}

class AviWriter : public OutputWriter {
public:
    bool create(const char* path, const OutputTracks& t) override {
        if (!g_outside.AVI_open_output_file) return false;
        avi_ = g_outside.AVI_open_output_file(path);
        if (!avi_) return false;
        g_outside.AVI_set_video(avi_, t.width, t.height, t.rate.fps(), compressor_for(t.video));
        if (g_outside.AVI_set_video_rate && t.rate.num <= 0xFFFFFFFFll && t.rate.den <= 0xFFFFFFFFll)
            g_outside.AVI_set_video_rate(avi_, uint32_t(t.rate.num), uint32_t(t.rate.den));
        sound_ = t.sound && t.sound_track;
        vbr_ = false;
        frames_ = 0;
        if (sound_) {
            const SoundTrack& s = *t.sound_track;
            g_outside.AVI_set_audio(avi_, t.sound_format.channels, t.sound_format.rate, 16, s.avi_format, s.avi_kbps);
            vbr_ = s.avi_vbr_frame_samples > 0 && g_outside.AVI_set_audio_vbr;
            if (vbr_) g_outside.AVI_set_audio_vbr(avi_, s.avi_vbr_frame_samples);
        }
        return true;
    }
    bool is_open() const override { return avi_ != nullptr; }
    bool constant_rate() const override { return true; }
    void write_picture(const CodedPicture& p, int) override {
        if (avi_) g_outside.AVI_write_frame(avi_, p.data, p.size, p.key ? 1 : 0);
    }
    void write_sound(const uint8_t* data, int length, unsigned) override {
        if (!avi_ || !sound_) return;
        if (!vbr_) {
            g_outside.AVI_write_audio(avi_, data, length);
            return;
        }
        // One frame a chunk; bytes that do not start a frame are not sound a player could time. The
        // encoder's information frame at the start is left out: it would play as a frame of silence.
        for (int pos = 0; pos < length;) {
            const int n = mp3_frame_length(data + pos, length - pos);
            if (n <= 0 || n > length - pos) break;
            if (frames_++ > 0 || !mp3_is_info_frame(data + pos, n)) g_outside.AVI_write_audio(avi_, data + pos, n);
            pos += n;
        }
    }
    void close() override {
        if (avi_ && g_outside.AVI_close) g_outside.AVI_close(avi_);
        avi_ = nullptr;
    }

private:
    AviFile* avi_ = nullptr;
    bool sound_ = false, vbr_ = false;
    int64_t frames_ = 0;
};

}  // namespace

std::unique_ptr<OutputWriter> make_avi_writer() { return std::make_unique<AviWriter>(); }
