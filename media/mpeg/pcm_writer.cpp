#include "media/mpeg/pcm_writer.h"
#include <cstring>

namespace mpeg {

size_t PcmWriter::reserve(size_t bytes, int rate, int channels) {
    if (!out_ || !out_->pcm) return 0;
    if (out_->pcm_length > 0 && (out_->pcm_rate != rate || out_->pcm_channels != channels)) out_->flush_sound();
    if (out_->pcm_length == 0) {
        out_->pcm_rate = rate;
        out_->pcm_channels = channels;
    }
    if (out_->pcm_room() < bytes) out_->flush_sound();
    return out_->pcm_room();
}

void PcmWriter::append(const uint8_t* data, size_t bytes, int rate, int channels) {
    while (bytes > 0) {
        const size_t room = reserve(bytes, rate, channels);
        const size_t n = room < bytes ? room : bytes;
        if (n == 0) return;  // no room and no sink: the rest is dropped
        std::memcpy(end(), data, n);
        commit(n);
        data += n;
        bytes -= n;
        if (!has_sink()) return;
    }
}

}  // namespace mpeg
