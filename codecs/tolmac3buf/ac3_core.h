// AC-3 decoding for tolmac3buf.dll over Debian's liba52: one sync frame per call, 16-bit PCM downmixed
// to two channels (liba52 scales the mix so that it does not clip). What does not fit the caller's
// buffer is returned by the next call.
#pragma once
#include <cstdint>
#include <vector>

struct a52_state_s;

namespace ac3dec {

constexpr int kOutputChannels = 2;

class Decoder {
public:
    ~Decoder() { close(); }
    int init();
    void close();
    // Decodes one frame (or nothing for bytes that are no whole frame) after returning what an earlier
    // call kept; *out_length = bytes written to out (at most capacity). 0, or -1 for a frame that does
    // not decode (or no decoder).
    int read(const uint8_t* frame, int length, uint8_t* out, int capacity, int* out_length);
    bool is_open() const { return state_ != nullptr; }
    int sample_rate() const { return rate_; }

private:
    a52_state_s* state_ = nullptr;
    int rate_ = 0;
    std::vector<uint8_t> pending_;
    std::vector<uint8_t> frame_;
};

}  // namespace ac3dec
