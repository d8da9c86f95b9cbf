// The description blocks the stream parser fills for its callers, fixed here byte by byte. Portable (no
// Win32), so the parser's core, its DLL and the binders share one layout.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 4)

// mux_get_video_disp: int32[8].
struct MuxVideoDisp {
    int32_t width;
    int32_t height;
    double bit_rate_kbps;  // the sequence header's bit rate in kbit/s
    double frame_rate;     // exact (30000/1001 ...)
    int32_t aspect_code;   // the sequence header's aspect ratio information
    int32_t mpeg_version;  // 1 MPEG-1 video, 2 MPEG-2 video
};
static_assert(sizeof(MuxVideoDisp) == 8 * 4, "video description: int32[8]");
static_assert(offsetof(MuxVideoDisp, bit_rate_kbps) == 2 * 4 && offsetof(MuxVideoDisp, frame_rate) == 4 * 4 &&
                  offsetof(MuxVideoDisp, aspect_code) == 6 * 4 && offsetof(MuxVideoDisp, mpeg_version) == 7 * 4,
              "video description layout");

// mux_get_audio_disp: int32[6], MPEG sound only.
struct MuxAudioDisp {
    int32_t bits;          // 16 with MPEG sound
    int32_t bit_rate_kbps; // above 0 with MPEG sound
    double sample_rate;    // Hz
    int32_t channels;      // as delivered: 1 or 2
    int32_t layer;         // 1..3
};
static_assert(sizeof(MuxAudioDisp) == 6 * 4, "audio description: int32[6]");
static_assert(offsetof(MuxAudioDisp, sample_rate) == 2 * 4 && offsetof(MuxAudioDisp, channels) == 4 * 4 &&
                  offsetof(MuxAudioDisp, layer) == 5 * 4,
              "audio description layout");

// The head of a BITMAPINFOHEADER.
struct BitmapInfoHead {
    uint32_t size;  // 40
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bit_count;
    char compression[4];
    uint32_t size_image;
    int32_t x_pels_per_meter;
    int32_t y_pels_per_meter;
    uint32_t colors_used;
    uint32_t colors_important;
};
static_assert(sizeof(BitmapInfoHead) == 40, "BITMAPINFOHEADER is 40 bytes");

// get_mpeg4_video: the 80-byte video description of an AVI file.
struct Mpeg4VideoInfo {
    BitmapInfoHead bitmap;  // 0
    int32_t width;          // 40: with height, "the two size fields"
    int32_t height;         // 44
    double frame_rate;      // 48
    char code[4];           // 56: the four-character code of the video stream
    int32_t frame_count;    // 60: video index entries
    int32_t key_frames;     // 64: of them marked key
    int32_t reserved[3];    // 68..79
};
static_assert(sizeof(Mpeg4VideoInfo) == 80, "video block is 80 bytes");
static_assert(offsetof(Mpeg4VideoInfo, width) == 40 && offsetof(Mpeg4VideoInfo, height) == 44 &&
                  offsetof(Mpeg4VideoInfo, frame_rate) == 48 && offsetof(Mpeg4VideoInfo, code) == 56 &&
                  offsetof(Mpeg4VideoInfo, frame_count) == 60 && offsetof(Mpeg4VideoInfo, key_frames) == 64,
              "video block layout");

// The head of a WAVEFORMATEX (byte-packed, as Windows declares it).
#pragma pack(push, 1)
struct WaveFormatHead {
    uint16_t format_tag;
    uint16_t channels;
    uint32_t samples_per_sec;
    uint32_t avg_bytes_per_sec;
    uint16_t block_align;
    uint16_t bits_per_sample;
    uint16_t extra_size;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormatHead) == 18, "WAVEFORMATEX head is 18 bytes");

// get_mpeg4_audio: the 64-byte audio description of an AVI file.
struct Mpeg4AudioInfo {
    WaveFormatHead wave;    // 0: format tag, channels, rate, byte rate, block alignment, bits
    uint16_t padding;       // 18
    int32_t codec;          // 20: the codec field: 0 for PCM (tag 1) and MPEG layer 3 (tag 0x55), else the
                            //     format tag | channels << 16, which the ADPCM decoder library opens
    int32_t chunk_count;    // 24: audio index entries
    uint32_t total_bytes;   // 28: bytes of all audio chunks
    int32_t reserved[5];    // 32..51
    int32_t channels;       // 52
    int32_t sample_rate;    // 56
    int32_t bits;           // 60
};
static_assert(sizeof(Mpeg4AudioInfo) == 64, "audio block is 64 bytes");
static_assert(offsetof(Mpeg4AudioInfo, codec) == 20 && offsetof(Mpeg4AudioInfo, chunk_count) == 24 &&
                  offsetof(Mpeg4AudioInfo, channels) == 52 && offsetof(Mpeg4AudioInfo, sample_rate) == 56 &&
                  offsetof(Mpeg4AudioInfo, bits) == 60,
              "audio block layout");

#pragma pack(pop)

// Stream types of mux_get_main_stream.
enum MuxMainStream : int {
    MUX_TRANSPORT = 0,
    MUX_PROGRAM = 1,
    MUX_PES = 2,
    MUX_ELEMENTARY = 3,
    MUX_AVI = 9,
    MUX_UNKNOWN = 998,   // read, but not a stream the parser knows
    MUX_NOTHING = 999,   // no stream opened (or nothing in it)
};

// Modes of mux_get_audio_mode and mux_get_video_mode.
constexpr int MUX_AUDIO_MPEG = 0;
constexpr int MUX_AUDIO_AC3 = 1;
constexpr int MUX_MODE_NONE = -99;
constexpr int MUX_VIDEO_MPEG = 1;
