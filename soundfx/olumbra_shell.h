// The library's module state beside the engine: what the exports keep for the effects window.
#pragma once
#include <windows.h>
#include <cstdint>
#include "soundfx/core/engine.h"

namespace olumbra {

soundfx::Engine& engine();
// The library's own module handle (from DllMain).
HINSTANCE instance();
// "<folder of olumbra.dll>\tolmeqset.eq", built by tolmmix_begin; empty before it.
const char* preset_path();
// 1 while the effects window is shown.
uint8_t display_status();
int display_mode();
HWND host_window();
// The status byte, and the engine's level capture with it.
void set_display_status(uint8_t status);

}  // namespace olumbra
