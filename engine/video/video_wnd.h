// The video window of playback: the video dialog shown at the source's size, a DirectDraw 7 picture
// surface (a YUY2 overlay where the driver scales overlays, otherwise an off-screen surface blitted
// through the clipper into the client area), the per-picture display and the click states.
//
// Threads: the playback thread calls everything here except video_wnd_proc and
// video_wnd_handle_step. DirectDraw objects are made, used and released on that thread; the window
// steps (title, show, placement, subclassing, top-most, hide) run on the interface thread, which owns
// the dialog, through WM_VIDEO_WND_STEP sent by the worker (the call waits until the step is done).
#pragma once
#include <windows.h>
#include <ddraw.h>
#include <cstdint>
#include "engine/video/yuy2.h"

// The dialog's private message: wParam kVideoWndStyle or kVideoWndSize, lParam the value.
constexpr UINT WM_VIDEO_WND_SET = WM_USER + 33;  // 1057
constexpr WPARAM kVideoWndStyle = 8888;
constexpr WPARAM kVideoWndSize = 9999;
// A window step for the interface thread. Until video_wnd_proc is installed the video dialog's own
// procedure receives it and must pass it to video_wnd_handle_step (CVideoWndDlg does).
constexpr UINT WM_VIDEO_WND_STEP = WM_APP + 57;
LRESULT video_wnd_handle_step(WPARAM wparam, LPARAM lparam);

// The video dialog's window (made hidden by the interface thread). video_wnd_open uses it.
void video_wnd_attach(HWND video_dialog);
HWND video_wnd_dialog();

// Titles the dialog "Delmora播放<path>", shows it at (x, y, width, height), makes the picture surface
// for a width x height picture, subclasses the window with video_wnd_proc, brings it to the front and
// top-most and sends itself WM_VIDEO_WND_SET (kVideoWndStyle, 1). Returns 0; -2 when DirectDraw
// cannot be set up (everything made so far released) or no dialog is attached or a size is 0.
int video_wnd_open(int x, int y, int width, int height, const char* path);

// The window's own YUY2 picture buffer for a width x height source (rgb24_to_yuy2's output size),
// grown when needed; the picture size is remembered for video_wnd_show_frame. Null when no window is
// open or memory runs out. Only the window writes or frees it.
uint8_t* video_wnd_picture(int width, int height);
// Convenience: rgb24_to_yuy2 into video_wnd_picture(width, height). Returns rgb24_to_yuy2's result,
// or -3 when no window is open.
int video_wnd_put_rgb24(int width, int height, const uint8_t* pixels, int flag);
// Copies a YUY2 picture (rows of 2 x (width & ~1) bytes) into the window's buffer.
int video_wnd_put_yuy2(int width, int height, const uint8_t* yuy2);
// The same with its rows `stride` bytes apart (at least 2 x (width & ~1)): an odd last column or row is
// left out, as rgb24_to_yuy2 leaves it out.
int video_wnd_put_yuy2(int width, int height, const uint8_t* yuy2, int stride);

// Shows the window's picture: 0, or 0 with nothing done when no window is open; -11 when the surface
// cannot be locked; -2 when the driver capabilities cannot be read. A picture whose size differs from
// the surface's is shown through a surface re-made at its size (or, failing that, copied within).
int video_wnd_show_frame();
// Dispatches every message waiting for the video window on the calling thread.
void video_wnd_pump();
// The subclassing window procedure: click states, WM_VIDEO_WND_SET, WM_VIDEO_WND_STEP.
LRESULT CALLBACK video_wnd_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Releases every DirectDraw object, frees the window's picture buffer, puts the remembered window
// procedure back and forgets the window. Safe to call when nothing is open.
void ddov_release();
// Hides the video dialog (the end of playback).
void video_wnd_hide();

// True when the DirectDraw object in use reports overlay support and overlay stretching.
bool ddov_has_overlay_stretch();
// The surface's pixel value for `colour` (pixel (0, 0) written through the surface's device context,
// read back with a lock, put back). 0 when the surface cannot be read.
DWORD ddov_color_match(IDirectDrawSurface7* surface, COLORREF colour);

// How pictures reach the screen while a window is open.
enum class VideoWndPath : int { kClosed = 0, kOverlay = 1, kOffscreenYuy2 = 2, kOffscreenRgb = 3 };
VideoWndPath video_wnd_path();
// Size and style states (0..3 and 0..2) that the clicks step.
int video_wnd_size_state();
int video_wnd_style_state();

// DirectDraw objects (the DirectDraw object, surfaces, clipper) made and not yet released.
int ddov_live_objects();
// Test hook: while set, creating the DirectDraw object fails as it would without a display driver.
void ddov_force_failure(bool fail);
// Test hook: while set, YUY2 surfaces are refused, as by a display that takes none.
void ddov_force_yuy2_refused(bool refuse);
