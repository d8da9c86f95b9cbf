// Export header of tolmx264decode.dll: H.264 over libavcodec's h264 decoder, into 24-bit pictures
// (decode) or YUY2 (decodeyuv).
//
// Input: Annex B data (NAL units behind 00 00 00 01 or 00 00 01 start codes): a picture's NAL units, or
// the sequence and picture parameter sets. MP4 and FLV samples carry 4-byte lengths instead; callers
// turn those into start codes first.
// Output: decode writes B,G,R rows top-down at stride (3 x width + 3) & ~3; decodeyuv writes YUY2
// (Y0 U Y1 V) at stride 2 x width rounded up to an even width. Neither takes a capacity: the capacity is
// the size given to tolm264decode_init, and a picture needing more bytes than a picture of that size is
// not written (result 0) while tolm264decode_getwh still reports its true size.
//
// State is kept per calling thread: tolm264decode_init opens a decoder for the thread that calls it and
// close ends it. A thread that has not opened one of its own uses the decoder of the thread that loaded
// the library (the program's interface thread, which opens it for the workers through notice 678),
// under a lock; so an analysis thread or an FLV worker opening its own never re-initialises the one a
// worker is using. The loading thread itself re-initialises that shared decoder whenever it calls init.
#pragma once
#include "codecs/include/tolm_export.h"

// Opens (or re-opens) the calling thread's decoder; width x height fixes the output capacity.
// Returns 0, -1 on failure (a size below 1 x 1).
TOLM_EXPORT(int, tolm264decode_init, (int width, int height))
// Closes the calling thread's own decoder (0; -1 when it has none of its own).
TOLM_EXPORT(int, tolm264decode_close, (void))
// Decodes the data and writes the picture that came out. Returns its byte count (above 0); 0 when no
// picture came out (parameter sets, a delayed picture) or it is larger than the init size (nothing is
// written); -1 when the data is refused or there is no decoder. data null flushes: each such call
// writes the next picture the decoder still holds back (B-frame delay); once none is left it returns 0
// and the decoder is ready for a new stream.
TOLM_EXPORT(int, tolm264decode_decode, (const unsigned char* data, int length, unsigned char* frame))
TOLM_EXPORT(int, tolm264decode_decodeyuv, (const unsigned char* data, int length, unsigned char* frame))
// Size of the last decoded picture (written or not). Returns 0, -1 (and 0 x 0) before any picture.
TOLM_EXPORT(int, tolm264decode_getwh, (int* width, int* height))
