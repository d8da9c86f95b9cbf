// olumbra.dll: the tolmmix_* entry points over the portable engine. The effects window and what the
// entry points do to it come with the window; until then the window parts are skipped, as the
// entry points skip them whenever there is no window.
#include "soundfx/olumbra.h"
#include <cstring>
#include "soundfx/core/preset_path.h"
#include "soundfx/olumbra_shell.h"

namespace olumbra {
namespace {

HINSTANCE g_instance = nullptr;
char g_eq_preset_path[soundfx::kPresetPathCapacity] = {};
uint8_t g_disp_status = 0;
int g_disp_mode = 0;
HWND g_host_wnd = nullptr;

}  // namespace

soundfx::Engine& engine() {
    static soundfx::Engine the_engine;
    return the_engine;
}
HINSTANCE instance() { return g_instance; }
const char* preset_path() { return g_eq_preset_path; }
uint8_t display_status() { return g_disp_status; }
int display_mode() { return g_disp_mode; }
HWND host_window() { return g_host_wnd; }

}  // namespace olumbra

using namespace olumbra;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
    return TRUE;
}

extern "C" void __cdecl tolmmix_begin(void) {
    char module[soundfx::kPresetPathCapacity] = {};
    const DWORD n = GetModuleFileNameA(g_instance, module, sizeof module - 1);
    const std::string path = n > 0 && n < sizeof module - 1 ? soundfx::preset_path_beside(std::string(module, n))
                                                            : std::string();
    std::memset(g_eq_preset_path, 0, sizeof g_eq_preset_path);
    std::memcpy(g_eq_preset_path, path.data(), path.size());
    engine().begin();
    g_disp_status = 0;
    engine().set_display_shown(false);
}

extern "C" void __cdecl tolmmix_close(void) {
    engine().close();
    g_disp_status = 0;
    engine().set_display_shown(false);
}

extern "C" int __cdecl tolmmix_change(short* pcm, int bytes) {
    return engine().process(reinterpret_cast<int16_t*>(pcm), bytes);
}

extern "C" int __cdecl tolmmix_init(int sample_rate, int channels, int) {
    return engine().init(sample_rate, channels);
}

extern "C" void __cdecl tolmmix_setiir(bool on) { engine().set_eq_on(on); }
extern "C" void __cdecl tolmmix_setecho(bool on) { engine().set_echo_on(on); }
extern "C" void __cdecl tolmmix_setlevel(void) {}

// Showing and hiding need the window; without one nothing happens.
extern "C" void __cdecl tolmmix_setdisp(int) {}

extern "C" int __cdecl tolmmix_datarefresh(void) { return engine().refresh(); }

extern "C" int __cdecl tolmmix_get(soundfx::MixSettings* settings) {
    engine().get(settings);
    return 0;
}

extern "C" int __cdecl tolmmix_set(soundfx::MixSettings settings) { return engine().set(settings); }

extern "C" bool __cdecl tolmmix_get_dispstatus(void) { return g_disp_status != 0; }

extern "C" int __cdecl tolmmix_set_dispmode(int mode) {
    g_disp_mode = mode;
    return 0;
}

extern "C" HWND __cdecl tolmmix_set_mainwnd(HWND host) {
    g_host_wnd = host;
    return host;
}
