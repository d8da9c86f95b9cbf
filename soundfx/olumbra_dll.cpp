// olumbra.dll: the tolmmix_* entry points over the portable engine and the effects window. Steps on
// the window asked from another thread go to the window's thread; without a window they are skipped.
#include "soundfx/olumbra.h"
#include <atomic>
#include <cstring>
#include "afxseam.h"
#include "afxwin.h"
#include "skinlib/module/SkinlibModule.h"
#include "soundfx/core/preset_path.h"
#include "soundfx/olumbra_shell.h"
#include "soundfx/window/olumbra_window.h"

namespace olumbra {
namespace {

HINSTANCE g_instance = nullptr;
char g_eq_preset_path[soundfx::kPresetPathCapacity] = {};
std::atomic<uint8_t> g_disp_status{0};
std::atomic<int> g_disp_mode{0};
std::atomic<HWND> g_host_wnd{nullptr};

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

void set_display_status(uint8_t status) {
    g_disp_status = status;
    engine().set_display_shown(status == 1);
}

}  // namespace olumbra

using namespace olumbra;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        AfxSetResourceHandle(instance);
        skinlib_use_olumbra();
    }
    if (reason == DLL_THREAD_DETACH) AfxTermThread();
    if (reason == DLL_PROCESS_DETACH) AfxTermModule();
    return TRUE;
}

extern "C" void __cdecl tolmmix_begin(void) {
    char module[soundfx::kPresetPathCapacity] = {};
    const DWORD n = GetModuleFileNameA(g_instance, module, sizeof module - 1);
    const std::string path = n > 0 && n < sizeof module - 1 ? soundfx::preset_path_beside(std::string(module, n))
                                                            : std::string();
    std::memset(g_eq_preset_path, 0, sizeof g_eq_preset_path);
    std::memcpy(g_eq_preset_path, path.data(), path.size());
    // What the window-free layers report reaches the user as this library's message boxes.
    AfxInstallMessageSeam();
    engine().begin();
    window_begin();
    set_display_status(0);
}

extern "C" void __cdecl tolmmix_close(void) {
    window_close();
    engine().close();
    set_display_status(0);
}

extern "C" int __cdecl tolmmix_change(short* pcm, int bytes) {
    const int result = engine().process(reinterpret_cast<int16_t*>(pcm), bytes);
    if (engine().display_shown() && bytes > 0) window_levels_captured();
    return result;
}

extern "C" int __cdecl tolmmix_init(int sample_rate, int channels, int show) {
    const int result = engine().init(sample_rate, channels);
    if (!window_exists()) return result;
    if (show == 1) set_display_status(1);
    // The pages show the fresh state on the window's thread; a refresh only reads the engine.
    window_step(Step::Refresh, show == 1 ? 1 : 0);
    return result;
}

extern "C" void __cdecl tolmmix_setiir(bool on) {
    engine().set_eq_on(on);
    window_step(Step::SetIir);
}
extern "C" void __cdecl tolmmix_setecho(bool on) {
    engine().set_echo_on(on);
    window_step(Step::SetEcho);
}
extern "C" void __cdecl tolmmix_setlevel(void) {}

// Shows (1) or hides the window; the status byte is set at once. Nothing without a window.
extern "C" void __cdecl tolmmix_setdisp(int show) {
    if (!window_exists()) return;
    set_display_status(uint8_t(show));
    window_step(show == 1 ? Step::Show : Step::Hide);
}

extern "C" int __cdecl tolmmix_datarefresh(void) { return engine().refresh(); }

extern "C" int __cdecl tolmmix_get(soundfx::MixSettings* settings) {
    engine().get(settings);
    return 0;
}

extern "C" int __cdecl tolmmix_set(soundfx::MixSettings settings) {
    const int result = engine().set(settings);
    if (result == 0) window_step(Step::AfterSet);
    return result;
}

extern "C" bool __cdecl tolmmix_get_dispstatus(void) { return g_disp_status != 0; }

extern "C" int __cdecl tolmmix_set_dispmode(int mode) {
    g_disp_mode = mode;
    window_step(Step::DispMode);
    return 0;
}

extern "C" HWND __cdecl tolmmix_set_mainwnd(HWND host) {
    g_host_wnd = host;
    return host;
}
