#include "WaveScopeThread.h"
#include "app/core/wave_scope.h"
#include "app/res/resource.h"
#include "controls/skin/SkinDraw.h"
#include "engine/audio/audio_path.h"
#include "engine/main_window/main_window.h"
#include "engine/state/run_state.h"

namespace {

void paint(HDC dc, const ScopePicture& picture, int width) {
    for (const ScopeFill& f : picture.fills) {
        HBRUSH brush = CreateSolidBrush(f.colour);
        RECT r = {0, f.top, width, f.bottom};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    HPEN pen = nullptr;
    COLORREF pen_colour = 0;
    HGDIOBJ old = nullptr;
    for (const ScopeLine& l : picture.lines) {
        if (!pen || l.colour != pen_colour) {
            HPEN next = CreatePen(PS_SOLID, 1, l.colour);
            HGDIOBJ previous = SelectObject(dc, next);
            if (!old) old = previous;
            if (pen) DeleteObject(pen);
            pen = next;
            pen_colour = l.colour;
        }
        MoveToEx(dc, l.x0, l.y0, nullptr);
        LineTo(dc, l.x1, l.y1);
    }
    if (old) SelectObject(dc, old);
    if (pen) DeleteObject(pen);
}

}  // namespace

DWORD WINAPI wave_scope_thread(LPVOID) {
    SetThreadDescription(GetCurrentThread(), L"tarmelo wave scope");
    HWND label = GetDlgItem(g_main_hwnd.load(), IDC_SCOPE);
    HDC dc = label ? GetDC(label) : nullptr;
    set_flag(g_scope_running, true);
    WaveScope scope;
    ScopePicture picture;
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
        if (pass == WaveScope::Pass::Draw) paint(dc, picture, width);
    }
    const int released = dc ? ReleaseDC(label, dc) : 0;
    set_flag(g_scope_running, false);
    return DWORD(released);
}
