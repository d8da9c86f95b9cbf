// The effects window's side of the library's exports: the window's life (begin, close), showing and
// hiding, the display mode, and the chain order that the chain page keeps for processing. Every step
// asked from a thread other than the window's is posted to the window's thread; the status byte is
// set at once.
#pragma once
#include <windows.h>
#include <mutex>
#include <vector>
#include "soundfx/core/chain.h"

namespace olumbra {

// The chain page's rows as processing reads them: the page stores the ids at every list change, so
// processing never sends to the window. A record's rows (tolmmix_set) reach the list on the window's
// thread.
class WindowChainOrder : public soundfx::ChainOrder {
public:
    int read(int* ids, int capacity) override;
    void replace(const int* ids, int count) override;
    // The page's list changed to these ids (window thread).
    void store(const std::vector<int>& ids);
    std::vector<int> ids();

private:
    std::mutex lock_;
    std::vector<int> ids_;
};
WindowChainOrder& window_chain_order();

// Messages the window handles on its own thread.
enum : UINT {
    WM_OLUMBRA_STEP = WM_APP + 0x51,  // wParam: Step, lParam: its argument
};
enum class Step : WPARAM { Show, Hide, DispMode, Refresh, SetIir, SetEcho, Rows, AfterSet, Close };

// Runs a window step on the window's thread (at once when called there); nothing without a window.
void window_step(Step step, LPARAM arg = 0);
// Creates the window on the calling thread when there is none; hides it.
void window_begin();
// Destroys the window (on its thread) and waits for that when called from another thread.
void window_close();
bool window_exists();
// Processing captured levels: the display repaints itself (never drawn from the sound thread).
void window_levels_captured();
// The display is about to read the levels (window thread): the next block asks for a repaint again.
void window_levels_painting();
// The window object's thread and handle go (from the window itself).
void window_forget(HWND wnd);

void set_display_status(uint8_t status);

}  // namespace olumbra
