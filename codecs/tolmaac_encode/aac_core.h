// AAC LC encoding of interleaved 16-bit PCM over libavcodec's native encoder.
#pragma once
#include <cstdint>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace aacenc {

class Encoder {
public:
    ~Encoder() { close(); }
    // Opens the encoder; writes the AudioSpecificConfig (at most config_capacity bytes) and returns the
    // samples of one call over all channels (1024 x channels), or -1 on failure.
    int open(int sample_rate, int channels, int bitrate, uint8_t* config, int config_capacity, int* config_length);
    // Codes one frame of exactly frame_bytes() bytes. Returns the coded bytes (0 while the encoder fills
    // its one-frame delay), -1 on failure or when out cannot hold them. *duration = samples per channel
    // of the returned frame.
    int encode(const uint8_t* pcm, int bytes, uint8_t* out, int capacity, unsigned* duration);
    void close();
    int frame_bytes() const { return frame_samples_ * channels_ * 2; }

private:
    AVCodecContext* ctx_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    int channels_ = 0, frame_samples_ = 0;
    int64_t pts_ = 0;
};

}  // namespace aacenc
