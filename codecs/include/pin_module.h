// A stand-in over libavformat cannot be loaded again under Wine once it has been freed: the second
// LoadLibrary faults while libavformat's copy is set up again. Such a DLL pins itself when it is
// first loaded, so FreeLibrary leaves it mapped and a later LoadLibrary finds it as it was.
#pragma once
#include <windows.h>

inline void pin_module(HINSTANCE self) {
    HMODULE pinned;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(self), &pinned);
}
