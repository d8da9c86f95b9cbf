#include "media/mpeg/ps_parser.h"
#include <cstring>
#include "media/mpeg/mpeg_headers.h"

namespace mpeg {

namespace {

constexpr size_t kPrivateMax = 6 + 65535;

bool carries_payload(uint8_t id) { return is_video_id(id) || is_audio_id(id) || id == kPrivateStream1; }

}  // namespace

void PsParser::reset() {
    state_ = kSearch;
    transport_ = false;
    owed_ = 0;
    hdr_length_ = 0;
    video_id_ = audio_id_ = -1;
    private_.clear();
}

int PsParser::header_need() const {
    const uint8_t id = hdr_[3];
    if (id == kPackStart) return pack_header_length(hdr_, size_t(hdr_length_));
    if (hdr_length_ < 6) return 0;
    if (!carries_payload(id)) return 6;
    return pes_header_length(hdr_, size_t(hdr_length_));
}

void PsParser::header_complete(const Sinks& sinks) {
    const uint8_t id = hdr_[3];
    const int header = hdr_length_;
    hdr_length_ = 0;
    state_ = kSearch;
    if (id == kPackStart) return;
    const int64_t pes_length = be16(hdr_ + 4);
    if (!carries_payload(id)) {
        // in a program stream skipped by its length; in a transport stream's video packets no other
        // stream belongs, so the next start code is looked for
        if (!transport_) {
            state_ = kSkip;
            owed_ = pes_length;
        }
        return;
    }
    if (sinks.pes_header) sinks.pes_header(hdr_, header);
    int64_t payload = transport_ ? -1 : pes_length + 6 - header;
    if (!transport_ && payload < 0) return;  // a header longer than its packet: skipped
    bool wanted = true;
    if (is_video_id(id)) {
        if (video_id_ < 0) video_id_ = id;
        wanted = id == video_id_;
        state_ = kVideo;
    } else if (is_audio_id(id)) {
        if (audio_id_ < 0) audio_id_ = id;
        wanted = id == audio_id_;
        state_ = kAudio;
    } else {
        state_ = kPrivate;
        private_.assign(hdr_, hdr_ + header);
        if (payload == 0 && sinks.private_packet) {
            sinks.private_packet(private_.data(), private_.size());
            state_ = kSearch;
            return;
        }
    }
    if (!wanted) state_ = kSkip;
    owed_ = payload;
    if (owed_ == 0) state_ = kSearch;
}

int PsParser::run(const uint8_t* data, size_t length, const Sinks& sinks) {
    size_t i = 0;
    while (i < length) {
        if (state_ != kSearch) {
            size_t take = length - i;
            if (owed_ >= 0 && int64_t(take) > owed_) take = size_t(owed_);
            const uint8_t* p = data + i;
            switch (state_) {
                case kVideo:
                    if (sinks.video) sinks.video(p, take);
                    break;
                case kAudio:
                    if (sinks.audio) sinks.audio(p, take);
                    break;
                case kPrivate:
                    if (private_.size() + take <= kPrivateMax) private_.insert(private_.end(), p, p + take);
                    break;
                default:
                    break;
            }
            i += take;
            if (owed_ >= 0) {
                owed_ -= int64_t(take);
                if (owed_ == 0) {
                    if (state_ == kPrivate && sinks.private_packet) sinks.private_packet(private_.data(), private_.size());
                    if (state_ == kPrivate) private_.clear();
                    state_ = kSearch;
                }
            }
            continue;
        }
        if (hdr_length_ < 4) {
            // the start code prefix 00 00 01, then its id
            const uint8_t b = data[i++];
            if (hdr_length_ < 2) {
                hdr_length_ = b == 0 ? hdr_length_ + 1 : 0;
            } else if (hdr_length_ == 2) {
                if (b == 1) hdr_length_ = 3;
                else if (b != 0) hdr_length_ = 0;
            } else {
                hdr_[0] = 0;
                hdr_[1] = 0;
                hdr_[2] = 1;
                hdr_[3] = b;
                hdr_length_ = 4;
                if (b == kEndCode) {
                    hdr_length_ = 0;
                    return 1;
                }
                if (b < kEndCode) hdr_length_ = 0;  // not a systems start code: look on
            }
            continue;
        }
        // assemble the header: one byte at a time until its length is known, then the rest at once
        int need = header_need();
        if (need < 0) {
            hdr_length_ = 0;  // an odd pack header: look for the next start code
            continue;
        }
        if (need == 0 || need > int(sizeof(hdr_))) need = hdr_length_ + 1;
        size_t take = size_t(need - hdr_length_);
        if (take > length - i) take = length - i;
        std::memcpy(hdr_ + hdr_length_, data + i, take);
        hdr_length_ += int(take);
        i += take;
        const int now = header_need();
        if (now > 0 && now <= hdr_length_) {
            if (now < hdr_length_) {
                // read past a header whose length became known late: give the bytes back
                i -= size_t(hdr_length_ - now);
                hdr_length_ = now;
            }
            header_complete(sinks);
        } else if (now < 0) {
            hdr_length_ = 0;
        }
    }
    return 0;
}

int PsParser::push(const uint8_t* data, size_t length, const Sinks& sinks) {
    transport_ = false;
    return run(data, length, sinks);
}

void PsParser::push_transport(const uint8_t* data, size_t length, bool unit_start, const Sinks& sinks) {
    transport_ = true;
    if (unit_start) {
        state_ = kSearch;
        hdr_length_ = 0;
    }
    run(data, length, sinks);
}

}  // namespace mpeg
