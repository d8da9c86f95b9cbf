// Writes values most significant bit first; every completed byte goes to the sink.
#pragma once
#include <cstdint>
#include "h263_vlc.h"

namespace h263 {

class BitWriter {
public:
    using Sink = void (*)(int byte);
    explicit BitWriter(Sink sink) : sink_(sink) {}

    void put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            current_ = uint8_t(current_ << 1 | ((value >> i) & 1));
            if (++filled_ == 8) flush();
        }
        bit_count_ += bits;
    }
    void put(Vlc v) { put(v.code, v.length); }
    // Completes the last byte with zero bits.
    void align() {
        if (filled_) {
            bit_count_ += 8 - filled_;
            current_ = uint8_t(current_ << (8 - filled_));
            flush();
        }
    }
    int64_t bit_count() const { return bit_count_; }

private:
    void flush() {
        sink_(current_);
        current_ = 0;
        filled_ = 0;
    }
    Sink sink_;
    uint8_t current_ = 0;
    int filled_ = 0;
    int64_t bit_count_ = 0;
};

}  // namespace h263
