#include "codecs/tolmmtvdecode/mtv_reader_core.h"
#include <algorithm>
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace mtvreader {

namespace {

// Rate and channels of an MP3 stream from its first frames (libavcodec's MPEG audio parser).
void mp3_parameters(const std::vector<uint8_t>& bytes, int* rate, int* channels) {
    AVCodecParserContext* parser = av_parser_init(AV_CODEC_ID_MP3);
    AVCodecContext* ctx = avcodec_alloc_context3(nullptr);
    if (parser && ctx) {
        const uint8_t* in = bytes.data();
        int left = int(bytes.size());
        while (left > 0 && ctx->sample_rate <= 0) {
            uint8_t* frame = nullptr;
            int size = 0;
            int used = av_parser_parse2(parser, ctx, &frame, &size, in, left, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
            if (used <= 0) break;
            in += used;
            left -= used;
        }
        *rate = ctx->sample_rate;
        *channels = ctx->ch_layout.nb_channels;
    }
    if (parser) av_parser_close(parser);
    if (ctx) avcodec_free_context(&ctx);
}

}  // namespace

bool Reader::open(const std::string& unix_path, Kind kind) {
    kind_ = kind;
    frames_.clear();
    pictures_ = sound_chunks_ = 0;
    picture_bytes_ = sound_bytes_ = 0;
    if (!demux_.open(unix_path, kind == Kind::kMtv ? "mtv" : "avi", true)) return false;
    // The demuxer is named, so libavformat does not check the file's signature: check it here.
    uint8_t head[12];
    if (!demux_.read_at(0, head, sizeof head)) return false;
    bool signed_as_kind = kind == Kind::kMtv ? memcmp(head, "AMV", 3) == 0
                                             : memcmp(head, "RIFF", 4) == 0 && memcmp(head + 8, "AMV ", 4) == 0;
    if (!signed_as_kind) return false;
    const int video = demux_.first_stream(libav::StreamType::kVideo);
    const int audio = demux_.first_stream(libav::StreamType::kAudio);
    if (video < 0) return false;
    const libav::StreamInfo& v = demux_.stream(video);
    width_ = v.width;
    height_ = v.height;
    pixel_format_ = v.pixel_format == AV_PIX_FMT_RGB555BE ? 1 : 0;
    fps_ = v.frame_rate > 0 ? v.frame_rate
                            : (v.time_base_num > 0 ? double(v.time_base_den) / v.time_base_num : 0);
    std::vector<libav::Sample> pictures, sound;
    for (const libav::Sample& s : demux_.scan()) {
        if (s.stream == video) {
            pictures.push_back(s);
            picture_bytes_ += s.size;
        } else if (s.stream == audio) {
            sound.push_back(s);
            sound_bytes_ += s.size;
        }
    }
    pictures_ = int(pictures.size());
    sound_chunks_ = int(sound.size());
    if (kind == Kind::kMtv) {
        // A picture ends its segment: the chunks stored before it since the previous picture are its sound.
        size_t next = 0;
        for (const libav::Sample& p : pictures) {
            Frame f;
            f.picture = p;
            while (next < sound.size() && sound[next].pos < p.pos) f.sound.push_back(sound[next++]);
            frames_.push_back(std::move(f));
        }
        std::vector<uint8_t> head;
        for (size_t i = 0; i < sound.size() && head.size() < 8192; ++i) {
            size_t old = head.size();
            head.resize(old + size_t(sound[i].size));
            if (!demux_.read_at(sound[i].pos, &head[old], sound[i].size)) head.resize(old);
        }
        sample_rate_ = channels_ = 0;
        mp3_parameters(head, &sample_rate_, &channels_);
    } else {
        frames_.resize(std::max(pictures.size(), sound.size()));
        for (size_t i = 0; i < frames_.size(); ++i) {
            if (i < pictures.size()) frames_[i].picture = pictures[i];
            if (i < sound.size()) frames_[i].sound.push_back(sound[i]);
        }
        sample_rate_ = audio >= 0 ? demux_.stream(audio).sample_rate : 0;
        channels_ = audio >= 0 ? demux_.stream(audio).channels : 0;
    }
    return width_ > 0 && height_ > 0 && pictures_ > 0;
}

double Reader::seconds() const { return fps_ > 0 ? pictures_ / fps_ : 0; }

int Reader::video(int* width, int* height, double* fps, int* kbps, double* duration_s) const {
    if (width) *width = width_;
    if (height) *height = height_;
    if (fps) *fps = fps_;
    if (kbps) *kbps = seconds() > 0 ? int(double(picture_bytes_) * 8 / seconds() / 1000 + 0.5) : 0;
    if (duration_s) *duration_s = seconds();
    return pictures_;
}

int Reader::audio(int* sample_rate, int* channels, int* kbps) const {
    if (sample_rate) *sample_rate = sample_rate_;
    if (channels) *channels = channels_;
    if (kbps) *kbps = seconds() > 0 ? int(double(sound_bytes_) * 8 / seconds() / 1000 + 0.5) : 0;
    return sound_chunks_;
}

void Reader::picture_info(int* pixel_format, int* bits_per_pixel) const {
    if (pixel_format) *pixel_format = pixel_format_;
    if (bits_per_pixel) *bits_per_pixel = 16;
}

int Reader::data(int frame, uint8_t* sound, int sound_capacity, uint8_t* picture, int* picture_length) {
    const int capacity = picture_length ? *picture_length : 0;
    if (picture_length) *picture_length = 0;
    if (frame < 0 || frame >= frame_count()) return -1;
    const Frame& f = frames_[size_t(frame)];
    int written = 0;
    for (const libav::Sample& s : f.sound) {
        if (!sound || s.size > sound_capacity - written) break;
        if (!demux_.read_at(s.pos, sound + written, s.size)) return -1;
        written += s.size;
    }
    if (f.picture.size > 0 && picture && picture_length && f.picture.size <= capacity) {
        if (!demux_.read_at(f.picture.pos, picture, f.picture.size)) return -1;
        *picture_length = f.picture.size;
    }
    return written;
}

}  // namespace mtvreader
