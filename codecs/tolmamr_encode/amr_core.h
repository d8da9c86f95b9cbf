// AMR-NB encoding of 8000 Hz mono 16-bit PCM over opencore-amrnb.
#pragma once
#include <cstdint>

namespace amrenc {

// The encoder's mode for a mode value of the program (475 ... 122), or -1 when unknown.
int mode_of(int value);

class Encoder {
public:
    ~Encoder() { close(); }
    // Returns 0, or -1 for an unknown mode value or a failed start.
    int open(int mode_value);
    // Codes every whole 160-sample frame of pcm (bytes / 320 frames); returns the coded bytes, -1 when
    // not open or out cannot hold them. *frames = the frames coded.
    int encode(const uint8_t* pcm, int bytes, uint8_t* out, int capacity, int* frames);
    void close();
    static constexpr int kFrameBytes = 320;     // 160 samples in
    static constexpr int kMaxCodedFrame = 32;   // bytes out, mode byte included

private:
    void* state_ = nullptr;
    int mode_ = 0;
};

}  // namespace amrenc
