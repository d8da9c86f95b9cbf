#include "media/mpeg/audio_framer.h"

namespace mpeg {

namespace {

constexpr size_t kGatherUnsynced = 1200;
constexpr size_t kGatherSynced = 400;
constexpr size_t kDropUnsynced = 10000;
constexpr int kMaxFrame = 1600;
constexpr size_t kNone = size_t(-1);

bool stopped(const std::atomic<uint8_t>* busy) { return busy && busy->load(std::memory_order_relaxed) == 0; }

}  // namespace

void AudioFramer::reset() {
    synced_ = false;
    carry_.clear();
}

// A header of the stream synchronised on: bytes 0 and 1 equal, byte 3 equal but for the mode extension.
bool AudioFramer::matches(const uint8_t* p) const {
    return p[0] == saved_[0] && p[1] == saved_[1] && ((p[3] ^ saved_[3]) & ~0x30) == 0;
}

size_t AudioFramer::next_header(const uint8_t* p, size_t n, size_t from) const {
    for (size_t i = from; i + 4 <= n; ++i)
        if (p[i] == 0xFF && matches(p + i)) return i;
    return kNone;
}

// The first valid header whose successor (when its bytes are there) belongs to the same stream.
size_t AudioFramer::find_sync(const uint8_t* p, size_t n, size_t from) {
    for (size_t i = from; i + 4 <= n; ++i) {
        if (p[i] != 0xFF || p[i + 1] < 0xE0) continue;
        mpa::FrameHeader h;
        if (!mpa::parse_header(mpa::header_word(p + i), &h) || h.frame_bytes >= kMaxFrame) continue;
        const size_t next = i + size_t(h.frame_bytes);
        if (next + 4 <= n) {
            const uint8_t* q = p + next;
            if (!(q[0] == p[i] && q[1] == p[i + 1] && ((q[3] ^ p[i + 3]) & ~0x30) == 0)) continue;
        }
        for (int k = 0; k < 4; ++k) saved_[k] = p[i + k];
        synced_ = true;
        return i;
    }
    return kNone;
}

void AudioFramer::push(const uint8_t* data, size_t length, const FrameFn& on_frame, const std::atomic<uint8_t>* busy) {
    const size_t total = carry_.size() + length;
    if (gather_ && total < (synced_ ? kGatherSynced : kGatherUnsynced)) {
        carry_.add(data, length);
        return;
    }
    if (!synced_ && total > kDropUnsynced && gather_) {
        // a long run without synchronisation: start afresh with these bytes only
        carry_.clear();
    }
    const std::vector<uint8_t>& work = carry_.join(data, length);
    const uint8_t* p = work.data();
    const size_t n = work.size();

    size_t pos = 0;
    if (!synced_) {
        pos = find_sync(p, n, 0);
        if (pos == kNone) return;  // nothing to keep
    }
    for (;;) {
        if (stopped(busy)) break;
        if (pos + 4 > n) break;
        if (!matches(p + pos)) {
            // lost: look for the stream again after this position
            synced_ = false;
            pos = find_sync(p, n, pos + 1);
            if (pos == kNone) return;
            continue;
        }
        mpa::FrameHeader h;
        size_t end = kNone;
        if (mpa::parse_header(mpa::header_word(p + pos), &h) && h.frame_bytes > 0) {
            const size_t next = pos + size_t(h.frame_bytes);
            // The header says where the frame ends: until the header after it is here, wait for more.
            // (Looking for a header meanwhile would find one inside the frame's own bytes, which may
            // hold the same sync pattern: the frame would be cut in two and its tail decoded as a frame.)
            if (next + 4 > n) break;
            if (matches(p + next)) end = next;
        }
        // No length from the header, or no header where it says: the next header of the stream.
        if (end == kNone) end = next_header(p, n, pos + 4);
        if (end == kNone) break;  // the frame's end is not here yet
        const size_t frame = end - pos;
        if (frame < size_t(kMaxFrame) && h.layer != 0) on_frame(p + pos, int(frame), h);
        pos = end;
    }
    if (pos < n) carry_.hold(p + pos, p + n);
}

void AudioFramer::flush(const FrameFn& on_frame) {
    // whole frames by their headers' lengths; a frame cut short at the end is dropped
    size_t pos = 0;
    const uint8_t* p = carry_.data();
    const size_t n = carry_.size();
    while (synced_ && pos + 4 <= n && matches(p + pos)) {
        mpa::FrameHeader h;
        if (!mpa::parse_header(mpa::header_word(p + pos), &h) || h.frame_bytes >= kMaxFrame ||
            pos + size_t(h.frame_bytes) > n)
            break;
        on_frame(p + pos, h.frame_bytes, h);
        pos += size_t(h.frame_bytes);
    }
    carry_.clear();
}

}  // namespace mpeg
