#include "media/mpeg/audio_route.h"
#include <cstring>
#include "media/mpeg/mpgdemux.h"
#include "media/mpeg/pcm_writer.h"

namespace mpeg {

namespace {
bool stopped(const MpegDemuxLinks& links) { return links.busy && links.busy->load(std::memory_order_relaxed) == 0; }
}  // namespace

void AudioRoute::reset() {
    choice_ = Decoder::kUnchosen;
    table_count_ = 0;
    table_bytes_ = 0;
    own_.clear();
    if (decoder_) mpadec_destroy(decoder_);
    decoder_ = nullptr;
}

bool AudioRoute::ensure_decoder() {
    if (!decoder_ && mpadec_create(&decoder_, 0, 0, 0, 1) != MPADEC_OK) decoder_ = nullptr;
    return decoder_ != nullptr;
}

void AudioRoute::frame(const uint8_t* p, int length, const mpa::FrameHeader& h, const MpegDemuxLinks& links,
                       MediaOutput* out) {
    if (choice_ == Decoder::kUnchosen) {
        if (h.version != 0 && h.layer == 3) {
            choice_ = Decoder::kOwn;
        } else {
            choice_ = Decoder::kOutside;
            if (links.mp3_open) links.mp3_open(p);
        }
    }
    if (choice_ == Decoder::kOwn) {
        own_.insert(own_.end(), p, p + length);
        return;
    }
    if (length > kMp3FrameBytes) return;
    Mp3FrameRecord& r = table_[table_count_++];
    std::memcpy(r.frame, p, size_t(length));
    r.length = length;
    table_bytes_ += size_t(h.samples) * size_t(h.channels) * 2;
    rate_ = h.sample_rate;
    channels_ = h.channels;
    if (table_count_ == kMp3FrameTableRecords) play(links, out);
}

void AudioRoute::finish(const MpegDemuxLinks& links, MediaOutput* out) {
    play(links, out);
    if (own_.size() > 10) decode(own_.data(), own_.size(), links, out);
    own_.clear();
}

void AudioRoute::decode(const uint8_t* data, size_t length, const MpegDemuxLinks& links, MediaOutput* out) {
    if (!ensure_decoder()) return;
    PcmWriter writer(out);
    uint8_t scratch[1152 * 2 * 2];
    size_t pos = 0;
    int idle = 0;
    for (;;) {
        if (stopped(links)) return;
        uint32_t taken = 0;
        if (pos < length) {
            mpadec_feed(decoder_, data + pos, uint32_t(length - pos > 8192 ? 8192 : length - pos), &taken);
            pos += taken;
        }
        uint32_t written = 0;
        // the next frame's size is known only once it is found: decode into scratch, then append
        const uint32_t status = mpadec_decode(decoder_, scratch, sizeof(scratch), &written);
        if (written > 0) {
            MpaFrameInfo info;
            mpadec_get_info(decoder_, &info);
            writer.append(scratch, written, info.output_rate, info.output_channels);
        }
        // a full ring is searched by the decode before it takes more, hence one idle turn is allowed
        if (taken > 0 || written > 0 || status == MPADEC_SYNC_LOST) idle = 0;
        else if (++idle >= 2 || pos >= length) return;
    }
}

void AudioRoute::play(const MpegDemuxLinks& links, MediaOutput* out) {
    if (table_count_ > 0 && links.mp3_play) {
        PcmWriter writer(out);
        size_t room = writer.reserve(table_bytes_, rate_, channels_);
        int count = table_count_;
        while (room > 0) {
            const int n = links.mp3_play(table_, count, writer.end(), int(room));
            if (n <= 0) break;
            writer.commit(size_t(n) < room ? size_t(n) : room);
            // the library keeps what did not fit and returns it with the next call
            if (size_t(n) < room || !writer.has_sink()) break;
            writer.flush();
            room = writer.reserve(table_bytes_, rate_, channels_);
            count = 0;
        }
    }
    table_count_ = 0;
    table_bytes_ = 0;
}

}  // namespace mpeg
