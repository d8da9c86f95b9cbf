// Export header of brisvane.dll (the video-effects library) for its host program; the library's own
// build includes it, so both sides share one set of prototypes. A bool argument or result is one
// byte, which the library compares with 1.
#pragma once
#include <stdint.h>
#include "codecs/include/tolm_export.h"

// Resets the effect table and counters, creates the panel once and hides it.
TOLM_EXPORT(int, tolmvideo_begin, (void))
// Destroys the panel, frees every picture and resets the effect records.
TOLM_EXPORT(int, tolmvideo_close, (void))
// Sets the frame size; reset 1 resets every effect, else the effect rectangles are fitted to the new
// size. Shows the panel when show is 1, else hides it.
TOLM_EXPORT(int, tolmvideo_init, (int width, int height, int show, bool reset))
// Runs the effect chain in place over a frame of B,G,R rows ((3 x width + 3) & ~3 bytes each) of the
// size set last; returns size.
TOLM_EXPORT(int, tolmvideo_change, (uint8_t* frame, int size))
// Switch the text overlay (effect 12) and the picture overlay (effect 11) on or off.
TOLM_EXPORT(void, tolmvideo_text, (bool on))
TOLM_EXPORT(void, tolmvideo_picture, (bool on))
// show 1 shows the panel, any other value hides it.
TOLM_EXPORT(void, tolmvideo_setdisp, (bool show))
// 1 when the overlay is on and has its bitmap (text) or picture.
TOLM_EXPORT(bool, tolmvideo_gettextflag, (void))
TOLM_EXPORT(bool, tolmvideo_getpicflag, (void))
// 1 when the text bitmap or the picture is there.
TOLM_EXPORT(bool, tolmvideo_gettextvalid, (void))
TOLM_EXPORT(bool, tolmvideo_getpicvalid, (void))
// 1 while the panel is shown.
TOLM_EXPORT(bool, tolmvideo_getdisp, (void))
// The host window that the panel's Close buttons notify; returns it.
TOLM_EXPORT(HWND, tolmvideo_handle, (HWND host))
// As tolmvideo_init without touching the panel's visibility.
TOLM_EXPORT(void, tolmvideo_setwh, (int width, int height, bool reset))
