#include "swf_zlib.h"
#include <zlib.h>

namespace {

int load() { return 0; }
void unload() {}

int zlib_uncompress(unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len) {
    uLongf out = *dest_len;
    const int rc = ::uncompress(dest, &out, src, src_len);
    if (rc == Z_OK) *dest_len = uint32_t(out);
    return rc;
}

const SwfPictureLibrary kZlib = {load, unload, zlib_uncompress};

}  // namespace

const SwfPictureLibrary* swf_zlib_library() { return &kZlib; }
