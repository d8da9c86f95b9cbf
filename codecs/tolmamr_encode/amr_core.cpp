#include "amr_core.h"
#include <cstring>
#include <opencore-amrnb/interf_enc.h>

namespace amrenc {

int mode_of(int value) {
    static const int kValues[8] = {475, 515, 59, 67, 74, 795, 102, 122};
    static const int kModes[8] = {MR475, MR515, MR59, MR67, MR74, MR795, MR102, MR122};
    for (int i = 0; i < 8; ++i)
        if (kValues[i] == value) return kModes[i];
    return -1;
}

int Encoder::open(int mode_value) {
    close();
    int mode = mode_of(mode_value);
    if (mode < 0) return -1;
    state_ = Encoder_Interface_init(0);
    if (!state_) return -1;
    mode_ = mode;
    return 0;
}

int Encoder::encode(const uint8_t* pcm, int bytes, uint8_t* out, int capacity, int* frames) {
    if (frames) *frames = 0;
    if (!state_ || !pcm || !out || bytes < 0) return -1;
    int coded = 0, count = 0;
    for (int pos = 0; pos + kFrameBytes <= bytes; pos += kFrameBytes) {
        short speech[160];
        memcpy(speech, pcm + pos, sizeof speech);
        unsigned char frame[64];
        int n = Encoder_Interface_Encode(state_, (enum Mode)mode_, speech, frame, 0);
        if (n <= 0) continue;
        if (coded + n > capacity) return -1;
        memcpy(out + coded, frame, n);
        coded += n;
        ++count;
    }
    if (frames) *frames = count;
    return coded;
}

void Encoder::close() {
    if (state_) Encoder_Interface_exit(state_);
    state_ = nullptr;
}

}  // namespace amrenc
