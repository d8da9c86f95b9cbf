// Export header of tolmpicpack.dll, shared by the DLL and its binder. The entry points are exported
// under zlib's names "compress" and "uncompress" with zlib's return codes; lengths are 32-bit.
#pragma once
#include <windows.h>
#include <stdint.h>

typedef int(__cdecl* tolmpicpack_compress_t)(unsigned char* dest, uint32_t* dest_len, const unsigned char* src,
                                             uint32_t src_len);
typedef int(__cdecl* tolmpicpack_uncompress_t)(unsigned char* dest, uint32_t* dest_len, const unsigned char* src,
                                               uint32_t src_len);

extern "C" {
// Exported as "compress" and "uncompress" (see the DLL's export list).
int __cdecl picpack_compress(unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len);
int __cdecl picpack_uncompress(unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len);
}
