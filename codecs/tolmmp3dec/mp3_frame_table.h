// The table of whole MPEG audio frames that the MPEG demultiplexer hands to mp3_play: 32 records of a
// frame (at most 1600 bytes) and its length. Portable (no Win32), so the demultiplexer and the DLL
// share the one layout.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int kMp3FrameTableRecords = 32;
constexpr int kMp3FrameBytes = 1600;

struct Mp3FrameRecord {
    uint8_t frame[kMp3FrameBytes];
    int32_t length;
};
static_assert(sizeof(Mp3FrameRecord) == 1604, "a frame record is 1600 bytes and an int32");
static_assert(offsetof(Mp3FrameRecord, length) == 1600, "the length follows the frame bytes");
static_assert(sizeof(Mp3FrameRecord[kMp3FrameTableRecords]) == 32 * 1604, "32 records without gaps");
