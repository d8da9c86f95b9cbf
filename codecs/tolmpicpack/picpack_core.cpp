#include "picpack_core.h"
#include <zlib.h>

namespace picpack {

int compress(uint8_t* dest, uint32_t* dest_len, const uint8_t* src, uint32_t src_len) {
    if (!dest || !dest_len || (!src && src_len)) return Z_STREAM_ERROR;
    uLongf out = *dest_len;
    int rc = ::compress2(dest, &out, src, src_len, Z_DEFAULT_COMPRESSION);
    if (rc == Z_OK) *dest_len = static_cast<uint32_t>(out);
    return rc;
}

int uncompress(uint8_t* dest, uint32_t* dest_len, const uint8_t* src, uint32_t src_len) {
    if (!dest || !dest_len || (!src && src_len)) return Z_STREAM_ERROR;
    uLongf out = *dest_len;
    int rc = ::uncompress(dest, &out, src, src_len);
    if (rc == Z_OK) *dest_len = static_cast<uint32_t>(out);
    return rc;
}

uint32_t compress_bound(uint32_t src_len) { return static_cast<uint32_t>(::compressBound(src_len)); }

}  // namespace picpack
