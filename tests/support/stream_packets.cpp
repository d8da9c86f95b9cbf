#include "stream_packets.h"
#include "media_check.h"
#include "signal_check.h"
#include <algorithm>
#include <fstream>
extern "C" {
#include <libavformat/avformat.h>
}

namespace media_test {

std::vector<StoredPacket> demux_packets(const std::string& path, const char* format, bool raw) {
    std::vector<StoredPacket> packets;
    AVFormatContext* ctx = avformat_alloc_context();
    if (!ctx) return packets;
    if (raw) ctx->flags |= AVFMT_FLAG_NOPARSE;
    const AVInputFormat* forced = format ? av_find_input_format(format) : nullptr;
    if (avformat_open_input(&ctx, path.c_str(), forced, nullptr) < 0) return packets;
    AVPacket* pkt = av_packet_alloc();
    while (pkt && av_read_frame(ctx, pkt) >= 0) {
        const AVStream* st = ctx->streams[pkt->stream_index];
        StoredPacket p;
        p.stream = pkt->stream_index;
        p.video = st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        p.audio = st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
        p.pos = pkt->pos;
        int64_t ts = pkt->dts != AV_NOPTS_VALUE ? pkt->dts : pkt->pts;
        p.dts_ms = ts == AV_NOPTS_VALUE ? 0 : av_rescale_q(ts, st->time_base, AVRational{1, 1000});
        p.key = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
        p.data.assign(pkt->data, pkt->data + pkt->size);
        packets.push_back(std::move(p));
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&ctx);
    return packets;
}

namespace {
std::vector<StoredPacket> first_of(std::vector<StoredPacket> all, bool video) {
    std::vector<StoredPacket> out;
    int stream = -1;
    for (StoredPacket& p : all) {
        if (video ? !p.video : !p.audio) continue;
        if (stream < 0) stream = p.stream;
        if (p.stream == stream) out.push_back(std::move(p));
    }
    return out;
}
}  // namespace

std::vector<StoredPacket> video_packets(const std::string& path, const char* format, bool raw) {
    return first_of(demux_packets(path, format, raw), true);
}

std::vector<StoredPacket> audio_packets(const std::string& path, const char* format, bool raw) {
    return first_of(demux_packets(path, format, raw), false);
}

namespace {
std::vector<uint8_t> first_extradata(const std::string& path, AVMediaType type) {
    std::vector<uint8_t> extradata;
    AVFormatContext* ctx = nullptr;
    if (avformat_open_input(&ctx, path.c_str(), nullptr, nullptr) < 0) return extradata;
    // Some formats (FLV) carry the configuration in their first packets.
    avformat_find_stream_info(ctx, nullptr);
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        const AVCodecParameters* par = ctx->streams[i]->codecpar;
        if (par->codec_type == type) {
            if (par->extradata) extradata.assign(par->extradata, par->extradata + par->extradata_size);
            break;
        }
    }
    avformat_close_input(&ctx);
    return extradata;
}
}  // namespace

std::vector<uint8_t> video_extradata(const std::string& path) { return first_extradata(path, AVMEDIA_TYPE_VIDEO); }
std::vector<uint8_t> audio_extradata(const std::string& path) { return first_extradata(path, AVMEDIA_TYPE_AUDIO); }

PictureComparison compare_with_ffmpeg(const std::string& path, int width, int height,
                                      const std::function<int(const uint8_t*, int, uint8_t*, int)>& decode) {
    PictureComparison result;
    std::vector<std::vector<uint8_t>> reference = media_check::decode_pictures(path, width, height);
    result.reference = int(reference.size());
    const int bytes = signal_check::stride_of(width) * height;
    std::vector<uint8_t> out(static_cast<size_t>(bytes));
    result.worst_psnr = 1000;
    for (const StoredPacket& p : video_packets(path)) {
        int n = decode(p.data.data(), int(p.data.size()), out.data(), bytes);
        if (n <= 0) continue;
        if (n != bytes || result.pictures >= result.reference) {
            result.worst_psnr = 0;
        } else {
            result.worst_psnr =
                std::min(result.worst_psnr, signal_check::psnr(reference[size_t(result.pictures)], out, width, height));
        }
        ++result.pictures;
    }
    if (result.pictures == 0) result.worst_psnr = 0;
    return result;
}

std::vector<uint8_t> file_bytes(const std::string& path, int64_t pos, int64_t size) {
    std::vector<uint8_t> bytes(size_t(size > 0 ? size : 0));
    std::ifstream in(path, std::ios::binary);
    in.seekg(pos);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (in.gcount() != std::streamsize(bytes.size())) bytes.clear();
    return bytes;
}

}  // namespace media_test
