// Most-significant-bit-first reader over a byte buffer that has at least 8 readable bytes past its end
// (the decoder's buffers carry that padding), so a peek never needs a bounds test.
#pragma once
#include <cstdint>
#include <cstring>

namespace mpa {

class BitReader {
public:
    BitReader() = default;
    BitReader(const uint8_t* data, int64_t start_bit) : data_(data), pos_(start_bit) {}

    int64_t position() const { return pos_; }
    void set_position(int64_t bit) { pos_ = bit; }
    void skip(int bits) { pos_ += bits; }

    // The next n bits (0 < n <= 32) without consuming them.
    uint32_t peek(int n) const {
        uint64_t word;
        std::memcpy(&word, data_ + (pos_ >> 3), 8);
        word = __builtin_bswap64(word) << (pos_ & 7);
        return uint32_t(word >> (64 - n));
    }
    uint32_t read(int n) {
        if (n == 0) return 0;
        const uint32_t v = peek(n);
        pos_ += n;
        return v;
    }
    bool read_bit() { return read(1) != 0; }

private:
    const uint8_t* data_ = nullptr;
    int64_t pos_ = 0;
};

}  // namespace mpa
