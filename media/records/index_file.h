// Index files: the header, the entries (each optionally followed by its packed thumbnail) and, for
// FLV and analysed SWF files, a trailer with two parameter-set blocks. One writer and one checked
// reader serve the probe, the analysis and the segment loader.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "base/fileio.h"
#include "segment_list.h"

#pragma pack(push, 1)
struct IndexFileHeader {
    int32_t codec;
    int32_t width;
    int32_t height;
    double frame_rate;
    int32_t count;
};
#pragma pack(pop)
static_assert(sizeof(IndexFileHeader) == 24);
static_assert(offsetof(IndexFileHeader, frame_rate) == 12 && offsetof(IndexFileHeader, count) == 20);

struct IndexFile {
    int32_t codec = 0;
    int32_t width = 0;
    int32_t height = 0;
    double frame_rate = 0.0;
    SegmentList segments;
    bool has_blocks = false;      // the two-block trailer is present (FLV; SWF after analysis)
    std::vector<uint8_t> block1;  // AVC parameter sets with start codes, at most kParamBlockSize
    std::vector<uint8_t> block2;  // AAC AudioSpecificConfig, at most kParamBlockSize
};

enum class IndexError {
    None,
    CannotOpen,
    CannotWrite,
    TooLarge,          // file beyond what an index can hold
    ShortHeader,
    BadHeader,         // negative or absurd size, frame rate not finite
    BadCount,          // negative entry count, or more entries than bytes
    ShortEntries,
    BadThumbnail,      // negative or oversized thumbnail length
    ShortThumbnail,
    BadBlock,          // block length negative or above kParamBlockSize
    ShortBlock,
    TrailingBytes,     // bytes after the entries that do not form a trailer exactly
};

const char* index_error_name(IndexError error);

// Largest picture side an index header may carry.
constexpr int32_t kMaxIndexPictureSide = 16384;
// Largest index file the reader accepts.
constexpr int64_t kMaxIndexFileBytes = int64_t(1) << 30;

// Parses an index file held in memory; on error `out` is left empty.
IndexError parse_index_file(const uint8_t* data, size_t size, IndexFile& out);
IndexError read_index_file(const char* path, IndexFile& out);

// The stored bytes of an index; fails on blocks or thumbnails beyond their limits.
IndexError encode_index_file(const IndexFile& index, std::vector<uint8_t>& bytes);
// Writes to an open file (the caller decides whether an existing file may be replaced).
IndexError write_index_file(fileio::File& file, const IndexFile& index);

// Moves a read index into a file-table row: segment list, segment count and parameter blocks.
void adopt_index(MediaFile& file, IndexFile&& index);
