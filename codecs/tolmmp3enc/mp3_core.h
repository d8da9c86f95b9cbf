// MP3 encoding of interleaved 16-bit PCM over libmp3lame; output is always whole frames.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mp3enc {

enum class RateMode { Constant, Average, Variable };

struct Settings {
    int sample_rate = 44100;
    int channels = 2;         // 1 mono, 2 joint stereo
    RateMode mode = RateMode::Constant;
    int kbps = 128;           // constant rate
    int average_kbps = 128;   // average rate
    int quality = 4;          // variable rate: 0 best .. 9
    int min_kbps = 32, max_kbps = 320;
};

// Copies the whole MPEG audio frames found in `length` coded bytes to out, one after another; bytes
// before or between frame headers are dropped and a frame cut off at the end is left. *consumed gets
// the bytes dealt with. Returns the bytes written, or -1 (nothing consumed) when they exceed capacity.
int extract_frames(const uint8_t* bytes, size_t length, uint8_t* out, int capacity, size_t* consumed);

class Encoder {
public:
    ~Encoder() { close(); }
    // Returns 0 and the samples per call (all channels) and the output capacity every call needs; -1 on failure.
    int open(const Settings& settings, int* frame_samples, int* output_size);
    // Codes samples interleaved values; returns the bytes of the whole frames now complete (-1 on failure).
    int encode(const int16_t* pcm, int samples, uint8_t* out);
    // Flushes the encoder: returns the bytes of the last frames and closes.
    int finish(uint8_t* out);
    // The Xing/LAME frame of a finished variable-rate stream; 0 when none.
    int info_frame(uint8_t* out, int capacity) const;
    void close();

private:
    int take_frames(uint8_t* out);

    void* lame_ = nullptr;  // lame_global_flags*
    int channels_ = 0, output_size_ = 0;
    std::vector<uint8_t> pending_;  // coded bytes not yet forming a whole frame
    std::vector<uint8_t> info_;
};

// Length of the MPEG audio layer III frame whose header starts at p, or 0 when p is no frame header.
int frame_length(const uint8_t* p);

}  // namespace mp3enc
