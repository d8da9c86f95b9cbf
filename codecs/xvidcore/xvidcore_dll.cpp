// xvidcore.dll: Xvid's three entry points, forwarded to Debian's libxvidcore. They are exported under
// Xvid's names but defined under their own, so a forwarder can never bind to itself.
#include "xvidcore.h"
#include <xvid.h>

extern "C" int __cdecl forward_xvid_global(void* handle, int opt, void* param1, void* param2) {
    return xvid_global(handle, opt, param1, param2);
}

extern "C" int __cdecl forward_xvid_encore(void* handle, int opt, void* param1, void* param2) {
    return xvid_encore(handle, opt, param1, param2);
}

extern "C" int __cdecl forward_xvid_decore(void* handle, int opt, void* param1, void* param2) {
    return xvid_decore(handle, opt, param1, param2);
}
