#include "engine/video/video_wnd.h"

namespace {
HWND g_dialog = nullptr;
}

LRESULT video_wnd_handle_step(WPARAM, LPARAM) { return 0; }
void video_wnd_attach(HWND video_dialog) { g_dialog = video_dialog; }
HWND video_wnd_dialog() { return g_dialog; }
int video_wnd_open(int, int, int, int, const char*) { return -2; }
uint8_t* video_wnd_picture(int, int) { return nullptr; }
int video_wnd_put_rgb24(int, int, const uint8_t*, int) { return -3; }
int video_wnd_put_yuy2(int, int, const uint8_t*) { return -3; }
int video_wnd_show_frame() { return 0; }
void video_wnd_pump() {}
LRESULT CALLBACK video_wnd_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}
void ddov_release() {}
void video_wnd_hide() {}
bool ddov_has_overlay_stretch() { return false; }
DWORD ddov_color_match(IDirectDrawSurface7*, COLORREF) { return 0; }
VideoWndPath video_wnd_path() { return VideoWndPath::kClosed; }
int video_wnd_size_state() { return 0; }
int video_wnd_style_state() { return 0; }
int ddov_live_objects() { return 0; }
void ddov_force_failure(bool) {}
