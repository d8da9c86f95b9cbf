#include "media/mpeg/ac3_framer.h"

namespace mpeg {

namespace {

// Bytes 4..6 of the same stream; at 44.1 kHz the size code's lowest bit alternates between frames.
bool same_stream(const uint8_t* a, const uint8_t* b) {
    return ((a[0] ^ b[0]) & 0xFE) == 0 && a[1] == b[1] && a[2] == b[2];
}

}  // namespace

void Ac3Framer::reset() {
    synced_ = false;
    carry_.clear();
}

void Ac3Framer::push(const uint8_t* data, size_t length, const FrameFn& on_frame) {
    const std::vector<uint8_t>& work = carry_.join(data, length);
    const uint8_t* p = work.data();
    const size_t n = work.size();
    size_t pos = 0;
    while (pos + 7 <= n) {
        Ac3Header h;
        const bool header = parse_ac3_header(p + pos, n - pos, &h) && (!synced_ || same_stream(h.fixed, fixed_));
        if (!header) {
            ++pos;  // search on for the sync word
            continue;
        }
        if (!synced_) {
            // the first frame counts only when the frame after it (if here already) agrees
            const size_t next = pos + size_t(h.frame_bytes);
            Ac3Header following;
            if (next + 7 <= n &&
                !(parse_ac3_header(p + next, n - next, &following) && same_stream(following.fixed, h.fixed))) {
                ++pos;
                continue;
            }
            synced_ = true;
            for (int i = 0; i < 3; ++i) fixed_[i] = h.fixed[i];
        }
        if (pos + size_t(h.frame_bytes) > n) break;  // the rest arrives later
        on_frame(p + pos, h.frame_bytes, h);
        pos += size_t(h.frame_bytes);
    }
    if (pos < n) carry_.hold(p + pos, p + n);
}

bool private_stream_ac3(const uint8_t* packet, size_t length, const uint8_t** data, size_t* data_length) {
    if (length < 9 || packet[3] != kPrivateStream1 || !(packet[6] >= 0x80 && packet[6] <= 0xBF)) return false;
    const size_t header = size_t(packet[8]) + 9;
    if (header + 4 > length || packet[header] != 0x80) return false;
    *data = packet + header + 4;
    *data_length = length - header - 4;
    return true;
}

}  // namespace mpeg
