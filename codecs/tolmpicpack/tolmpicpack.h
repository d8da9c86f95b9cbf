// Export header of tolmpicpack.dll, shared by the DLL and its binder. The entry points are exported
// under zlib's names "compress" and "uncompress" with zlib's return codes; lengths are 32-bit.
#pragma once
#include "codecs/include/tolm_export.h"

// The binder's pointer types (the C names belong to zlib).
TOLM_IMPORT_TYPE(int, compress, (unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len))
TOLM_IMPORT_TYPE(int, uncompress, (unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len))
// The DLL's definitions, exported as "compress" and "uncompress" (see its export list).
TOLM_EXPORT(int, picpack_compress, (unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len))
TOLM_EXPORT(int, picpack_uncompress, (unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len))
