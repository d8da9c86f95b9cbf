// A libavcodec sound decoder as the sound stand-ins use it: opened by codec id with its configuration,
// one coded block in per call, interleaved signed 16-bit PCM out through libswresample, at most two
// channels. The output rate and channel count are fixed when the decoder opens (or by its first frame),
// so a stream that changes them mid-way is converted to what the caller was told.
#pragma once
#include <cstdint>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace libav {

struct AudioFormat {
    int codec_id = 0;                  // libavcodec's AVCodecID
    const uint8_t* extradata = nullptr;
    int extradata_size = 0;
    int sample_rate = 0;               // 0 when the coded data gives it
    int channels = 0;
    int block_align = 0;
    int bits_per_coded_sample = 0;
};

class AudioDecoder {
public:
    AudioDecoder() = default;
    ~AudioDecoder() { close(); }
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // out_rate and out_channels (1 or 2) are the PCM the caller gets; 0 takes them from the first
    // decoded frame (channels then at most 2).
    bool open(const AudioFormat& format, int out_rate = 0, int out_channels = 0);
    void close();
    bool is_open() const { return ctx_ != nullptr; }

    // Decodes one coded block and writes PCM to out, at most capacity bytes (whole sample frames). PCM
    // that does not fit waits and is written first by the next call. Returns the bytes written, or -1
    // when the decoder refused the data (nothing is written then).
    int decode(const uint8_t* data, int size, uint8_t* out, int capacity);
    // Writes PCM still waiting from earlier calls (bytes written).
    int take_pending(uint8_t* out, int capacity);

    int out_rate() const { return out_rate_; }
    int out_channels() const { return out_channels_; }
    int pending_bytes() const { return int(pending_.size()); }

private:
    bool convert(AVFrame* frame);

    AVCodecContext* ctx_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwrContext* swr_ = nullptr;
    int swr_in_rate_ = 0, swr_in_format_ = -1, swr_in_channels_ = 0;
    int out_rate_ = 0, out_channels_ = 0;
    std::vector<uint8_t> pending_;
};

}  // namespace libav
