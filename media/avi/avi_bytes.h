// Little-endian fields and four-character codes of RIFF files.
#pragma once
#include <cctype>
#include <cstdint>
#include <cstring>

namespace avi_bytes {

inline uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// Compares the first n characters of two codes without regard to case.
inline bool same_code(const void* a, const char* b, int n = 4) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    for (int i = 0; i < n; ++i)
        if (std::tolower(x[i]) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

// Appends fields to a fixed buffer, front to back.
class Writer {
public:
    explicit Writer(uint8_t* buffer) : p_(buffer) {}
    Writer& code(const char* four) { std::memcpy(p_, four, 4); p_ += 4; return *this; }
    Writer& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) *p_++ = uint8_t(v >> (8 * i));
        return *this;
    }
    Writer& u16(uint16_t v) { *p_++ = uint8_t(v); *p_++ = uint8_t(v >> 8); return *this; }
    Writer& zeros(size_t n) { std::memset(p_, 0, n); p_ += n; return *this; }
    uint8_t* at() const { return p_; }

private:
    uint8_t* p_;
};

}  // namespace avi_bytes
