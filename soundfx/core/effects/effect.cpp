#include "soundfx/core/effects/effect.h"
#include "soundfx/core/dsp/pcm.h"

namespace soundfx {

namespace {
bool valid_piece(int frames, int channels) {
    return frames > 0 && channels >= 1 && channels <= 2 && frames <= kMaxPieceFrames;
}
}  // namespace

void ChannelEffect::run(float* left, float* right, int frames, int channels, Work& work) {
    if (channels == 2) {
        process_stereo(left, right, frames, work);
    } else {
        process_channel(left, frames, 0, work);
    }
    end_piece(frames);
}

void ChannelEffect::process(SoundBlock& piece, Work& work) {
    const int channels = piece.channels, frames = piece.frames;
    if (!valid_piece(frames, channels)) return;
    float* left = work.channel.data();
    float* right = work.second.data();
    pcm16_to_channels(piece.samples, frames, channels, left, right);
    run(left, right, frames, channels, work);
    channels_to_pcm16(left, right, frames, channels, piece.samples);
}

void ChannelEffect::process_floats(float* left, float* right, int frames, int channels, Work& work) {
    if (!valid_piece(frames, channels)) return;
    run(left, right, frames, channels, work);
    truncate_pcm16(left, frames);
    if (channels == 2) truncate_pcm16(right, frames);
}

}  // namespace soundfx
