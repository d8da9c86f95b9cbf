// The control gallery of one module, as the gallery test drives it: the program's own copy and the two
// libraries' copies (test DLLs built from the same source) answer the same calls.
#pragma once
#include <windows.h>

// Where the gallery puts its controls (client pixels).
struct GalleryLayout {
    static constexpr int kWidth = 420, kHeight = 300;
    static RECT face(int i) { return RECT{10 + i * 56, 10, 60 + i * 56, 34}; }  // faces 0..6
    static RECT gradient(int i) { return RECT{10 + i * 56, 44, 60 + i * 56, 68}; }
    static RECT combo() { return RECT{130, 44, 250, 144}; }
    static RECT bevel_label() { return RECT{260, 44, 330, 68}; }
    static RECT shaded_label() { return RECT{340, 44, 410, 68}; }
    static RECT tab() { return RECT{10, 80, 260, 185}; }
    static RECT menu_button() { return RECT{270, 80, 340, 104}; }
    // The libraries draw their window frame here.
    static RECT frame() { return RECT{10, 195, 410, 290}; }
};

struct GalleryReport {
    char variant[16];
    HMODULE module;
    HWND dialog, tip, menu_button, tab, combo;
    COLORREF combo_text, combo_back, combo_select;
    RECT combo_drawn;        // the last item the combo drew, in screen coordinates
    UINT combo_drawn_state;
    int frame_loaded;        // the library's frame skin is loaded (the program: its skin is ready)
};

typedef void(__cdecl* GalleryCapture)(HWND owner, HMENU popup, void* context);

extern "C" {
typedef HWND(__cdecl* gallery_open_t)(int x, int y);
typedef void(__cdecl* gallery_report_t)(GalleryReport* report);
typedef int(__cdecl* gallery_reload_t)();
typedef int(__cdecl* gallery_frame_without_t)(unsigned missing_id);
typedef UINT(__cdecl* gallery_track_menu_t)(int flat, GalleryCapture capture, void* context);
typedef void(__cdecl* gallery_close_t)();
}
