#include "soundfx/core/effects/effect.h"
#include "soundfx/core/dsp/pcm.h"

namespace soundfx {

void ChannelEffect::process(SoundBlock& piece, Work& work) {
    const int channels = piece.channels, frames = piece.frames;
    if (frames <= 0 || channels < 1 || channels > 2 || frames > kMaxPieceFrames) return;
    float* x = work.channel.data();
    for (int c = 0; c < channels; ++c) {
        const int16_t* in = piece.samples + c;
        for (int j = 0; j < frames; ++j) x[j] = float(in[j * channels]);
        process_channel(x, frames, c, work);
        int16_t* out = piece.samples + c;
        for (int j = 0; j < frames; ++j) out[j * channels] = to_pcm16_trunc(x[j]);
    }
    end_piece(frames);
}

}  // namespace soundfx
