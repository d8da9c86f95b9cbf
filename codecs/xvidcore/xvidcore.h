// Export header of xvidcore.dll: Xvid's published interface (xvid.h, API 4), forwarded to Debian's
// libxvidcore. Only the pointer types are declared here: xvid.h itself declares the C names.
#pragma once
#include "codecs/include/tolm_export.h"

TOLM_IMPORT_TYPE(int, xvid_global, (void* handle, int opt, void* param1, void* param2))
TOLM_IMPORT_TYPE(int, xvid_encore, (void* handle, int opt, void* param1, void* param2))
TOLM_IMPORT_TYPE(int, xvid_decore, (void* handle, int opt, void* param1, void* param2))
