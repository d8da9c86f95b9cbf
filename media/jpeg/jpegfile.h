// JPEG pictures through libjpeg: the frames of AMV and MTV video (each the entropy-coded scan of a
// baseline JPEG whose markers were left out; a fixed header in front of it makes a complete JPEG
// stream again) and whole JPEG files. Buffers returned here are allocated with malloc; the caller
// frees them with free.
#pragma once
#include <cstdint>

// Texts the user must see go through the message seam (base/message_seam.h): "JPEG Fatal Error" with
// a stop icon for what libjpeg cannot decode, "JpegFile :\nOut of memory" with a stop icon under the
// program's own caption for lack of memory, and "JPEG :\nCan't open <path>" for a file that cannot
// be read.

class JpegFile {
public:
    // Decodes one frame into width x height x 3 bytes, rows top-down without padding, R,G,B.
    // out_width and out_height are 0 unless a picture is returned. Null for a frame shorter than
    // 3 bytes, a size the header cannot carry, a frame libjpeg cannot decode, or no memory.
    static uint8_t* DecodeFrame(const uint8_t* frame, int length, int* out_width, int* out_height, int width,
                                int height);
    // The same, with libjpeg's fatal errors left untold when `silent` (a worker that skips such a
    // frame must not stop on a message box for each one).
    static uint8_t* DecodeFrame(const uint8_t* frame, int length, int* out_width, int* out_height, int width,
                                int height, bool silent);

    // Decodes a whole JPEG file (baseline or progressive; grey, colour, or CMYK and YCCK in the
    // inverted form such files hold) into width x height x 3 bytes R,G,B, rows top-down without
    // padding. out_width and out_height are 0 unless a picture is returned. Null for a file that
    // cannot be read, is not a complete JPEG picture, or is larger than kMaxPictureBytes decoded.
    static uint8_t* ReadRgb(const char* path, int* out_width, int* out_height);
    static constexpr uint64_t kMaxPictureBytes = uint64_t(256) << 20;

    // A copy whose rows start on 4-byte boundaries; the stride goes to *out_stride.
    static uint8_t* AlignRows(const uint8_t* buffer, int width, int height, int* out_stride);
    // Turns the picture upside down in place; 1 on success.
    static int FlipRows(uint8_t* buffer, int stride, int rows);
    // Exchanges the first and third byte of every pixel (R,G,B <-> B,G,R) in unpadded rows; 1 on success.
    static int SwapRedBlue(uint8_t* buffer, int width, int rows);
};

// The 607 bytes put in front of every frame: SOI, the quantisation tables of ITU-T T.81 Annex K scaled
// to 80 % (libjpeg's quality 60, what AMV frames are coded with), its Huffman tables, DRI, SOF0 (height at 579, width at 581, both big-endian) and SOS.
constexpr int kAmvHeaderSize = 607;
constexpr int kAmvHeightOffset = 579;
constexpr int kAmvWidthOffset = 581;
const uint8_t* amv_jpeg_header();
