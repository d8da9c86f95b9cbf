// The PCM conversion class the program links when it is built: sample-rate conversion (libswresample)
// and channel conversion of interleaved 16-bit PCM, with the resampler's state kept across calls so a
// stream cut into blocks converts exactly like the whole stream (no drift, nothing dropped).
//
// Use: pcm_init(ratio, 0, input channels, 16) -> capacity count; pcm_setch(output channels);
// pcm_setbit(16); then pcm_change for every block with an output capacity of 8 x count bytes.
#pragma once
#include <cstdint>

struct SwrContext;

class Ctolmpcmchange {
public:
    Ctolmpcmchange() = default;
    ~Ctolmpcmchange();
    Ctolmpcmchange(const Ctolmpcmchange&) = delete;
    Ctolmpcmchange& operator=(const Ctolmpcmchange&) = delete;

    // ratio = output rate / input rate (0.01 .. 100); reserved is not used; channels 1 or 2; bits 16.
    // Returns the output capacity in units of 8 bytes that holds the result of any input block of up to
    // 8192 bytes (kMaxBlockBytes), or 0 when the arguments are refused.
    int pcm_init(double ratio, int reserved, int channels, int bits);
    // Output channels, 1 (the two channels mixed) or 2 (mono copied to both). Default: the input's.
    void pcm_setch(int channels);
    // Output sample size; only 16 is supported.
    void pcm_setbit(int bits);
    // Converts length bytes of in. At most capacity bytes go to out; a result that does not fit stays in
    // the converter and comes out first in the next call. more = false ends the stream: the converter's
    // delayed samples are flushed too. Returns the bytes written (0 is possible), below 0 on failure.
    int pcm_change(const unsigned char* in, int length, unsigned char* out, int capacity, bool more);
    // Copies channel `index` of length bytes of interleaved `channels`-channel `bits`-bit PCM to out
    // (mono); returns the bytes written.
    int pcm_getch(const unsigned char* in, unsigned char* out, int length, int channels, int index, int bits);

    static constexpr int kMaxBlockBytes = 8192;

private:
    bool open();
    void release();

    SwrContext* swr_ = nullptr;
    double ratio_ = 1.0;
    int in_rate_ = 0, out_rate_ = 0;
    int in_channels_ = 0, out_channels_ = 0;
    int16_t* mixed_ = nullptr;  // input brought to the output channel count before resampling
    int mixed_capacity_ = 0;    // samples
    unsigned char* joined_ = nullptr;  // carried bytes of a split sample frame + the new block
    int joined_capacity_ = 0;
    unsigned char carry_[4] = {};      // the start of a sample frame cut by the end of the last block
    int carry_length_ = 0;
    bool dirty_ = true;         // settings changed since the converter was opened
};
