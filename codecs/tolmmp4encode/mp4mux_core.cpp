#include "mp4mux_core.h"
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace mp4mux {

bool h263_is_intra(const uint8_t* d, int n) {
    // Picture start code (22 bits), temporal reference (8), then PTYPE; bits counted from the start.
    auto bit = [&](int i) { return i / 8 < n ? (d[i / 8] >> (7 - i % 8)) & 1 : 0; };
    auto bits = [&](int i, int count) {
        int v = 0;
        for (int k = 0; k < count; ++k) v = (v << 1) | bit(i + k);
        return v;
    };
    if (n < 5 || bits(0, 22) != 0x20) return false;
    const int format = bits(35, 3);
    if (format != 7) return bit(38) == 0;  // picture coding type: 0 intra
    // PLUSPTYPE: UFEP (3 bits), the optional part when UFEP is 1 (18 bits), then the picture type.
    const int ufep = bits(38, 3);
    const int type_at = 41 + (ufep == 1 ? 18 : 0);
    return bits(type_at, 3) == 0;
}

std::vector<uint8_t> mpeg4_config(const uint8_t* d, int n) {
    for (int i = 0; i + 3 < n; ++i)
        if (d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1 && d[i + 3] == 0xB6) return std::vector<uint8_t>(d, d + i);
    return {};
}

std::vector<uint8_t> annexb_to_length_prefixed(const uint8_t* d, int n) {
    std::vector<uint8_t> out;
    auto start_code_at = [&](int i) { return i + 2 < n && d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1; };
    int i = 0;
    while (i < n && !start_code_at(i)) ++i;
    while (i < n) {
        const int begin = i + 3;
        int end = begin;
        while (end < n && !start_code_at(end)) ++end;
        int last = end;
        while (last > begin && d[last - 1] == 0) --last;  // zeros of the next start code
        if (last > begin) {
            const int type = d[begin] & 31;
            if (type != 7 && type != 8 && type != 9) {
                const uint32_t size = last - begin;
                const uint8_t prefix[4] = {uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)};
                out.insert(out.end(), prefix, prefix + 4);
                out.insert(out.end(), d + begin, d + last);
            }
        }
        i = end;
    }
    return out;
}

std::vector<uint8_t> avcc(const std::vector<uint8_t>& sps, const std::vector<uint8_t>& pps) {
    if (sps.size() < 4 || pps.empty() || sps.size() > 0xFFFF || pps.size() > 0xFFFF) return {};
    std::vector<uint8_t> out = {1, sps[1], sps[2], sps[3], 0xFF, 0xE1, uint8_t(sps.size() >> 8), uint8_t(sps.size())};
    out.insert(out.end(), sps.begin(), sps.end());
    out.push_back(1);
    out.push_back(uint8_t(pps.size() >> 8));
    out.push_back(uint8_t(pps.size()));
    out.insert(out.end(), pps.begin(), pps.end());
    return out;
}

int Muxer::init(const std::string& unix_path, int container) {
    std::lock_guard<std::mutex> hold(lock_);
    discard();
    if (container != int(Container::Mp4) && container != int(Container::ThreeGp)) return -1;
    // Never overwrite: the name must be new. The file is claimed now and written once the tracks are known.
    int fd = ::open(unix_path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return -1;
    ::close(fd);
    path_ = unix_path;
    container_ = Container(container);
    open_ = true;
    return 0;
}

int Muxer::add_video(int codec, int width, int height) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || header_ || video_ != VideoCodec::None || width <= 0 || height <= 0) return -1;
    if (codec == 1) video_ = VideoCodec::H263;
    else if (codec == 2) video_ = VideoCodec::Mpeg4;
    else return -1;
    width_ = width;
    height_ = height;
    return 0;
}

int Muxer::add_audio(int codec, int sample_rate, int channels) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || header_ || audio_ != AudioCodec::None) return -1;
    if (codec == 1) {  // AMR-NB is 8000 Hz mono whatever is asked
        audio_ = AudioCodec::AmrNb;
        sample_rate_ = 8000;
        channels_ = 1;
        return 0;
    }
    if (codec == 2 && sample_rate >= 8000 && sample_rate <= 96000 && (channels == 1 || channels == 2)) {
        audio_ = AudioCodec::Aac;
        sample_rate_ = sample_rate;
        channels_ = channels;
        return 0;
    }
    return -1;
}

int Muxer::set_audio_config(const uint8_t* config, int length) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || header_ || audio_ != AudioCodec::Aac || !config || length <= 0 || length > 64) return -1;
    audio_config_.assign(config, config + length);
    return 0;
}

int Muxer::set_audio_delay(int samples) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || header_ || audio_ == AudioCodec::None || samples < 0 || samples > sample_rate_) return -1;
    audio_delay_ = samples;
    return 0;
}

int Muxer::add_h264(int width, int height) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || header_ || video_ != VideoCodec::None || width <= 0 || height <= 0) return -1;
    video_ = VideoCodec::H264;
    width_ = width;
    height_ = height;
    return 0;
}

int Muxer::set_h264_pps(const uint8_t* pps, int length) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || header_ || video_ != VideoCodec::H264 || !pps || length <= 0 || length > 1024) return -1;
    pps_.assign(pps, pps + length);
    return 0;
}

int Muxer::set_h264_sps(const uint8_t* sps, int length) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || header_ || video_ != VideoCodec::H264 || !sps || length < 4 || length > 1024) return -1;
    sps_.assign(sps, sps + length);
    return 0;
}

bool Muxer::write_header() {
    // libavformat's MP4 writer has no H.263 entry; its 3GP writer stores H.263 and AAC in the same box
    // layout, so an MP4 with H.263 is written by it under the MP4 brand.
    const bool three_gp_writer = container_ == Container::ThreeGp || video_ == VideoCodec::H263;
    if (avformat_alloc_output_context2(&oc_, nullptr, three_gp_writer ? "3gp" : "mp4", path_.c_str()) < 0) return false;
    if (avio_open(&oc_->pb, path_.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    if (video_ != VideoCodec::None) {
        AVStream* st = avformat_new_stream(oc_, nullptr);
        if (!st) return false;
        st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        st->codecpar->codec_id = video_ == VideoCodec::H263    ? AV_CODEC_ID_H263
                                 : video_ == VideoCodec::Mpeg4 ? AV_CODEC_ID_MPEG4
                                                               : AV_CODEC_ID_H264;
        st->codecpar->width = width_;
        st->codecpar->height = height_;
        st->time_base = AVRational{1, video_ == VideoCodec::H264 ? 90000 : 1000};
        std::vector<uint8_t> config = video_ == VideoCodec::H264 ? avcc(sps_, pps_) : video_config_;
        if (!config.empty()) {
            st->codecpar->extradata = static_cast<uint8_t*>(av_mallocz(config.size() + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!st->codecpar->extradata) return false;
            memcpy(st->codecpar->extradata, config.data(), config.size());
            st->codecpar->extradata_size = (int)config.size();
        }
        video_stream_ = st->index;
    }
    if (audio_ != AudioCodec::None) {
        AVStream* st = avformat_new_stream(oc_, nullptr);
        if (!st) return false;
        st->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
        st->codecpar->codec_id = audio_ == AudioCodec::AmrNb ? AV_CODEC_ID_AMR_NB : AV_CODEC_ID_AAC;
        st->codecpar->sample_rate = sample_rate_;
        av_channel_layout_default(&st->codecpar->ch_layout, channels_);
        st->codecpar->frame_size = audio_ == AudioCodec::Aac ? 1024 : 160;
        st->time_base = AVRational{1, sample_rate_};
        if (!audio_config_.empty()) {
            st->codecpar->extradata = static_cast<uint8_t*>(av_mallocz(audio_config_.size() + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!st->codecpar->extradata) return false;
            memcpy(st->codecpar->extradata, audio_config_.data(), audio_config_.size());
            st->codecpar->extradata_size = (int)audio_config_.size();
        }
        audio_stream_ = st->index;
    }
    AVDictionary* options = nullptr;
    if (three_gp_writer && container_ == Container::Mp4) av_dict_set(&options, "brand", "mp42", 0);
    const bool written = oc_->nb_streams > 0 && avformat_write_header(oc_, &options) >= 0;
    av_dict_free(&options);
    if (!written) return false;
    header_ = true;
    audio_time_ = -int64_t(audio_delay_);
    for (const Pending& p : pending_audio_) {
        if (!write(audio_stream_, p.data.data(), (int)p.data.size(), audio_time_, p.duration, true)) return false;
        audio_time_ += p.duration;
    }
    pending_audio_.clear();
    return true;
}

bool Muxer::write(int stream, const uint8_t* data, int length, int64_t time, int duration, bool key) {
    AVPacket* pkt = av_packet_alloc();
    if (!pkt || av_new_packet(pkt, length) < 0) {
        av_packet_free(&pkt);
        return false;
    }
    memcpy(pkt->data, data, length);
    pkt->stream_index = stream;
    pkt->pts = pkt->dts = time;
    pkt->duration = duration;
    if (key) pkt->flags |= AV_PKT_FLAG_KEY;
    const AVRational own = stream == video_stream_
                               ? AVRational{1, video_ == VideoCodec::H264 ? 90000 : 1000}
                               : AVRational{1, sample_rate_};
    av_packet_rescale_ts(pkt, own, oc_->streams[stream]->time_base);
    int r = av_interleaved_write_frame(oc_, pkt);
    av_packet_free(&pkt);
    return r >= 0;
}

int Muxer::video(int kind, const uint8_t* data, int length, int duration) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || failed_ || video_ == VideoCodec::None || !data || length <= 0 || duration < 0) return -1;
    bool key;
    if (video_ == VideoCodec::H263) {
        key = h263_is_intra(data, length);
    } else {
        key = kind == 2;
    }
    if (!header_) {
        // Decoding starts at a key picture; its headers are the MPEG-4 decoder configuration.
        if (!key) return -1;
        if (video_ == VideoCodec::Mpeg4) video_config_ = mpeg4_config(data, length);
        if (video_ == VideoCodec::H264 && (sps_.empty() || pps_.empty())) return -1;
        if (!write_header()) {
            failed_ = true;
            return -1;
        }
    }
    bool ok;
    if (video_ == VideoCodec::H264) {
        std::vector<uint8_t> sample = annexb_to_length_prefixed(data, length);
        if (sample.empty()) return -1;
        ok = write(video_stream_, sample.data(), (int)sample.size(), video_time_, duration, key);
    } else {
        ok = write(video_stream_, data, length, video_time_, duration, key);
    }
    video_time_ += duration;
    if (!ok) failed_ = true;
    return ok ? 0 : -1;
}

// Bytes of an AMR-NB frame in storage form by its mode (first byte bits 3..6); 0 for a bad mode.
static int amr_frame_bytes(uint8_t first) {
    static const int kBytes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 0, 0, 0, 0, 0, 0, 1};
    return kBytes[(first >> 3) & 15];
}

int Muxer::audio(const uint8_t* data, int length, int duration) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || failed_ || audio_ == AudioCodec::None || !data || length <= 0 || duration < 0) return -1;
    // The file holds AMR one frame a sample (20 ms, 160 samples); a block of several frames is split.
    std::vector<Pending> blocks;
    if (audio_ == AudioCodec::AmrNb) {
        for (int pos = 0; pos < length;) {
            int n = amr_frame_bytes(data[pos]);
            if (n == 0 || pos + n > length) break;  // not AMR-NB: the rest is dropped
            blocks.push_back({std::vector<uint8_t>(data + pos, data + pos + n), 160});
            pos += n;
        }
        if (blocks.empty()) return -1;
    } else {
        blocks.push_back({std::vector<uint8_t>(data, data + length), duration});
    }
    for (Pending& block : blocks) {
        if (!header_) {
            pending_audio_.push_back(std::move(block));
            continue;
        }
        if (!write(audio_stream_, block.data.data(), (int)block.data.size(), audio_time_, block.duration, true))
            failed_ = true;
        audio_time_ += block.duration;
    }
    return failed_ ? -1 : 0;
}

int Muxer::close() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_) return -1;
    bool ok = !failed_;
    if (ok && !header_ && (video_ != VideoCodec::None || audio_ != AudioCodec::None)) ok = write_header();
    if (header_) ok = av_write_trailer(oc_) >= 0 && ok;
    const bool empty = !header_;
    const std::string path = path_;
    discard();
    if (empty) ::unlink(path.c_str());  // nothing was written: the claimed name is given back
    return ok ? 0 : -1;
}

void Muxer::discard() {
    if (oc_) {
        avio_closep(&oc_->pb);
        avformat_free_context(oc_);
    }
    oc_ = nullptr;
    open_ = header_ = failed_ = false;
    video_ = VideoCodec::None;
    audio_ = AudioCodec::None;
    width_ = height_ = sample_rate_ = channels_ = 0;
    video_config_.clear();
    sps_.clear();
    pps_.clear();
    audio_config_.clear();
    audio_delay_ = 0;
    video_stream_ = audio_stream_ = -1;
    video_time_ = audio_time_ = 0;
    pending_audio_.clear();
}

}  // namespace mp4mux
