// Export header of olumbra.dll (the sound-effects library) for the entry points the program binds;
// the library's own build includes it, so both sides share one set of prototypes.
#pragma once
#include "codecs/include/tolm_export.h"

TOLM_EXPORT(void, tolmmix_begin, (void))
TOLM_EXPORT(void, tolmmix_close, (void))
TOLM_EXPORT(int, tolmmix_init, (int sample_rate, int channels, int show))
// Runs the effect chain in place over bytes of interleaved 16-bit PCM; returns bytes.
TOLM_EXPORT(int, tolmmix_change, (short* pcm, int bytes))
// show 1 shows the effects window, any other value hides it.
TOLM_EXPORT(void, tolmmix_setdisp, (int show))
TOLM_EXPORT(void, tolmmix_setecho, (bool on))
TOLM_EXPORT(void, tolmmix_setiir, (bool on))
TOLM_EXPORT(void, tolmmix_setlevel, (void))
TOLM_EXPORT(bool, tolmmix_get_dispstatus, (void))
TOLM_EXPORT(int, tolmmix_datarefresh, (void))
