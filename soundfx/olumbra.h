// Export header of olumbra.dll (the sound-effects library): every entry point, in ordinal order. The
// program's binder includes it for those it binds; the library's own build includes it for all, so
// both sides share one set of prototypes.
#pragma once
#include "codecs/include/tolm_export.h"
#include "soundfx/core/mix_settings.h"

TOLM_EXPORT(void, tolmmix_begin, (void))
TOLM_EXPORT(void, tolmmix_close, (void))
// Runs the effect chain in place over bytes of interleaved 16-bit PCM; returns bytes.
TOLM_EXPORT(int, tolmmix_change, (short* pcm, int bytes))
TOLM_EXPORT(int, tolmmix_init, (int sample_rate, int channels, int show))
TOLM_EXPORT(void, tolmmix_setiir, (bool on))
TOLM_EXPORT(void, tolmmix_setecho, (bool on))
TOLM_EXPORT(void, tolmmix_setlevel, (void))
// show 1 shows the effects window, any other value hides it.
TOLM_EXPORT(void, tolmmix_setdisp, (int show))
TOLM_EXPORT(int, tolmmix_datarefresh, (void))
// Fills the whole record from the state; a record passed back to tolmmix_set restores that state.
TOLM_EXPORT(int, tolmmix_get, (soundfx::MixSettings* settings))
TOLM_EXPORT(int, tolmmix_set, (soundfx::MixSettings settings))
TOLM_EXPORT(bool, tolmmix_get_dispstatus, (void))
TOLM_EXPORT(int, tolmmix_set_dispmode, (int mode))
// The window that receives the chain page's notifications; returns it.
TOLM_EXPORT(HWND, tolmmix_set_mainwnd, (HWND host))
