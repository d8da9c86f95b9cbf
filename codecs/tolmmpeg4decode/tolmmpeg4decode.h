// Export header of tolmmpeg4decode.dll: MPEG-4 Part 2 video over libavcodec's mpeg4 decoder.
//
// State is kept per calling thread: tolmmpeg4decode_init opens a decoder for the thread that calls it,
// and the other entries use that thread's decoder. A thread that has not called init gets -1.
// Pictures: 24-bit B,G,R, rows top-down, stride (3 x width + 3) & ~3, stride x height bytes.
//
// The size in force starts as the init size. A picture of another size is not written: decode returns
// -88 and the size in force becomes the picture's size, which getwh then reports; the caller makes its
// buffer fit and goes on, and pictures of the new size are written from then on. So nothing larger than
// the size the caller knows is ever written, and never more than picture_bytes.
#pragma once
#include "codecs/include/tolm_export.h"

// Opens (or re-opens) the calling thread's decoder with the size in force width x height (the program
// passes 320 x 160 and learns the real size through -88). Returns 0, -1 on failure.
TOLM_EXPORT(int, tolmmpeg4decode_init, (int width, int height))
// Closes the calling thread's decoder (0; -1 when it had none).
TOLM_EXPORT(int, tolmmpeg4decode_close, (void))
// Decodes one coded picture (a configuration alone, such as the VOL from mp4_getvideo, gives 0).
// Returns the byte count written to picture (above 0); 0 when no picture came out or it does not fit
// picture_bytes (nothing is written); -88 when the picture's size differs from the size in force; -1
// when the data is refused. *flag (may be null) = 1 for an intra picture, else 0.
TOLM_EXPORT(int, tolmmpeg4decode_decode, (const unsigned char* data, int length, unsigned char* picture,
                                           int picture_bytes, int* flag))
// The size in force (after -88: the new picture size). Returns 0, -1 without a decoder.
TOLM_EXPORT(int, tolmmpeg4decode_getwh, (int* width, int* height))
