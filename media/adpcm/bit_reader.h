// Reads a byte string bit by bit, most significant bit of each byte first, as the SWF file format
// and its ADPCM sound store their fields.
#pragma once
#include <cstddef>
#include <cstdint>

struct BitReader {
    const uint8_t* data = nullptr;
    size_t size = 0;  // bytes held
    size_t pos = 0;   // bits read so far
};

inline BitReader bit_reader(const uint8_t* data, size_t size) { return BitReader{data, size, 0}; }

// Bits not read yet (0 once the reader is past the end).
inline size_t bits_left(const BitReader& r) { return r.pos < r.size * 8 ? r.size * 8 - r.pos : 0; }
// Whole bytes read so far.
inline size_t bytes_read(const BitReader& r) { return r.pos / 8; }
// Moves on to the start of the next byte unless the reader stands at one.
inline void bit_align(BitReader* r) { r->pos = (r->pos + 7) & ~size_t(7); }

// One bit; past the end it reads 0 bits (and still advances, so the caller's counts stay exact).
int bit_read(BitReader* r);
// n bits (0..32), first bit most significant.
uint32_t bit_read_bits(BitReader* r, int n);
// n bits (1..32) as a two's-complement number.
int32_t bit_read_signed(BitReader* r, int n);
