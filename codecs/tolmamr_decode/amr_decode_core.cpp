#include "codecs/tolmamr_decode/amr_decode_core.h"
#include <cstring>
#include <opencore-amrnb/interf_dec.h>

namespace amrdec {

int frame_size(uint8_t mode_byte) {
    static const int kSizes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 0, 0, 0, 0, 0, 0, 1};
    return kSizes[(mode_byte >> 3) & 15];
}

bool Decoder::init() {
    close();
    state_ = Decoder_Interface_init();
    return state_ != nullptr;
}

void Decoder::close() {
    if (state_) Decoder_Interface_exit(state_);
    state_ = nullptr;
}

int Decoder::decode(const uint8_t* frame, int length, uint8_t* pcm) {
    if (!state_ || !frame || !pcm || length < 1) return -1;
    int size = frame_size(frame[0]);
    if (size == 0 || length < size) return -1;
    // The library reads the whole frame of the type: hand it exactly that many bytes.
    uint8_t copy[32] = {};
    memcpy(copy, frame, size_t(size));
    int16_t samples[160];
    Decoder_Interface_Decode(state_, copy, samples, 0);
    memcpy(pcm, samples, sizeof samples);
    return kPcmBytes;
}

}  // namespace amrdec
