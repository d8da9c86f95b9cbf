#include "soundfx/core/effects/effect.h"
#include "soundfx/core/dsp/pcm.h"

namespace soundfx {

void ChannelEffect::process(SoundBlock& piece, Work& work) {
    const int channels = piece.channels, frames = piece.frames;
    if (frames <= 0 || channels < 1 || channels > 2 || frames > kMaxPieceFrames) return;
    float* x = work.channel.data();
    if (channels == 2) {
        float* y = work.second.data();
        pcm16_stereo_to_float(piece.samples, frames, x, y);
        process_stereo(x, y, frames, work);
        float_stereo_to_pcm16(x, y, frames, piece.samples);
    } else {
        pcm16_to_float(piece.samples, frames, x);
        process_channel(x, frames, 0, work);
        float_to_pcm16(x, frames, piece.samples);
    }
    end_piece(frames);
}

}  // namespace soundfx
