#include "codecs/libav/demuxer.h"
#include <cstring>
extern "C" {
#include <libavformat/avformat.h>
}

namespace libav {

namespace {
StreamType type_of(AVMediaType type) {
    if (type == AVMEDIA_TYPE_VIDEO) return StreamType::kVideo;
    if (type == AVMEDIA_TYPE_AUDIO) return StreamType::kAudio;
    if (type == AVMEDIA_TYPE_SUBTITLE) return StreamType::kText;
    return StreamType::kOther;
}

double seconds(int64_t ts, AVRational tb) {
    if (ts == AV_NOPTS_VALUE || tb.den == 0) return 0;
    return double(ts) * tb.num / tb.den;
}

// Where a demuxer's packets start relative to the position it reports (some report a chunk header).
constexpr int kPayloadOffsets[] = {0, 8, 12, 16};
}  // namespace

bool Demuxer::open(const std::string& path, const char* format_name, bool raw_packets, bool analyse) {
    close();
    const AVInputFormat* format = format_name ? av_find_input_format(format_name) : nullptr;
    if (format_name && !format) return false;
    ctx_ = avformat_alloc_context();
    if (!ctx_) return false;
    if (raw_packets) ctx_->flags |= AVFMT_FLAG_NOPARSE;
    if (avformat_open_input(&ctx_, path.c_str(), format, nullptr) < 0) {
        ctx_ = nullptr;  // freed by avformat_open_input
        return false;
    }
    file_size_ = ctx_->pb ? avio_size(ctx_->pb) : -1;
    if (file_size_ <= 0 || (analyse && avformat_find_stream_info(ctx_, nullptr) < 0)) {
        close();
        return false;
    }
    for (unsigned i = 0; i < ctx_->nb_streams; ++i) {
        const AVStream* st = ctx_->streams[i];
        const AVCodecParameters* par = st->codecpar;
        StreamInfo info;
        info.type = type_of(par->codec_type);
        info.codec_id = par->codec_id;
        info.codec_tag = par->codec_tag;
        info.width = par->width;
        info.height = par->height;
        info.pixel_format = info.type == StreamType::kVideo ? par->format : -1;
        info.sample_rate = par->sample_rate;
        info.channels = par->ch_layout.nb_channels;
        info.block_align = par->block_align;
        info.bits_per_coded_sample = par->bits_per_coded_sample;
        info.bit_rate = par->bit_rate;
        info.time_base_num = st->time_base.num;
        info.time_base_den = st->time_base.den;
        if (st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0) info.frame_rate = av_q2d(st->avg_frame_rate);
        info.duration_s = seconds(st->duration, st->time_base);
        if (par->extradata && par->extradata_size > 0)
            info.extradata.assign(par->extradata, par->extradata + par->extradata_size);
        streams_.push_back(std::move(info));
    }
    return true;
}

void Demuxer::close() {
    if (ctx_) avformat_close_input(&ctx_);
    streams_.clear();
    file_size_ = 0;
}

int Demuxer::first_stream(StreamType type) const {
    for (size_t i = 0; i < streams_.size(); ++i)
        if (streams_[i].type == type) return int(i);
    return -1;
}

std::vector<Sample> Demuxer::index(int stream) const {
    std::vector<Sample> samples;
    if (!ctx_ || stream < 0 || stream >= int(ctx_->nb_streams)) return samples;
    AVStream* st = ctx_->streams[stream];
    int n = avformat_index_get_entries_count(st);
    samples.reserve(size_t(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i) {
        const AVIndexEntry* e = avformat_index_get_entry(st, i);
        if (!e) break;
        Sample s;
        s.stream = stream;
        s.pos = e->pos;
        s.size = e->size;
        s.dts = e->timestamp;
        s.key = (e->flags & AVINDEX_KEYFRAME) != 0;
        samples.push_back(s);
    }
    return samples;
}

std::vector<Sample> Demuxer::scan() {
    std::vector<Sample> packets;
    if (!ctx_) return packets;
    std::vector<int> offset(ctx_->nb_streams, -1);  // payload offset per stream, -1 unknown, -2 none fits
    std::vector<uint8_t> stored;
    AVPacket* pkt = av_packet_alloc();
    if (!pkt) return packets;
    while (av_read_frame(ctx_, pkt) >= 0) {
        int s = pkt->stream_index;
        if (s >= 0 && s < int(offset.size()) && pkt->pos >= 0 && pkt->size > 0) {
            if (offset[size_t(s)] == -1) {
                // The first packet of a stream shows where the demuxer's positions point.
                offset[size_t(s)] = -2;
                stored.resize(size_t(pkt->size));
                for (int k : kPayloadOffsets) {
                    if (read_at(pkt->pos + k, stored.data(), pkt->size) &&
                        memcmp(stored.data(), pkt->data, size_t(pkt->size)) == 0) {
                        offset[size_t(s)] = k;
                        break;
                    }
                }
            }
            if (offset[size_t(s)] >= 0) {
                Sample sample;
                sample.stream = s;
                sample.pos = pkt->pos + offset[size_t(s)];
                sample.size = pkt->size;
                sample.dts = pkt->dts != AV_NOPTS_VALUE ? pkt->dts : pkt->pts;
                sample.key = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
                packets.push_back(sample);
            }
        }
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    return packets;
}

bool Demuxer::read_at(int64_t pos, uint8_t* out, int size) {
    if (!ctx_ || !ctx_->pb || !out || size < 0 || pos < 0) return false;
    if (pos > file_size_ || int64_t(size) > file_size_ - pos) return false;
    if (size == 0) return true;
    // The demuxer reads on from where it was, so its position is put back.
    const int64_t back = avio_tell(ctx_->pb);
    bool ok = avio_seek(ctx_->pb, pos, SEEK_SET) == pos && avio_read(ctx_->pb, out, size) == size;
    avio_seek(ctx_->pb, back, SEEK_SET);
    return ok;
}

int64_t Demuxer::to_ms(int stream, int64_t ts) const {
    if (stream < 0 || stream >= int(streams_.size()) || ts == AV_NOPTS_VALUE) return 0;
    const StreamInfo& info = streams_[size_t(stream)];
    return av_rescale_q(ts, AVRational{info.time_base_num, info.time_base_den}, AVRational{1, 1000});
}

}  // namespace libav
