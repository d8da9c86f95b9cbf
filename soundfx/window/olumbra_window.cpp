#include "soundfx/window/olumbra_window.h"
#include <atomic>
#include "soundfx/olumbra_shell.h"
#include "soundfx/window/SoundFxDlg.h"

namespace olumbra {
namespace {

std::mutex g_window_lock;
CSoundFxDlg* g_window = nullptr;  // owned by the window's thread
HWND g_window_hwnd = nullptr;
DWORD g_window_thread = 0;
// The level display (control 3152), and when a repaint of it was last asked for (0: none is
// pending; the display's paint clears it).
std::atomic<HWND> g_display{nullptr};
std::atomic<DWORD> g_display_marked{0};
// A mark older than this is asked for again: a display hidden or validated without a paint never
// clears its mark, and must not stay unpainted for that.
constexpr DWORD kMarkLifetimeMs = 100;
// Nor is a repaint asked for sooner than this after the last one: no screen shows more, and blocks
// processed faster than they play (a conversion) would otherwise keep the window's thread painting.
constexpr DWORD kMarkIntervalMs = 15;
std::atomic<DWORD> g_display_last_mark{0};

}  // namespace

int WindowChainOrder::read(int* ids, int capacity) {
    std::lock_guard<std::mutex> guard(lock_);
    int n = 0;
    for (int id : ids_) {
        if (n >= capacity) break;
        ids[n++] = id;
    }
    return n;
}

void WindowChainOrder::replace(const int* ids, int count) {
    std::vector<int> rows(ids, ids + (count > 0 ? count : 0));
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (rows == ids_) return;
        ids_ = rows;
    }
    window_step(Step::Rows);
}

void WindowChainOrder::store(const std::vector<int>& ids) {
    std::lock_guard<std::mutex> guard(lock_);
    ids_ = ids;
}

std::vector<int> WindowChainOrder::ids() {
    std::lock_guard<std::mutex> guard(lock_);
    return ids_;
}

WindowChainOrder& window_chain_order() {
    static WindowChainOrder order;
    return order;
}

bool window_exists() {
    std::lock_guard<std::mutex> guard(g_window_lock);
    return g_window_hwnd && ::IsWindow(g_window_hwnd);
}

void window_step(Step step, LPARAM arg) {
    HWND wnd;
    DWORD thread;
    {
        std::lock_guard<std::mutex> guard(g_window_lock);
        wnd = g_window_hwnd;
        thread = g_window_thread;
    }
    if (!wnd || !::IsWindow(wnd)) return;
    if (thread == ::GetCurrentThreadId()) ::SendMessageA(wnd, WM_OLUMBRA_STEP, (WPARAM)step, arg);
    else ::PostMessageA(wnd, WM_OLUMBRA_STEP, (WPARAM)step, arg);
}

void window_begin() {
    if (!window_exists()) {
        auto* dlg = new CSoundFxDlg(nullptr);
        const BOOL made = dlg->Create(3000, nullptr);
        if (!made) {
            delete dlg;
            return;
        }
        {
            std::lock_guard<std::mutex> guard(g_window_lock);
            g_window = dlg;
            g_window_hwnd = dlg->m_hWnd;
            g_window_thread = ::GetCurrentThreadId();
        }
        g_display_marked = 0;
        g_display_last_mark = 0;
        g_display = ::GetDlgItem(dlg->m_hWnd, 3152);
        engine().set_chain_order(&window_chain_order());
        ::SetForegroundWindow(dlg->m_hWnd);
        ::SetWindowPos(dlg->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    window_step(Step::Hide);
    set_display_status(0);
}

void window_close() {
    HWND wnd;
    DWORD thread;
    {
        std::lock_guard<std::mutex> guard(g_window_lock);
        wnd = g_window_hwnd;
        thread = g_window_thread;
    }
    if (wnd && ::IsWindow(wnd)) {
        if (thread == ::GetCurrentThreadId()) ::SendMessageA(wnd, WM_OLUMBRA_STEP, (WPARAM)Step::Close, 0);
        else ::PostMessageA(wnd, WM_OLUMBRA_STEP, (WPARAM)Step::Close, 0);
    }
    set_display_status(0);
}

void window_forget(HWND wnd) {
    std::lock_guard<std::mutex> guard(g_window_lock);
    if (g_window_hwnd != wnd) return;
    g_window = nullptr;
    g_window_hwnd = nullptr;
    g_window_thread = 0;
    g_display = nullptr;
    engine().set_chain_order(nullptr);
}

void window_levels_captured() {
    HWND display = g_display.load();
    if (!display) return;
    // InvalidateRect only marks the control: the window's thread paints it when it gets there, with
    // the levels of the latest block. Each mark is a round trip to the window system, so a block that
    // finds a recent repaint request still pending asks for none.
    const DWORD now = ::GetTickCount() | 1;  // never 0, which means "none pending"
    if (now - g_display_last_mark.load() < kMarkIntervalMs) return;
    DWORD marked = g_display_marked.load();
    if (marked && now - marked < kMarkLifetimeMs) return;
    if (!g_display_marked.compare_exchange_strong(marked, now)) return;  // another block just asked
    g_display_last_mark = now;
    ::InvalidateRect(display, nullptr, FALSE);
}

void window_levels_painting() { g_display_marked = 0; }

}  // namespace olumbra
