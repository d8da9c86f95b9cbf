// tolmpicpack.dll: the picture-compression entry points over the portable core.
#include "tolmpicpack.h"
#include "picpack_core.h"

extern "C" int __cdecl picpack_compress(unsigned char* dest, uint32_t* dest_len, const unsigned char* src,
                                        uint32_t src_len) {
    return picpack::compress(dest, dest_len, src, src_len);
}

extern "C" int __cdecl picpack_uncompress(unsigned char* dest, uint32_t* dest_len, const unsigned char* src,
                                          uint32_t src_len) {
    return picpack::uncompress(dest, dest_len, src, src_len);
}
