#include "codecs/tolmadpcmdecode/adpcm_core.h"
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace adpcmdec {

namespace {
// The rate the decoders are told: the wave format tag does not carry one, and the PCM is handed out at
// the stream's own rate (no conversion), which the caller knows from the file.
constexpr int kNominalRate = 44100;
// The ADPCM formats' usual code size when the tag alone is known.
constexpr int kBitsPerCode = 4;
bool has_parser(int codec_id) {
    void* state = nullptr;
    while (const AVCodecParser* p = av_parser_iterate(&state))
        for (int id : p->codec_ids)
            if (id == codec_id) return true;
    return false;
}
}  // namespace

bool Decoder::init(int format) {
    close_parser();
    audio_.close();
    block_align_ = -1;
    const int tag = format & 0xFFFF;
    channels_ = (format >> 16) & 0xFFFF;
    if (channels_ == 0) channels_ = 1;
    if (channels_ > 8) return false;
    const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
    AVCodecID id = av_codec_get_id(tables, unsigned(tag));
    const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
    if (!codec || codec->type != AVMEDIA_TYPE_AUDIO) return false;
    codec_id_ = id;
    return true;
}

void Decoder::close_parser() {
    if (parser_) av_parser_close(parser_);
    parser_ = nullptr;
    if (parser_ctx_) avcodec_free_context(&parser_ctx_);
}

bool Decoder::open(int block_align) {
    close_parser();
    libav::AudioFormat format;
    format.codec_id = codec_id_;
    // Formats cut into frames by a parser (MPEG audio, AC-3, GSM ...) carry their rate in their frames;
    // a nominal rate given to them is taken as the output rate and their sound resampled to it.
    const bool framed = has_parser(codec_id_);
    format.sample_rate = framed ? 0 : kNominalRate;
    format.channels = channels_;
    format.block_align = block_align;
    format.bits_per_coded_sample = kBitsPerCode;
    if (!audio_.open(format)) return false;
    parser_ = av_parser_init(codec_id_);
    if (parser_) {
        parser_ctx_ = avcodec_alloc_context3(nullptr);
        if (!parser_ctx_) return false;
        parser_ctx_->codec_type = AVMEDIA_TYPE_AUDIO;
        parser_ctx_->codec_id = AVCodecID(codec_id_);
        parser_ctx_->sample_rate = kNominalRate;
        av_channel_layout_default(&parser_ctx_->ch_layout, channels_);
        parser_ctx_->block_align = block_align;
    }
    block_align_ = block_align;
    return true;
}

int Decoder::decode(const uint8_t* data, int length, uint8_t* pcm, int* pcm_length, int bits, int block_align) {
    if (!pcm_length) return -1;
    const int capacity = *pcm_length;
    *pcm_length = 0;
    if (codec_id_ == 0 || !data || length <= 0 || !pcm || capacity < 0 || bits != 16) return -1;
    if (block_align != block_align_ && !open(block_align)) return -1;
    int written = audio_.take_pending(pcm, capacity);
    bool refused = false;
    auto decode_packet = [&](const uint8_t* p, int n) {
        int made = audio_.decode(p, n, pcm + written, capacity - written);
        if (made < 0) refused = true;
        else written += made;
    };
    if (!parser_) {
        decode_packet(data, length);
    } else {
        const uint8_t* in = data;
        int left = length;
        while (left > 0) {
            uint8_t* frame = nullptr;
            int frame_size = 0;
            int used = av_parser_parse2(parser_, parser_ctx_, &frame, &frame_size, in, left, AV_NOPTS_VALUE,
                                        AV_NOPTS_VALUE, 0);
            if (used < 0) {
                refused = true;
                break;
            }
            in += used;
            left -= used;
            if (frame_size > 0) decode_packet(frame, frame_size);
            if (used == 0 && frame_size == 0) break;
        }
    }
    *pcm_length = written;
    return refused && written == 0 ? -1 : length;
}

}  // namespace adpcmdec
