// The compressed sound of AVI files by wave format tag (IMA and Microsoft ADPCM, G.726, GSM 6.10 and the
// rest libavcodec decodes) into interleaved 16-bit PCM of at most two channels at the stream's rate.
// Chunks of formats that libavcodec has a parser for are cut into frames by it; block formats are
// decoded block by block. PCM that does not fit the caller's buffer waits for the next call.
#pragma once
#include "codecs/libav/audio_decoder.h"

struct AVCodecContext;
struct AVCodecParserContext;

namespace adpcmdec {

class Decoder {
public:
    ~Decoder() { close_parser(); }
    // format: wave format tag | channels << 16 (channels 0 means 1).
    bool init(int format);
    // *pcm_length: in, the capacity; out, the bytes written. Returns the input bytes used (length), or
    // -1 when refused (*pcm_length 0).
    int decode(const uint8_t* data, int length, uint8_t* pcm, int* pcm_length, int bits, int block_align);

private:
    bool open(int block_align);
    void close_parser();

    int codec_id_ = 0, channels_ = 1, block_align_ = -1;
    libav::AudioDecoder audio_;
    AVCodecParserContext* parser_ = nullptr;
    AVCodecContext* parser_ctx_ = nullptr;
};

}  // namespace adpcmdec
