#include "WaveScopeThread.h"
#include <algorithm>
#include <chrono>
#include "ScopeCanvas.h"
#include "app/core/wave_scope.h"
#include "app/res/resource.h"
#include "controls/skin/SkinDraw.h"
#include "engine/audio/audio_path.h"
#include "engine/audio/scope_bell.h"
#include "engine/main_window/main_window.h"
#include "engine/state/run_state.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPassPeriod = std::chrono::milliseconds(10);
// The longest wait for the feed's bell: a safety net, the bell also rings on Exit.
constexpr auto kLongestWait = std::chrono::milliseconds(100);

// Ends at the next pass. Passes keep to a grid of one period from the previous pass, as a thread
// that wakes every period would, so blocks arriving within one period still make a single pass. While
// the count shows no new block, no pass can draw or take frames whatever the flags say, so the thread
// sleeps until the feed rings instead of waking every period to find that out.
void wait_for_next_pass(Clock::time_point previous) {
    const int count = g_scope_count.load(std::memory_order_relaxed);
    if (count <= kScopeIdleFrames && flag_on(g_scope_running)) scope_bell_wait(g_scope_count, count, kLongestWait);
    const auto now = Clock::now();
    const auto periods = std::max<Clock::rep>(1, (now - previous + kPassPeriod - Clock::duration(1)) / kPassPeriod);
    const auto due = previous + periods * kPassPeriod;
    if (now < due) Sleep(DWORD(std::chrono::ceil<std::chrono::milliseconds>(due - now).count()));
}

}  // namespace

DWORD WINAPI wave_scope_thread(LPVOID) {
    SetThreadDescription(GetCurrentThread(), L"tarmelo wave scope");
    HWND label = GetDlgItem(g_main_hwnd.load(), IDC_SCOPE);
    HDC dc = label ? GetDC(label) : nullptr;
    set_flag(g_scope_running, true);
    WaveScope scope;
    ScopePicture picture;
    ScopeCanvas canvas;
    auto previous = Clock::now();
    while (flag_on(g_scope_running)) {
        if (!dc) {
            Sleep(10);
            continue;
        }
        wait_for_next_pass(previous);
        previous = Clock::now();
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
