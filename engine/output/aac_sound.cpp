// AAC for MP4: frames of the encoder's size. The encoder gives out each frame one call late and puts
// one frame of its own in front of the sound; the track is told that delay, and at the end two silent
// frames push out what it holds: the frame held for the late call, and the last frame of sound that
// the priming frame pushed back (one silent frame leaves the sound a frame short).
#include <cstring>
#include <vector>
#include "engine/outside/outside_calls.h"
#include "engine/output/output_writer.h"
#include "engine/output/sound_encoders.h"
#include "engine/settings/settings.h"

namespace {

// Silent frames that bring every frame of sound out of the encoder at the end.
constexpr int kFlushFrames = 2;

class AacEncoder : public SoundEncoder {
public:
    bool set_up(bool again, SoundFormat* format) override {
        if (!again) *format = SoundFormat{cfg_aac_sample_rate, cfg_aac_channels, cfg_aac_channel_mode};
        if (!g_outside.aacbuf_init) return false;
        char text[] = "123";
        uint8_t config[64] = {};
        int config_length = 0;
        const int samples = g_outside.aacbuf_init(format->rate, format->channels, cfg_aac_bitrate, 6, cfg_aac_type,
                                                  text, config, &config_length);
        if (samples <= 0 || samples > 1 << 16 || format->channels < 1 || config_length < 0 || config_length > 64)
            return false;
        open_ = true;
        block_ = samples * 2;
        out_.assign(size_t(block_), 0);
        track_ = SoundTrack{};
        track_.mp4_codec = 2;
        track_.frame_samples = samples;
        track_.config.assign(config, config + config_length);
        track_.start_delay = samples / format->channels;
        return true;
    }
    int block_bytes() const override { return block_; }
    void encode(const uint8_t* pcm, int bytes, unsigned time_ms, OutputWriter& writer) override {
        unsigned time = time_ms;
        int chunk = bytes;
        const int k = g_outside.aacbuf_encode(pcm, block_, out_.data(), block_, &time, &chunk);
        if (k > 0) writer.write_sound(out_.data(), k, time);
    }
    void finish(OutputWriter& writer) override {
        if (!open_) return;
        std::vector<uint8_t> silence(size_t(block_), 0);
        for (int i = 0; i < kFlushFrames; ++i) encode(silence.data(), block_, 0, writer);
    }
    void close() override {
        if (open_ && g_outside.aacbuf_close) g_outside.aacbuf_close();
        open_ = false;
    }
    const SoundTrack& track() const override { return track_; }

private:
    bool open_ = false;
    int block_ = 0;
    std::vector<uint8_t> out_;
    SoundTrack track_;
};

}  // namespace

std::unique_ptr<SoundEncoder> make_aac_encoder() { return std::make_unique<AacEncoder>(); }
