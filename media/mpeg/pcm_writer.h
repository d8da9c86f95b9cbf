// Appends decoded sound to an output's PCM block. When a piece would not fit, the sound sink (if any)
// takes the block first, so nothing is lost; without a sink what does not fit is dropped. A change of
// rate or channels hands the block on first too, so one block never mixes formats.
#pragma once
#include <cstddef>
#include <cstdint>
#include "base/media_output.h"

namespace mpeg {

class PcmWriter {
public:
    explicit PcmWriter(MediaOutput* out) : out_(out) {}

    // Room for `bytes` of the given format at the end of the block: the room there (possibly less
    // than asked for without a sink, 0 without an output).
    size_t reserve(size_t bytes, int rate, int channels);
    uint8_t* end() const { return out_ ? out_->pcm + out_->pcm_length : nullptr; }
    void commit(size_t bytes) {
        if (out_) out_->pcm_length += bytes;
    }
    // Copies what fits of `bytes` (reserving first).
    void append(const uint8_t* data, size_t bytes, int rate, int channels);
    bool has_sink() const { return out_ && out_->on_sound; }
    void flush() {
        if (out_) out_->flush_sound();
    }

private:
    MediaOutput* out_;
};

}  // namespace mpeg
