// The program's own H.263 encoder: one encoder per process, fed planar 4:2:0 pictures held as one
// 32-bit integer a sample, returning each coded picture as bytes. The five standard sizes are coded
// as baseline H.263; any other size (multiples of 4) uses the custom picture format of H.263
// version 2, coded in whole macroblocks with the picture's last column and row repeated into the
// padding (a decoder shows only the picture's own size), so every stream stays decodable.
#pragma once
#include <cstdint>
#include "base/picture.h"

// Sets up the encoder for pictures of width x height. Returns 0, or -1 when the size cannot be
// coded (not a multiple of 4, below 4 or beyond 2048 x 1152) or memory runs out.
int h263encode_init(int width, int height);

// Codes one picture: width x height luma samples, then the Cb and Cr planes of (width/2) x (height/2),
// each sample 0..255. intra nonzero codes an I picture; the first picture is always intra. The coded
// bytes go to output, which holds width x height x 3 bytes. Returns the byte count, or -1 when the
// picture could not be coded (the next picture is then coded intra so a decoder stays in step).
// The second argument is not used.
int h263encode_encode(const int32_t* picture, int unused, int intra, uint8_t* output);

// The same for a typed picture: -1 unless it is 32-bit 4:2:0 planes of the size given to init.
int h263encode_encode(const PictureView& picture, int intra, uint8_t* output);

void h263encode_close();

// Output of the bit writer: stores a byte while the picture buffer has room and counts it always.
void h263encode_putbyte(int byte);
