// In-memory frame index of a file: the stored entries with the thumbnails they own.
#pragma once
#include <cstdint>
#include <vector>
#include "index_entry.h"
#include "media_file_record.h"

// A packed 128 x 88 thumbnail (33,792 picture bytes) with the packer's worst-case growth.
constexpr int32_t kMaxThumbnailBytes = 34 * 1024;

struct Segment {
    // entry.data_size always equals thumbnail.size() and entry.data_ptr is 0.
    IndexEntry entry{};
    std::vector<uint8_t> thumbnail;

    bool has_thumbnail() const { return !thumbnail.empty(); }
    void set_thumbnail(std::vector<uint8_t> packed) {
        thumbnail = std::move(packed);
        entry.data_size = static_cast<int32_t>(thumbnail.size());
        entry.data_ptr = 0;
    }
};

using SegmentList = std::vector<Segment>;

// A file-table row: the stored record and the segment list loaded for it.
struct MediaFile {
    MediaFileRecord record{};
    SegmentList segments;
};
