// Sound crosses module boundaries as a typed block of interleaved signed 16-bit PCM.
#pragma once
#include <cstddef>
#include <cstdint>

struct SoundBlock {
    int16_t* samples = nullptr;  // frames x channels values, channel by channel within a frame
    int frames = 0;
    int channels = 0;            // 1 or 2
    int rate = 0;                // frames a second

    size_t byte_size() const { return size_t(frames > 0 ? frames : 0) * size_t(channels > 0 ? channels : 0) * 2; }
    bool valid() const { return samples && frames >= 0 && (channels == 1 || channels == 2) && rate > 0; }
};

namespace sound {

// A block over `bytes` bytes of PCM; a trailing part frame is left out.
inline SoundBlock block(void* data, size_t bytes, int channels, int rate) {
    SoundBlock b;
    b.samples = static_cast<int16_t*>(data);
    b.channels = channels;
    b.rate = rate;
    b.frames = channels > 0 ? int(bytes / (2 * size_t(channels))) : 0;
    return b;
}

}  // namespace sound
