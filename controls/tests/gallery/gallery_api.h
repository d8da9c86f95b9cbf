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

// The second gallery: the list with its header and bars, progress bars, sliders, the read-out, links
// and the round slider.
struct GalleryBLayout {
    static constexpr int kWidth = 500, kHeight = 360;
    static RECT list() { return RECT{10, 10, 290, 150}; }
    static RECT readout() { return RECT{320, 10, 490, 40}; }
    static RECT link(int i) { return RECT{320, 50 + 20 * i, 470, 66 + 20 * i}; }  // normal, hovered, visited
    static RECT round_slider() { return RECT{320, 115, 400, 195}; }
    static RECT progress(int i) {  // still and animated, horizontal then vertical
        const RECT r[4] = {{10, 172, 200, 188}, {10, 196, 200, 212}, {420, 115, 436, 255}, {444, 115, 460, 255}};
        return r[i];
    }
    static RECT slider(int i) {  // horizontal enabled, disabled, held; vertical
        const RECT r[4] = {{10, 222, 160, 252}, {10, 258, 160, 288}, {170, 222, 320, 252}, {330, 210, 360, 350}};
        return r[i];
    }
};

struct GalleryBReport {
    HWND dialog, list, header, hbar, vbar, readout, round_slider;
    HWND links[3], progress[4], sliders[4];
    int list_band_style;
    COLORREF list_band_colour, ui_colour;
    int list_paints_bands;
    char captions[3][64];          // the header's captions as drawn
    int hbar_thumb, vbar_thumb;
    int progress_phase[4];
    COLORREF progress_colour;
    COLORREF slider_thumb, slider_channel, slider_selection;
    COLORREF readout_text, readout_back, readout_unlit;
    COLORREF link_colour[3];      // what each link draws in now
    int link_hovering[3], link_visited[3];
    int round_pos;
};

enum GalleryBAction {
    kGalleryStopAnimation = 1,  // the animated progress bars stop where they are
    kGallerySortList = 2,       // sorts the list by its first column, the order toggling
    kGalleryHoverLink = 3,      // the mouse moves onto the second link
    kGalleryHoldSlider = 4,     // the left button goes down on the third slider's thumb
    kGalleryReleaseSlider = 5,
};

extern "C" {
typedef HWND(__cdecl* gallery_b_open_t)(int x, int y);
typedef void(__cdecl* gallery_b_report_t)(GalleryBReport* report);
typedef int(__cdecl* gallery_b_action_t)(int action);
typedef void(__cdecl* gallery_b_close_t)();
}
