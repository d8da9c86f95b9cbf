// 3GP and MP4 files through the multiplexer library: the video track at creation (H.264 at its first
// picture with a sequence set), the sound track with its configuration and start-up delay.
#include "engine/outside/outside_calls.h"
#include "engine/output/output_writers.h"

namespace {

class Mp4Writer : public OutputWriter {
public:
    explicit Mp4Writer(int container) : container_(container) {}

    bool create(const char* path, const OutputTracks& t) override {
        if (!g_outside.mp4en_init || g_outside.mp4en_init(path, container_) < 0) return false;
        open_ = true;
        h264_ = t.video == VideoCodec::kH264;
        if (!h264_) g_outside.mp4en_addvideo(t.video == VideoCodec::kH263 ? 1 : 2, t.width, t.height, 12800);
        sound_ = t.sound && t.sound_track;
        if (sound_) {
            const SoundTrack& s = *t.sound_track;
            if (s.mp4_codec == 1) {
                g_outside.mp4en_addaudio(1, 8000, 1, 2);
            } else {
                g_outside.mp4en_addaudio(2, t.sound_format.rate, t.sound_format.channels, s.frame_samples);
                g_outside.mp4en_setaudioinfo(s.config.data(), int(s.config.size()));
                if (s.start_delay > 0 && g_outside.mp4en_setaudiodelay) g_outside.mp4en_setaudiodelay(s.start_delay);
            }
        }
        return true;
    }
    bool is_open() const override { return open_; }
    bool wants_h264_track() const override { return open_ && h264_; }
    void add_h264_track(int width, int height, int level, int compatibility, int profile, const uint8_t* pps,
                        int pps_length, const uint8_t* sps, int sps_length) override {
        g_outside.mp4_add264(width, height, level, compatibility, profile);
        if (pps_length > 0) g_outside.mp4_add264pps(pps, pps_length);
        g_outside.mp4_add264sps(sps, sps_length);
    }
    void write_picture(const CodedPicture& p, int duration) override {
        if (open_) g_outside.mp4en_video(p.mp4_kind, p.data, p.size, duration, 0);
    }
    void write_sound(const uint8_t* data, int length, unsigned duration) override {
        if (open_ && sound_) g_outside.mp4en_audio(1, data, length, int(duration));
    }
    void close() override {
        if (open_ && g_outside.mp4en_close) g_outside.mp4en_close();
        open_ = false;
    }

private:
    int container_;
    bool open_ = false, h264_ = false, sound_ = false;
};

}  // namespace

std::unique_ptr<OutputWriter> make_mp4_writer(int container) { return std::make_unique<Mp4Writer>(container); }
