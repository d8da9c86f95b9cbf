// Export header of tolmh263dec2.dll: Sorenson H.263 (FLV and SWF video, codec 2) over libavcodec's flv
// decoder.
//
// State is kept per calling thread: sh263de_init opens a decoder for the thread that calls it, and the
// other entries use that thread's decoder, so the probe on the interface thread never disturbs a worker
// or analysis thread decoding at the same time. A thread that has not called sh263de_init gets -1 (and
// 0 from the size queries).
// Pictures: 24-bit B,G,R, rows top-down, stride (3 x width + 3) & ~3, stride x height bytes.
#pragma once
#include "codecs/include/tolm_export.h"

// Closes the calling thread's decoder (0; -1 when it had none).
TOLM_EXPORT(int, sh263de_exit, (void))
// Opens (or re-opens) the calling thread's decoder; display mode 0, size 0 x 0. Returns 0, -1 on failure.
TOLM_EXPORT(int, sh263de_init, (void))
// data: one picture as an FLV video tag carries it, after the tag's video header byte.
// picture null: reads the picture header only (the decoder's state is not changed): 0 and the size is
// known, -1 when the header is not a Sorenson picture header.
// Otherwise decodes the picture. When it fits picture_bytes it is written to picture and the result is
// its byte count (above 0); 0 when no picture came out or it does not fit (nothing is written); -1 when
// the data is refused. Either way a readable header sets the size that the queries report.
TOLM_EXPORT(int, sh263de_frame, (const unsigned char* data, int length, unsigned char* picture, int picture_bytes))
// Size of the last picture (or header) read; 0 before any.
TOLM_EXPORT(int, sh263de_getwidth, (void))
TOLM_EXPORT(int, sh263de_getheight, (void))
// Display mode 0 (B,G,R rows top-down) is the only one: 0 for it, -1 for any other value (ignored).
TOLM_EXPORT(int, sh263de_setdispmode, (int mode))
