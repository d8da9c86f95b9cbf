#include "WaveScopeThread.h"
#include "ScopeCanvas.h"
#include "app/core/wave_scope.h"
#include "app/res/resource.h"
#include "controls/skin/SkinDraw.h"
#include "engine/audio/audio_path.h"
#include "engine/main_window/main_window.h"
#include "engine/state/run_state.h"

DWORD WINAPI wave_scope_thread(LPVOID) {
    SetThreadDescription(GetCurrentThread(), L"tarmelo wave scope");
    HWND label = GetDlgItem(g_main_hwnd.load(), IDC_SCOPE);
    HDC dc = label ? GetDC(label) : nullptr;
    set_flag(g_scope_running, true);
    WaveScope scope;
    ScopePicture picture;
    ScopeCanvas canvas;
    while (flag_on(g_scope_running)) {
        Sleep(10);
        if (!dc) continue;
        const ScopeState state = {flag_on(g_busy), flag_on(g_scope_feed), flag_on(g_paused)};
        int count = g_scope_count.load(std::memory_order_relaxed);
        const int before = count;
        // The client size is read every pass, so a resized label is followed.
        RECT client = {};
        GetClientRect(label, &client);
        const int width = client.right - client.left, height = client.bottom - client.top + 1;
        const ScopeColours colours = {skin_color_main, skin_color_dark, skin_color_accent};
        const WaveScope::Pass pass =
            scope.pass(state, g_scope_left, g_scope_right, &count, width, height, colours, &picture);
        if (count != before) g_scope_count.store(count, std::memory_order_relaxed);
        if (pass == WaveScope::Pass::Draw) canvas.paint(dc, picture, width, height);
    }
    const int released = dc ? ReleaseDC(label, dc) : 0;
    set_flag(g_scope_running, false);
    return DWORD(released);
}
