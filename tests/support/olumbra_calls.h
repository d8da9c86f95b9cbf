// olumbra.dll loaded by file name and its entry points bound by name, as a host binds them; shared by
// the window tests and the DLL bench.
#pragma once
#include <windows.h>
#include <cstring>
#include "soundfx/core/mix_settings.h"

struct OlumbraCalls {
    HMODULE module = nullptr;
    void(__cdecl* begin)() = nullptr;
    void(__cdecl* close)() = nullptr;
    int(__cdecl* change)(short*, int) = nullptr;
    int(__cdecl* init)(int, int, int) = nullptr;
    void(__cdecl* setiir)(bool) = nullptr;
    void(__cdecl* setecho)(bool) = nullptr;
    void(__cdecl* setdisp)(int) = nullptr;
    int(__cdecl* get)(soundfx::MixSettings*) = nullptr;
    int(__cdecl* set)(soundfx::MixSettings) = nullptr;
    bool(__cdecl* dispstatus)() = nullptr;
    int(__cdecl* dispmode)(int) = nullptr;
    HWND(__cdecl* mainwnd)(HWND) = nullptr;

    template <class F>
    void bind(F& fn, const char* name) {
        FARPROC p = GetProcAddress(module, name);
        std::memcpy(&fn, &p, sizeof fn);
    }
    // False when the library or one of its entry points is missing.
    bool load() {
        module = LoadLibraryA("olumbra.dll");
        if (!module) return false;
        bind(begin, "tolmmix_begin");
        bind(close, "tolmmix_close");
        bind(change, "tolmmix_change");
        bind(init, "tolmmix_init");
        bind(setiir, "tolmmix_setiir");
        bind(setecho, "tolmmix_setecho");
        bind(setdisp, "tolmmix_setdisp");
        bind(get, "tolmmix_get");
        bind(set, "tolmmix_set");
        bind(dispstatus, "tolmmix_get_dispstatus");
        bind(dispmode, "tolmmix_set_dispmode");
        bind(mainwnd, "tolmmix_set_mainwnd");
        return begin && close && change && init && setiir && setecho && setdisp && get && set && dispstatus &&
               dispmode && mainwnd;
    }
    void unload() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }
};
