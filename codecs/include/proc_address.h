// Looks up an entry point and returns it as the caller's function-pointer type.
#pragma once
#include <windows.h>

template <typename Fn>
inline Fn proc_address(HMODULE module, const char* name) {
    // The detour through void(*)() is the documented way to convert between function types.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
