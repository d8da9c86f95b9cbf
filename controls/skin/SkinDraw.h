// The drawing module every skinned window shares: the active colour scheme and UI colour, the skin
// bitmaps of the custom window frame with the metrics derived from them, the shaded fill, the frame
// edges and the caption buttons. UI thread only.
#pragma once
#include "afxwin.h"
#include "PictureBitmap.h"
#include "SkinPaint.h"
#include "controls/skin_core/skin_bands.h"
#include "controls/skin_core/skin_colour.h"
#include "controls/skin_core/skin_scheme.h"

extern COLORREF skin_color_main;
extern COLORREF skin_color_dark;
extern COLORREF skin_color_accent;
#include "SkinUiColour.h"

// The skin bitmaps, loaded by skin_reload_bitmaps.
extern CSkinBitmap skin_bmp_background;
extern CSkinBitmap skin_bmp_caption;
extern CSkinBitmap skin_bmp_frame_left;
extern CSkinBitmap skin_bmp_frame_right;
extern CSkinBitmap skin_bmp_frame_bottom;
extern CSkinBitmap skin_bmp_button_close;
extern CSkinBitmap skin_bmp_button_min;
extern CSkinBitmap skin_bmp_background2;
extern CSkinBitmap skin_bmp_button_colour;

// Frame metrics from the loaded bitmaps.
extern skin::FrameMetrics skin_frame;
// 1 once the bitmaps are loaded: the dialogs paint the skinned frame only then.
extern BYTE skin_ready;
extern BYTE skin_loaded_before;
// Counts the loads of the skin bitmaps, so that windows rebuild their regions after a reload.
extern unsigned skin_load_count;
// Key colour of the caption buttons and of the window regions, and whether buttons use it.
extern COLORREF skin_key_colour;
extern BOOL skin_key_transparent;

// Stores scheme n's three colours and its dark colour as the UI colour.
void skin_set_scheme(int n);
void skin_set_ui_color(COLORREF color);
// Start-up: the scheme first, then the UI colour the user saved (when there is one).
void skin_apply_startup_colours(int scheme, BOOL have_saved_ui, COLORREF saved_ui);
// (Re)loads the skin bitmaps from this module's resources and computes the frame metrics; returns 0.
int skin_reload_bitmaps();
// Rectangle of caption button `which` (0 close, 1, 4) in window coordinates.
RECT* skin_caption_button_rect(RECT* out, HWND wnd, int which);
// Draws cell `cell` (0..2) of caption button `which`; nothing for other buttons or without a bitmap.
int skin_draw_caption_button(HWND wnd, CDC* dc, int which, int cell);
void skin_fill_shaded(HDC dc, COLORREF colour, int left, int top, int right, int bottom, int style);
int skin_fill_rect(CDC* dc, int x, int y, int width, int height, COLORREF colour, int style);
// The left, right and bottom frame edges of a skinned window of that size.
int skin_draw_frame(CDC* dc, int width, int height);

// The skinned frame and caption of a program window on its window DC: the frame edges, two caption
// bands in the UI colour darkened by 17, the caption buttons, the small icon and the title (a black
// shadow one pixel down and right, then white). It first clips the window to the skin's region
// (rebuilt only when the window's size or the skin has changed since).
void skin_paint_window(CWnd* wnd, HICON small_icon);
// The caption button under a screen point: HTCLOSE (button 0), HTMINBUTTON (1), HTMENU (4), or 0.
int skin_caption_hit(HWND wnd, POINT screen);
