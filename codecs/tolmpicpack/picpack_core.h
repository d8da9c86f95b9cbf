// Picture compression: zlib's stream format and return codes, with 32-bit lengths.
#pragma once
#include <cstdint>

namespace picpack {

// Compresses src into dest; *dest_len holds the capacity on entry and the packed size on return.
// Returns 0 (Z_OK), -4 (Z_MEM_ERROR) or -5 (Z_BUF_ERROR: dest too small).
int compress(uint8_t* dest, uint32_t* dest_len, const uint8_t* src, uint32_t src_len);

// Inflates src into dest; *dest_len holds the capacity on entry and the unpacked size on return.
// Returns 0, -3 (Z_DATA_ERROR: corrupt or truncated input), -4 or -5 (dest too small).
int uncompress(uint8_t* dest, uint32_t* dest_len, const uint8_t* src, uint32_t src_len);

// Capacity that always suffices for compress() of src_len bytes.
uint32_t compress_bound(uint32_t src_len);

}  // namespace picpack
