// libavcodec's ADPCM encoders and decoders, as the independent reference for our decoders (tests and
// the benchmark): sound is encoded into packets by libavcodec and decoded by both sides.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVPacket;
struct AVFrame;

namespace av_adpcm {

using Packet = std::vector<uint8_t>;

// Encodes interleaved PCM with the named encoder ("adpcm_ima_amv", "adpcm_swf"); only whole frames of
// the encoder's frame size are encoded. Empty when the encoder refuses the format.
std::vector<Packet> encode(const char* encoder, const std::vector<int16_t>& pcm, int rate, int channels);

// A decoder kept open over many packets, as a stream is decoded.
class Decoder {
public:
    Decoder(const char* decoder, int rate, int channels);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    bool ok() const { return context_ != nullptr; }
    // The packet's samples, interleaved; empty when the decoder refuses it.
    std::vector<int16_t> decode(const Packet& packet);
    // Decodes without keeping the samples (for timing); returns the samples per channel.
    int decode_count(const Packet& packet);

private:
    AVCodecContext* context_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int channels_ = 0;
};

// A test signal: a tone (rising in pitch per channel) mixed with a share of noise, 0..1.
std::vector<int16_t> signal(int frames, int channels, int rate, double noise, unsigned seed = 1);

}  // namespace av_adpcm
