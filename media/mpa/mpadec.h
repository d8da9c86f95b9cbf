// The program's own MPEG audio layer III decoder (MPEG-1, MPEG-2 and MPEG-2.5), floating point, behind
// a C-style handle: create, feed bytes, decode one frame at a time into 16-bit PCM, destroy. Every
// handle is independent; nothing is allocated after creation.
#pragma once
#include <cstdint>

// Statuses: top two bits 00 success, 01 success with a remark, 10 warning, 11 error.
enum : uint32_t {
    MPADEC_OK = 0,
    MPADEC_CRC_CLEARED = 0x41010001u,     // decoded with its side information cleared (CRC mismatch)
    MPADEC_SILENCE = 0x41010002u,         // output as silence: its main data is not available
    MPADEC_NEED_SYNC_DATA = 0x81010001u,  // more input needed (not synchronised)
    MPADEC_SYNC_LOST = 0x81010002u,       // synchronisation lost; the decoder reset and searches again
    MPADEC_NEED_DATA = 0x81010003u,       // more input needed (synchronised, frame incomplete)
    MPADEC_END = 0x81010004u,             // input marked ended and no complete frame left
    MPADEC_BAD_ARGUMENT = 0xC0000001u,
    MPADEC_NO_MEMORY = 0xC0000002u,
    MPADEC_BAD_HANDLE = 0xC0000003u,
    MPADEC_NOT_LAYER3 = 0xC1010002u,
    MPADEC_OUTPUT_TOO_SMALL = 0xC1010003u,
};

struct mpadec_instance;
typedef mpadec_instance* mpadec_t;

// What the last decoded frame was.
struct MpaFrameInfo {
    int layer;
    int version;            // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    int bitrate;            // bit/s
    int bitrate_index;
    int channels;           // in the stream
    int sample_rate;        // of the stream
    int output_channels;    // 1 with the mono option, else the stream's
    int output_rate;        // sample rate >> downsampling
    int output_bits;        // 16, or 8 with the 8-bit option
    int frame_bits;         // frame length in bits
    float duration_ms;      // samples per frame x 1000 / sample rate
    int crc_cleared;        // decoded with cleared side information
    int silence;            // output as silence
};

// downsample 0 full rate, 1 half, 2 quarter; eight_bit: unsigned 8-bit output ((s >> 8) + 128);
// mono: two channels mixed into one; hook: calls an empty hook per synthesis block (no other effect).
uint32_t mpadec_create(mpadec_t* handle, int downsample, int eight_bit, int mono, int hook);
uint32_t mpadec_destroy(mpadec_t handle);
// Copies as much of the bytes as the 8192-byte input ring holds; *taken = bytes copied. A length of 0
// marks the end of input (more bytes clear the mark).
uint32_t mpadec_feed(mpadec_t handle, const uint8_t* bytes, uint32_t length, uint32_t* taken);
// Finds and decodes the next frame into out (size bytes); *written = bytes produced.
uint32_t mpadec_decode(mpadec_t handle, uint8_t* out, uint32_t size, uint32_t* written);
uint32_t mpadec_get_info(mpadec_t handle, MpaFrameInfo* info);
