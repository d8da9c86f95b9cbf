// Cuts AC-3 sound, arriving in pieces of any size, into whole sync frames: a frame starts with 0B 77,
// its length comes from its header, and the next frame has the same bytes 4..6 (rate, size class,
// stream and channel modes). A partial frame (at most 3840 bytes) waits for the next piece.
#pragma once
#include <cstdint>
#include <functional>
#include "media/mpeg/byte_carry.h"
#include "media/mpeg/mpeg_headers.h"

namespace mpeg {

class Ac3Framer {
public:
    using FrameFn = std::function<void(const uint8_t* frame, int length, const Ac3Header& header)>;

    void reset();
    void push(const uint8_t* data, size_t length, const FrameFn& on_frame);

private:
    bool synced_ = false;
    uint8_t fixed_[3] = {};
    ByteCarry carry_;
};

// The AC-3 bytes of a private-stream-1 PES packet (whole, from its start code): the payload after the
// 4-byte head of sub-stream 0x80 of an MPEG-2 PES header; false for anything else.
bool private_stream_ac3(const uint8_t* packet, size_t length, const uint8_t** data, size_t* data_length);

}  // namespace mpeg
