// Export header of tolmh263dec1.dll: baseline H.263 (the MP4/3GP "s263" video) over libavcodec's h263
// decoder.
//
// State is kept per calling thread: h263de_init opens a decoder for the thread that calls it, and the
// other entries use that thread's decoder, so threads decoding at the same time never disturb one
// another. A thread that has not called h263de_init gets -1 from h263de_frame.
// Pictures: 24-bit B,G,R, rows top-down, stride (3 x width + 3) & ~3, stride x height bytes.
#pragma once
#include "codecs/include/tolm_export.h"

// Closes the calling thread's decoder (0; -1 when it had none).
TOLM_EXPORT(int, h263de_exit, (void))
// Opens (or re-opens) the calling thread's decoder. Returns 0, -1 on failure.
TOLM_EXPORT(int, h263de_init, (void))
// Decodes one coded picture. When the picture fits picture_bytes it is written to picture and the
// result is its byte count (above 0); 0 when no picture came out or it does not fit (nothing is
// written); -1 when the data is refused or the thread has no decoder.
TOLM_EXPORT(int, h263de_frame, (const unsigned char* data, int length, unsigned char* picture, int picture_bytes))
