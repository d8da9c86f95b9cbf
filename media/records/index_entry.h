// One entry of a file's frame index: the stored 28-byte layout shared by the probe's index files,
// the analysis files and the timeline.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct IndexEntry {
    uint8_t is_key;      // 1 key frame (FLV: frame type 1 key, 2 inter, 3 disposable)
    uint8_t padding[3];
    int32_t position;    // byte offset of the frame data, frame number (MTV, AMV) or MP4 sample value
    int32_t length;      // frame data size; the frame number again for MTV, AMV
    int32_t time_ms;     // presentation time
    int16_t aux_w;
    int16_t aux_h;
    int32_t data_size;   // bytes of packed thumbnail following the entry in an analysed index file
    uint32_t data_ptr;   // a 32-bit pointer in the original layout: written 0, ignored on reading
};
#pragma pack(pop)

static_assert(sizeof(IndexEntry) == 28);
static_assert(offsetof(IndexEntry, is_key) == 0);
static_assert(offsetof(IndexEntry, position) == 4);
static_assert(offsetof(IndexEntry, length) == 8);
static_assert(offsetof(IndexEntry, time_ms) == 12);
static_assert(offsetof(IndexEntry, aux_w) == 16);
static_assert(offsetof(IndexEntry, aux_h) == 18);
static_assert(offsetof(IndexEntry, data_size) == 20);
static_assert(offsetof(IndexEntry, data_ptr) == 24);
