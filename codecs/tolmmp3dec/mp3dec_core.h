// MPEG audio layers I, II and III decoding for tolmmp3dec.dll over libavcodec's "mp1", "mp2" and "mp3"
// decoders, picked by the layer of the frame the stream is opened with. Output is interleaved 16-bit
// PCM with the stream's channels; what does not fit the caller's buffer is returned by the next call.
#pragma once
#include <cstdint>
#include <vector>
#include "codecs/tolmmp3dec/mp3_frame_table.h"

struct AVCodecContext;
struct AVPacket;
struct AVFrame;

namespace mp3dec {

class Decoder {
public:
    ~Decoder() { close(); }
    // Forgets the stream (and any PCM not yet returned).
    void init();
    // Opens the decoder for the layer of this frame's header; 0, or -1 for no MPEG audio header.
    int open(const uint8_t* first_frame);
    // Decodes count frames of the table after returning what an earlier call kept; returns the PCM bytes
    // written to pcm (at most capacity). Frames with a length outside 1..1600 are skipped.
    int play(const Mp3FrameRecord* table, int count, uint8_t* pcm, int capacity);
    void close();

    int layer() const { return layer_; }
    int channels() const { return channels_; }
    int sample_rate() const { return rate_; }
    size_t pending() const { return pending_.size(); }

private:
    void decode(const uint8_t* frame, int length);
    void take(const AVFrame* f);

    AVCodecContext* context_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int layer_ = 0;
    int channels_ = 0;
    int rate_ = 0;
    std::vector<uint8_t> pending_;
    std::vector<uint8_t> padded_;
};

}  // namespace mp3dec
