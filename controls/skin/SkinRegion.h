// The window region of a skinned window: the caption bar's corners cut out by the skin key colour,
// the rest of the window whole. Part of the program's skin module (it uses its bitmaps and metrics).
#pragma once
#include <windows.h>

// A new region for a skinned window of that size (the caller owns it), or NULL when the caption bar
// bitmap did not load: such a window stays a plain rectangle.
HRGN skin_window_region(int width, int height);
// Gives the window the region for its current size, unless it already has the one for this size and
// this load of the skin; removes the region it gave earlier when the skin now has no caption bar.
void skin_update_window_region(HWND wnd);
// After a resize: a window that the frame painter has clipped gets the region for its new size (a
// smaller window need not repaint its frame, so painting alone would leave the old region).
void skin_window_resized(HWND wnd);
