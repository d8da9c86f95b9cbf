// Cuts an MPEG audio elementary stream, arriving in pieces of any size, into whole frames. A frame ends
// where the next header of the same stream begins (same version, layer, protection and mode; bit rate,
// padding and mode extension may change); the frame length from the header says where to look.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include "media/mpa/mpa_header.h"
#include "media/mpeg/byte_carry.h"

namespace mpeg {

class AudioFramer {
public:
    using FrameFn = std::function<void(const uint8_t* frame, int length, const mpa::FrameHeader& header)>;

    // gather: hold back pieces until 1200 bytes (400 once synchronised) are there, as the program
    // stream path does.
    explicit AudioFramer(bool gather) : gather_(gather) {}
    void reset();
    // Adds bytes and hands on every frame whose end is known. Stops early (frames left undelivered)
    // when *busy turns 0.
    void push(const uint8_t* data, size_t length, const FrameFn& on_frame, const std::atomic<uint8_t>* busy);
    // At the end of the input: the last frame, when the bytes held make up the length its header gives.
    void flush(const FrameFn& on_frame);

    bool synchronised() const { return synced_; }
    // The header the stream was synchronised on (bytes 0..3).
    const uint8_t* saved_header() const { return saved_; }

private:
    bool matches(const uint8_t* p) const;
    size_t find_sync(const uint8_t* p, size_t n, size_t from);
    size_t next_header(const uint8_t* p, size_t n, size_t from) const;

    bool gather_;
    bool synced_ = false;
    uint8_t saved_[4] = {};
    ByteCarry carry_;
};

}  // namespace mpeg
