// AMR narrow-band frames in 3GP storage form (a mode byte, then the speech bits) over opencore-amrnb,
// each into 160 samples of 8000 Hz mono 16-bit PCM.
#pragma once
#include <cstdint>

namespace amrdec {

// Stored size of a frame (mode byte included) by its frame type, (byte >> 3) & 15: 13, 14, 16, 18, 20,
// 21, 27, 32 for the speech modes 0 ... 7, 6 for SID, 1 for NO_DATA; 0 for the types not decoded.
int frame_size(uint8_t mode_byte);

class Decoder {
public:
    static constexpr int kPcmBytes = 320;
    ~Decoder() { close(); }
    bool init();
    void close();
    // Returns kPcmBytes written to pcm, or -1 for a short frame or an unknown type (nothing written).
    int decode(const uint8_t* frame, int length, uint8_t* pcm);

private:
    void* state_ = nullptr;
};

}  // namespace amrdec
