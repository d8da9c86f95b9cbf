// The FLV branch's own tag reading, free of the decoders so it is tested on its own: the file header,
// the 15-byte tag records, the AVC length prefixes turned into start codes, and the range taken from
// the file's record by file positions.
#pragma once
#include <cstddef>
#include <cstdint>
#include "media/records/segment_list.h"

namespace flv {

constexpr int kHeaderBytes = 9;
constexpr int kRecordBytes = 15;  // size of the previous tag (4), type, body length (3), time (3 + 1), stream id (3)
// An entry's position is its tag's body + 1; the tag's record starts 16 bytes before it.
constexpr int64_t kEntryToRecord = 16;
// The end position without a range: past any file.
constexpr int64_t kNoEnd = INT64_MAX;

// The header size a file header gives (the position of the first record), or -1 when the first four
// bytes are not "FLV" and version 1. A stated size below 9 is taken as 9.
int64_t header_size(const uint8_t* header, size_t length);

struct TagRecord {
    int type = 0;          // 8 sound, 9 video, others (18 script) are stepped over
    uint32_t body = 0;     // body length
    uint32_t time_ms = 0;  // (extended byte << 24) | low 24 bits
};
TagRecord read_record(const uint8_t* record);

// H.264 data of a video tag (after its five header bytes): 4-byte big-endian lengths turned into
// 00 00 00 01 in place. Data whose first four bytes read 0 or 1 is already in start-code form and is
// left as it is. The walk stops at a length that runs past the data. Returns the prefixes rewritten.
int avc_to_start_codes(uint8_t* data, size_t length);

// Where a job reads and uses its file: from `read_from` (the record of the key frame at or before the
// range's start), pictures and sound used from records at or after `start`, reading ends at a record
// at or after `end`. `first_frame` numbers the picture at `read_from`; `start_frame` the first used.
struct Range {
    int64_t read_from = 0;
    int64_t start = 0;
    int64_t end = kNoEnd;
    int first_frame = 0;
    int start_frame = 0;
    uint32_t start_time_ms = 0;
};
// The range of `file`'s record over its entries (at most the entries listed and held; outside them
// nothing is marked); without a record or with no entries, the whole file from `header`. A range
// start past the list is clamped to its last entry; an end at or before the start, or past the list,
// reads to the file's end.
Range range_of(const MediaFile* file, int64_t header);

}  // namespace flv
