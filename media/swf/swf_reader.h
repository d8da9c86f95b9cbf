// Reader of Flash movie (SWF) files: loads a whole file into memory, inflates a compressed ("CWS")
// body, and parses the file header, the movie header and the tag stream. It keeps what the converter
// needs (picture size, frame rate, the video stream's codec and frame count, the sound stream's
// format) and an index of every SoundStreamBlock (19) and VideoFrame (61) tag, whose bodies are read
// from the context's buffer with swf_tag_body: the offsets lie in that buffer, which for a "CWS" file
// holds the inflated body, so they are right for both kinds of file.
//
// Each context owns its buffer and its tag index, so the probe, an input branch and the analysis can
// each read a file on their own thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct SwfTagEntry {
    uint32_t offset;      // body offset from the buffer start
    uint32_t length;      // body length
    int32_t code;         // 19 SoundStreamBlock or 61 VideoFrame
    int32_t char_id;      // first 16-bit value of a "Define..." tag's body, else -1 (so -1 here)
    int64_t file_offset;  // offset plus the context's base offset
};

struct SwfRect {
    int bits = 0;
    int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

enum SwfParseState { kSwfFileHeader = 0, kSwfMovieHeader = 1, kSwfTags = 2, kSwfEnd = 3 };
enum SwfParseResult { kSwfNeedData = 1, kSwfBadSignature = 3, kSwfDone = 4 };

struct SwfParser {
    // The bytes held and the read cursor (an offset into them).
    std::vector<uint8_t> buffer;
    size_t cursor = 0;
    int64_t base_offset = 0;  // file position of buffer[0]

    // File header.
    int compressed = 0;  // 1 for "CWS"
    int version = 0;
    uint32_t file_length = 0;
    // Movie header.
    int frame_width = 0, frame_height = 0;  // pixels (twips x 0.05, whole part)
    double frame_rate = 0;                  // frames a second
    int frame_count = 0;
    // The tag being read.
    int tag_code = 0;
    uint32_t tag_length = 0;
    // DefineVideoStream (60).
    int video_width = 0, video_height = 0, video_frames = 0, video_codec = 0;
    // SoundStreamHead (18) / SoundStreamHead2 (45).
    int sound_rate = 0, sound_channels = 0, sound_format = 0, sound_bits = 0;

    int state = kSwfFileHeader;
    int parse_result = 0;  // the last swf_parse result
    std::vector<SwfTagEntry> tags;
};

// The function type of zlib's uncompress with 32-bit lengths: returns 0, or a negative zlib code.
using SwfUncompressFn = int (*)(unsigned char* dest, uint32_t* dest_len, const unsigned char* src,
                                uint32_t src_len);
// The picture library that inflates "CWS" bodies: tolmpicpack.dll in the program, zlib natively.
struct SwfPictureLibrary {
    int (*load)();    // 0 when the library is bound
    void (*unload)();
    SwfUncompressFn uncompress;
};
// Installs the library swf_load binds (null: none, swf_load then returns -1); returns the previous one.
const SwfPictureLibrary* swf_set_picture_library(const SwfPictureLibrary* library);

// Largest inflated body of a "CWS" file.
constexpr uint32_t kSwfMaxInflated = 256u << 20;
// Largest buffer a context holds (tag offsets stay 32-bit).
constexpr size_t kSwfMaxBuffer = 0x7FFFFFFF;

SwfParser* swf_new();
void swf_free(SwfParser* ctx);
// Appends n bytes to the buffer; the cursor keeps its offset. -1 when the buffer would pass
// kSwfMaxBuffer or memory runs out, else 0.
int swf_buffer_append(SwfParser* ctx, const uint8_t* bytes, size_t n);
// Loads and parses a whole file: 0 (the parse result is in parse_result); -1 when the picture library
// cannot be bound; -2 when the file cannot be read or is shorter than 10 bytes; -3 when a "CWS" body
// does not inflate to exactly the length its header states (at most kSwfMaxInflated).
int swf_load(SwfParser* ctx, const char* path);
// Runs the state machine over the bytes held: kSwfDone at the End tag, kSwfNeedData when they run out
// (call again after appending more), kSwfBadSignature.
int swf_parse(SwfParser* ctx);
// Length of the file in bytes, 0 when it cannot be opened.
int64_t swf_file_length(const char* path);

// The movie's frame RECT at the cursor (the caller has checked the bytes are held); the cursor moves
// to the next whole byte after it.
SwfRect swf_read_rect(SwfParser* ctx);
// Bytes a RECT starting with this byte occupies.
size_t swf_rect_size(uint8_t first_byte);
// The tag header at the cursor: sets tag_code and tag_length and returns the header's size (2 or 6),
// or 0 when the header is not held yet. The cursor does not move.
int swf_read_tag(SwfParser* ctx);

// The body of index entry i (null when i is out of range); *length receives its length.
const uint8_t* swf_tag_body(const SwfParser* ctx, size_t i, uint32_t* length);
