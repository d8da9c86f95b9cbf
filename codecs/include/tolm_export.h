// One line per entry point of an outside library: declares the C function with the caller-cleans
// convention (for the DLL that defines it) and the matching pointer type NAME_fn (for the binder that
// looks it up). Both sides include the same export header, so they cannot disagree.
#pragma once
#include <windows.h>
#include <stdint.h>

#define TOLM_EXPORT(ret, name, args)    \
    extern "C" ret __cdecl name args;    \
    typedef ret(__cdecl* name##_fn) args;

// Only the pointer type: for entry points whose C name is taken by a library header (xvid.h).
#define TOLM_IMPORT_TYPE(ret, name, args) typedef ret(__cdecl* name##_fn) args;
