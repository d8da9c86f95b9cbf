#include "bit_reader.h"

int bit_read(BitReader* r) {
    const size_t byte = r->pos >> 3;
    const int bit = int(r->pos & 7);
    ++r->pos;
    return byte < r->size ? (r->data[byte] >> (7 - bit)) & 1 : 0;
}

uint32_t bit_read_bits(BitReader* r, int n) {
    uint64_t value = 0;
    while (n > 0) {
        const size_t byte = r->pos >> 3;
        const int used = int(r->pos & 7);
        const int take = n < 8 - used ? n : 8 - used;
        const uint32_t bits = byte < r->size ? (uint32_t(r->data[byte]) >> (8 - used - take)) & ((1u << take) - 1) : 0;
        value = (value << take) | bits;
        r->pos += size_t(take);
        n -= take;
    }
    return uint32_t(value);
}

int32_t bit_read_signed(BitReader* r, int n) {
    const uint32_t v = bit_read_bits(r, n);
    if (n >= 32) return int32_t(v);
    const uint32_t sign = 1u << (n - 1);
    return int32_t((v ^ sign) - sign);
}
