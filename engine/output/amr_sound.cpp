// AMR-NB for 3GP: 640-byte blocks (two 20 ms frames of 8000 Hz mono), each block timed 320 samples.
#include "codecs/tolmamr_encode/amr_mode.h"
#include "engine/outside/outside_calls.h"
#include "engine/output/output_writer.h"
#include "engine/output/sound_encoders.h"
#include "engine/settings/settings.h"

namespace {

class AmrEncoder : public SoundEncoder {
public:
    bool set_up(bool again, SoundFormat* format) override {
        if (!again) *format = SoundFormat{8000, 1, cfg_amr_channel_mode};
        if (!g_outside.amrbuf_init || g_outside.amrbuf_init(amr_mode_value(cfg_amr_rate), state_) < 0) return false;
        open_ = true;
        track_ = SoundTrack{};
        track_.mp4_codec = 1;
        return true;
    }
    int block_bytes() const override { return 640; }
    int frame_bytes() const override { return 320; }
    void encode(const uint8_t* pcm, int bytes, unsigned, OutputWriter& writer) override {
        int frames = 0;
        const int k = g_outside.amrbuf_encode(pcm, bytes, out_, sizeof out_, &frames);
        if (k > 0) writer.write_sound(out_, k, unsigned(bytes / 2));
    }
    void finish(OutputWriter&) override {}
    void close() override {
        if (open_ && g_outside.amrbuf_close) g_outside.amrbuf_close();
        open_ = false;
    }
    const SoundTrack& track() const override { return track_; }

private:
    bool open_ = false;
    uint8_t state_[64] = {};
    uint8_t out_[4096];
    SoundTrack track_;
};

}  // namespace

std::unique_ptr<SoundEncoder> make_amr_encoder() { return std::make_unique<AmrEncoder>(); }
