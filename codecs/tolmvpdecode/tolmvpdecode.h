// Export header of tolmvpdecode.dll: VP6 as FLV carries it (codec 4) over libavcodec's vp6f decoder.
//
// State is kept per calling thread: vpdecode_init opens a decoder for the thread that calls it, and the
// other entries use that thread's decoder. A thread that has not called vpdecode_init gets -1.
// Pictures: 24-bit B,G,R, rows top-down, stride (3 x width + 3) & ~3, stride x height bytes, at the
// displayed size (the coded size less the crop the body's first byte gives).
#pragma once
#include "codecs/include/tolm_export.h"

// Opens (or re-opens) the calling thread's decoder. Returns 0, -1 on failure.
TOLM_EXPORT(int, vpdecode_init, (void))
// Closes the calling thread's decoder (0; -1 when it had none).
TOLM_EXPORT(int, vpdecode_close, (void))
// data: an FLV VP6 video tag body after its video header byte: the crop byte (high 4 bits: columns,
// low 4 bits: rows cut off the coded size), then one VP6 frame; the stand-in takes the crop byte off.
// When the decoded picture fits frame_size it is written to frame and the result is its byte count
// (above 0); 0 when no picture came out or it does not fit (nothing is written); -1 when the data is
// refused (fewer than 2 bytes, not VP6, an inter frame before any key frame).
TOLM_EXPORT(int, vpdecode_getvideo, (const unsigned char* data, int length, unsigned char* frame, int frame_size))
// Displayed size of the last decoded picture: 0, or -1 (and 0 x 0) before any picture.
TOLM_EXPORT(int, vpdecode_getpicsize, (int* width, int* height))
