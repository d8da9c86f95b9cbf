// MP3 for AVI at constant, variable or average rate. Only whole frames (a block starting with the
// frame sync byte) go into the file; the frames the encoder still holds are written at the end.
#include <vector>
#include "engine/outside/outside_calls.h"
#include "engine/output/output_writer.h"
#include "engine/output/sound_encoders.h"
#include "engine/settings/settings.h"

namespace {

class Mp3Encoder : public SoundEncoder {
public:
    bool set_up(bool again, SoundFormat* format) override {
        if (!again) *format = SoundFormat{cfg_mp3_sample_rate, cfg_mp3_channels, cfg_mp3_channel_mode};
        int samples = 0, output_size = 0, r = -1, kbps = 0;
        const int rate = format->rate, channels = format->channels;
        if (cfg_mp3_coding_type == 0 && g_outside.tolmmp3encinit_new) {
            r = g_outside.tolmmp3encinit_new(&samples, &output_size, rate, cfg_mp3_cbr_rate, channels, cfg_mp3_mode);
            kbps = cfg_mp3_cbr_rate;
        } else if (cfg_mp3_coding_type == 1 && g_outside.tolmmp3encinit_vbr) {
            r = g_outside.tolmmp3encinit_vbr(&samples, &output_size, rate, cfg_mp3_cbr_rate, channels, cfg_mp3_mode,
                                             cfg_mp3_vbr_quality, cfg_mp3_vbr_min, cfg_mp3_vbr_max);
            kbps = (cfg_mp3_vbr_min + cfg_mp3_vbr_max) / 2;
        } else if (cfg_mp3_coding_type != 0 && cfg_mp3_coding_type != 1 && g_outside.tolmmp3encinit_abr) {
            r = g_outside.tolmmp3encinit_abr(&samples, &output_size, rate, cfg_mp3_cbr_rate, channels, cfg_mp3_mode,
                                             cfg_mp3_abr_rate);
            kbps = cfg_mp3_abr_rate;
        }
        // The encoder's sizes decide the buffers, so a refused start never reaches the coding loop.
        if (r < 0 || samples <= 0 || samples > 1 << 16 || output_size <= 0 || output_size > 1 << 24 || channels < 1)
            return false;
        open_ = true;
        samples_ = samples;
        out_.assign(size_t(output_size), 0);
        track_ = SoundTrack{};
        track_.avi_format = 0x55;
        track_.avi_kbps = kbps;
        track_.avi_vbr_frame_samples = cfg_mp3_coding_type == 0 ? 0 : samples / channels;
        return true;
    }
    int block_bytes() const override { return samples_ * 2; }
    void encode(const uint8_t* pcm, int, unsigned, OutputWriter& writer) override {
        write(g_outside.tolmmp3enccode(reinterpret_cast<const short*>(pcm), samples_, out_.data()), writer);
    }
    void finish(OutputWriter& writer) override {
        if (!open_) return;
        open_ = false;  // the end call closes the encoder
        write(g_outside.tolmmp3encend(out_.data()), writer);
    }
    void close() override {
        if (open_ && g_outside.tolmmp3encend) g_outside.tolmmp3encend(out_.data());
        open_ = false;
    }
    const SoundTrack& track() const override { return track_; }

private:
    void write(int k, OutputWriter& writer) {
        if (k > 0 && k <= int(out_.size()) && out_[0] == 0xFF) writer.write_sound(out_.data(), k, 0);
    }

    bool open_ = false;
    int samples_ = 0;
    std::vector<uint8_t> out_;
    SoundTrack track_;
};

}  // namespace

std::unique_ptr<SoundEncoder> make_mp3_encoder() { return std::make_unique<Mp3Encoder>(); }
