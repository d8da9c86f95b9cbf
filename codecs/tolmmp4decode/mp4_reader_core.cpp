#include "codecs/tolmmp4decode/mp4_reader_core.h"
#include <algorithm>
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace mp4reader {

namespace {

bool readable(const libav::Sample& s, int64_t file_size) {
    return s.pos >= 0 && s.size > 0 && s.size <= kMaxSample && s.pos <= file_size - s.size;
}

void four_cc(uint32_t tag, char* out) {
    for (int i = 0; i < 4; ++i) {
        char c = char((tag >> (8 * i)) & 0xFF);
        out[i] = c >= 32 && c < 127 ? c : ' ';
    }
    out[4] = 0;
}

const char* handler_of(libav::StreamType type) {
    switch (type) {
    case libav::StreamType::kVideo: return "vide";
    case libav::StreamType::kAudio: return "soun";
    case libav::StreamType::kText: return "text";
    default: return "data";
    }
}

VideoCodec video_of(int codec_id) {
    switch (codec_id) {
    case AV_CODEC_ID_H263: return kH263;
    case AV_CODEC_ID_MPEG4: return kMpeg4;
    case AV_CODEC_ID_H264: return kH264;
    default: return kNoVideo;
    }
}

AudioCodec audio_of(int codec_id) {
    switch (codec_id) {
    case AV_CODEC_ID_AMR_NB: return kAmrNb;
    case AV_CODEC_ID_AMR_WB: return kAmrWb;
    case AV_CODEC_ID_AAC:
    case AV_CODEC_ID_MP3:
    case AV_CODEC_ID_MP2:
    case AV_CODEC_ID_MP1: return kMp4a;
    default: return kNoAudio;
    }
}

}  // namespace

std::vector<uint8_t> avcc_to_annex_b(const std::vector<uint8_t>& avcc, size_t capacity) {
    std::vector<uint8_t> out;
    if (avcc.size() < 7 || avcc[0] != 1) return out;
    size_t pos = 5;
    for (int list = 0; list < 2; ++list) {
        if (pos >= avcc.size()) return {};
        int count = avcc[pos++] & (list == 0 ? 0x1F : 0xFF);
        for (int i = 0; i < count; ++i) {
            if (pos + 2 > avcc.size()) return {};
            size_t n = size_t(avcc[pos]) << 8 | avcc[pos + 1];
            pos += 2;
            if (n == 0 || n > avcc.size() - pos) return {};
            out.insert(out.end(), {0, 0, 0, 1});
            out.insert(out.end(), avcc.begin() + long(pos), avcc.begin() + long(pos + n));
            pos += n;
        }
    }
    if (out.size() > capacity) return {};
    return out;
}

bool Reader::open(const std::string& unix_path) {
    tracks_.clear();
    video_ = audio_ = -1;
    if (!demux_.open(unix_path, "mov", false, true)) return false;
    const int64_t file_size = demux_.file_size();
    for (int i = 0; i < demux_.stream_count(); ++i) {
        const libav::StreamInfo& info = demux_.stream(i);
        Track t;
        t.samples = demux_.index(i);
        for (const libav::Sample& s : t.samples) {
            if (!readable(s, file_size)) continue;
            t.largest = std::max(t.largest, s.size);
            t.bytes += s.size;
        }
        t.duration_ms = info.duration_s * 1000;
        if (t.duration_ms <= 0 && t.samples.size() > 1)
            t.duration_ms = double(demux_.to_ms(i, t.samples.back().dts - t.samples.front().dts));
        tracks_.push_back(std::move(t));
        if (info.type == libav::StreamType::kVideo && video_ < 0 && video_of(info.codec_id) != kNoVideo) video_ = i;
        if (info.type == libav::StreamType::kAudio && audio_ < 0 && audio_of(info.codec_id) != kNoAudio) audio_ = i;
    }
    return true;
}

int Reader::track_info(int track, char* handler, char* codec, int* largest) const {
    if (track < 0 || track >= track_count()) return -1;
    const libav::StreamInfo& info = demux_.stream(track);
    if (handler) memcpy(handler, handler_of(info.type), 5);
    if (codec) four_cc(info.codec_tag, codec);
    if (largest) *largest = tracks_[size_t(track)].largest;
    return int(tracks_[size_t(track)].samples.size());
}

VideoCodec Reader::video_codec(int* sample_count, int* largest) const {
    bool has = video_ >= 0;
    if (sample_count) *sample_count = has ? int(tracks_[size_t(video_)].samples.size()) : 0;
    if (largest) *largest = has ? tracks_[size_t(video_)].largest : 0;
    return has ? video_of(demux_.stream(video_).codec_id) : kNoVideo;
}

AudioCodec Reader::audio_codec(int* sample_count, int* largest) const {
    bool has = audio_ >= 0;
    if (sample_count) *sample_count = has ? int(tracks_[size_t(audio_)].samples.size()) : 0;
    if (largest) *largest = has ? tracks_[size_t(audio_)].largest : 0;
    return has ? audio_of(demux_.stream(audio_).codec_id) : kNoAudio;
}

int Reader::kbps(int track) const {
    const Track& t = tracks_[size_t(track)];
    return t.duration_ms > 0 ? int(double(t.bytes) * 8 / t.duration_ms + 0.5) : 0;
}

int Reader::video_info(int* width, int* height, double* fps, int* kbps_out, double* duration_ms, int* time_scale,
                       uint8_t* config) const {
    if (video_ < 0) return -1;
    const libav::StreamInfo& info = demux_.stream(video_);
    const Track& t = tracks_[size_t(video_)];
    if (width) *width = info.width;
    if (height) *height = info.height;
    if (fps) {
        *fps = info.frame_rate;
        if (*fps <= 0 && t.duration_ms > 0) *fps = double(t.samples.size()) * 1000 / t.duration_ms;
    }
    if (kbps_out) *kbps_out = kbps(video_);
    if (duration_ms) *duration_ms = t.duration_ms;
    if (time_scale) *time_scale = info.time_base_num == 1 ? info.time_base_den : 0;
    std::vector<uint8_t> bytes;
    VideoCodec codec = video_of(info.codec_id);
    if (codec == kMpeg4 && info.extradata.size() <= size_t(kConfigCapacity)) bytes = info.extradata;
    if (codec == kH264) bytes = avcc_to_annex_b(info.extradata, kConfigCapacity);
    if (config && !bytes.empty()) memcpy(config, bytes.data(), bytes.size());
    return config ? int(bytes.size()) : 0;
}

int Reader::audio_info(int* sample_rate, int* channels, int* kbps_out, double* duration_ms) const {
    if (audio_ < 0) return -1;
    const libav::StreamInfo& info = demux_.stream(audio_);
    if (sample_rate) *sample_rate = info.sample_rate;
    if (channels) *channels = info.channels;
    if (kbps_out) *kbps_out = kbps(audio_);
    if (duration_ms) *duration_ms = tracks_[size_t(audio_)].duration_ms;
    return 0;
}

int Reader::aac_config(uint8_t* config, int capacity) const {
    if (audio_ < 0 || !config || capacity <= 0) return 0;
    const libav::StreamInfo& info = demux_.stream(audio_);
    if (info.codec_id != AV_CODEC_ID_AAC || info.extradata.empty() || info.extradata.size() > size_t(capacity))
        return 0;
    memcpy(config, info.extradata.data(), info.extradata.size());
    return int(info.extradata.size());
}

int Reader::audio_name(char* name) const {
    const char* text = "";
    if (audio_ >= 0) {
        const libav::StreamInfo& info = demux_.stream(audio_);
        switch (info.codec_id) {
        case AV_CODEC_ID_AAC: text = "MPEG-4 Audio (14496-3)"; break;
        case AV_CODEC_ID_AMR_NB: text = "AMR-NB"; break;
        case AV_CODEC_ID_AMR_WB: text = "AMR-WB"; break;
        default: text = info.sample_rate >= 32000 ? "MPEG-1 Audio (11172-3)" : "MPEG-2 Audio (13818-3)";
        }
    }
    if (name) strcpy(name, text);
    return audio_ >= 0 ? int(strlen(text)) : -1;
}

int Reader::read(int track, uint8_t* buffer, int sample, int* time_ms, int* size, uint8_t* key) {
    if (track < 0 || !buffer || sample < 0 || sample >= int(tracks_[size_t(track)].samples.size())) return -1;
    const libav::Sample& s = tracks_[size_t(track)].samples[size_t(sample)];
    if (!readable(s, demux_.file_size()) || !demux_.read_at(s.pos, buffer, s.size)) return -1;
    if (time_ms) *time_ms = int(std::max<int64_t>(0, demux_.to_ms(track, s.dts)));
    if (size) *size = s.size;
    if (key) *key = s.key ? 1 : 0;
    return s.size;
}

int Reader::read_video(uint8_t* buffer, int sample, int* time_ms, int* size, uint8_t* key) {
    return read(video_, buffer, sample, time_ms, size, key);
}

int Reader::read_audio(uint8_t* buffer, int sample, int* time_ms, int* size) {
    return read(audio_, buffer, sample, time_ms, size, nullptr);
}

}  // namespace mp4reader
