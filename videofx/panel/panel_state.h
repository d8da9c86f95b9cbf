// What the exports and the panel's pages share inside brisvane: the effect table with its lock, the
// chain order the chain list shows, the panel and the flags the frame thread reads.
#pragma once
#include <windows.h>
#include <atomic>
#include <cstdint>
#include <vector>
#include "videofx/core/effect_table.h"

class CVideoEffectDlg;

// Sent by a preview view to its page: wParam 88 (hover, drag), 22 (picture pixel), 8888 (rectangle
// changed); lParam x << 16 | y.
#define WM_PREVIEW_NOTIFY 0x041E
// Sent by the Close buttons to the host window: wParam 9999, lParam 18.
#define WM_HOST_NOTIFY 0x2009
// Posted to the panel by exports called from another thread: wParam a PanelStep, lParam its argument.
#define WM_PANEL_STEP (WM_APP + 0x241)

namespace brisvane {

enum PanelStep : WPARAM {
    kStepReset = 1,     // every control at its reset value
    kStepFitted = 2,    // lParam: records (bits) switched off by a fit
    kStepSizes = 3,     // SetVideoSize of the region, picture and text pages
    kStepShow = 4,      // lParam 1 show, 0 hide
    kStepClose = 5,     // destroy the panel
};

videofx::EffectTable& table();

// The chain order (effect ids, top row first) the chain page hands over at every list change.
void set_chain_order(const std::vector<int>& ids);
std::vector<int> chain_order();

// The panel, null before tolmvideo_begin and after tolmvideo_close; panel_alive() is cleared under
// the table's lock before the panel goes, so a frame in flight hands it nothing.
CVideoEffectDlg* panel();
void set_panel(CVideoEffectDlg* panel);
bool panel_alive_locked();              // read with the table's lock held
void set_panel_alive_locked(bool alive);

extern std::atomic<uint8_t> g_panel_shown;
extern std::atomic<HWND> g_host_window;

// The library's own module handle.
HINSTANCE instance();

// The close action of the chain and about pages: hide the panel, clear the shown flag, tell the host.
void close_panel_to_host();

}  // namespace brisvane

// The library's three skin colours (A, B, C) for a scheme 1..4, else grey; C is the UI colour the
// list control reads.
void skin_set_scheme(int scheme);
extern COLORREF g_skin_colour_a, g_skin_colour_b;
