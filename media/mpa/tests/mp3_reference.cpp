#include "media/mpa/tests/mp3_reference.h"
#include <algorithm>
#include "media/mpa/mpadec.h"
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace mpa_reference {

namespace {

void take_frame(const AVFrame* f, FloatPcm* out) {
    const int ch = f->ch_layout.nb_channels;
    out->channels = ch;
    out->rate = f->sample_rate;
    const size_t base = out->samples.size();
    out->samples.resize(base + size_t(f->nb_samples) * ch);
    for (int i = 0; i < f->nb_samples; ++i)
        for (int c = 0; c < ch; ++c) {
            float v;
            if (f->format == AV_SAMPLE_FMT_FLTP) v = reinterpret_cast<const float*>(f->extended_data[c])[i];
            else if (f->format == AV_SAMPLE_FMT_FLT) v = reinterpret_cast<const float*>(f->extended_data[0])[i * ch + c];
            else if (f->format == AV_SAMPLE_FMT_S16P) v = reinterpret_cast<const int16_t*>(f->extended_data[c])[i] / 32768.0f;
            else v = reinterpret_cast<const int16_t*>(f->extended_data[0])[i * ch + c] / 32768.0f;
            out->samples[base + size_t(i) * ch + c] = v;
        }
}

void drain(AVCodecContext* ctx, AVFrame* frame, FloatPcm* out) {
    while (avcodec_receive_frame(ctx, frame) == 0) take_frame(frame, out);
}

}  // namespace

FloatPcm decode_with_libav(const std::vector<uint8_t>& stream, const char* decoder) {
    FloatPcm out;
    const AVCodec* codec = avcodec_find_decoder_by_name(decoder);
    if (!codec) return out;
    AVCodecParserContext* parser = av_parser_init(codec->id);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    if (parser && ctx && packet && frame && avcodec_open2(ctx, codec, nullptr) == 0) {
        std::vector<uint8_t> padded(stream);
        padded.resize(stream.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
        const uint8_t* p = padded.data();
        int left = int(stream.size());
        while (left > 0) {
            uint8_t* data = nullptr;
            int size = 0;
            const int used = av_parser_parse2(parser, ctx, &data, &size, p, left, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
            if (used < 0) break;
            p += used;
            left -= used;
            if (size > 0) {
                packet->data = data;
                packet->size = size;
                if (avcodec_send_packet(ctx, packet) == 0) drain(ctx, frame, &out);
            }
        }
        uint8_t* data = nullptr;
        int size = 0;
        av_parser_parse2(parser, ctx, &data, &size, nullptr, 0, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (size > 0) {
            packet->data = data;
            packet->size = size;
            if (avcodec_send_packet(ctx, packet) == 0) drain(ctx, frame, &out);
        }
        avcodec_send_packet(ctx, nullptr);
        drain(ctx, frame, &out);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&ctx);
    if (parser) av_parser_close(parser);
    return out;
}

Pcm16 decode_with_mpadec(const std::vector<uint8_t>& stream, int piece, int downsample, int mono) {
    Pcm16 out;
    mpadec_t h = nullptr;
    if (mpadec_create(&h, downsample, 0, mono, 1) != MPADEC_OK) return out;
    std::vector<uint8_t> pcm(1152 * 2 * 2);
    size_t pos = 0;
    bool ended = false;
    for (;;) {
        uint32_t written = 0;
        const uint32_t status = mpadec_decode(h, pcm.data(), uint32_t(pcm.size()), &written);
        if (written > 0) {
            MpaFrameInfo info;
            mpadec_get_info(h, &info);
            out.channels = info.output_channels;
            out.rate = info.output_rate;
            ++out.frames;
            out.silent += info.silence;
            out.crc_cleared += info.crc_cleared;
            const int16_t* s = reinterpret_cast<const int16_t*>(pcm.data());
            out.samples.insert(out.samples.end(), s, s + written / 2);
            continue;
        }
        if (status == MPADEC_END) break;
        if (status == MPADEC_SYNC_LOST) continue;
        if (pos < stream.size()) {
            uint32_t taken = 0;
            const uint32_t n = uint32_t(std::min<size_t>(size_t(piece), stream.size() - pos));
            mpadec_feed(h, stream.data() + pos, n, &taken);
            pos += taken;
        } else if (!ended) {
            uint32_t taken = 0;
            mpadec_feed(h, nullptr, 0, &taken);
            ended = true;
        } else {
            break;
        }
    }
    mpadec_destroy(h);
    return out;
}

}  // namespace mpa_reference
