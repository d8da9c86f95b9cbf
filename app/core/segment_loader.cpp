#include "segment_loader.h"
#include <algorithm>
#include <cstring>

SegmentLoad load_segments(MediaFile& file) {
    if (!file.segments.empty()) return SegmentLoad::Present;
    const MediaFileRecord& r = file.record;
    if (strnlen(r.index_path, sizeof r.index_path) <= 3 || strnlen(r.index_path, sizeof r.index_path) == sizeof r.index_path)
        return SegmentLoad::NoIndex;
    IndexFile index;
    if (read_index_file(r.index_path, index) != IndexError::None) return SegmentLoad::Refused;
    // A picture without area or beyond any video we read is not this file's index.
    if (index.width < 1 || index.height < 1 || index.width > kMaxLoadedPictureSide ||
        index.height > kMaxLoadedPictureSide || index.segments.empty())
        return SegmentLoad::Refused;
    adopt_index(file, std::move(index));
    return SegmentLoad::Loaded;
}

void shown_range(const MediaFile& file, int& start, int& end) {
    const int n = int(file.segments.size());
    if (n < 1) {
        start = end = 0;
        return;
    }
    start = std::clamp(file.record.range_start, 0, n - 1);
    end = std::clamp(file.record.range_end, 0, n - 1);
    if (end <= start) {
        start = 0;
        end = n - 1;
    }
}

void range_for_new_list(MediaFileRecord& record, int old_count, int new_count) {
    const bool kept = old_count == new_count && record.range_start >= 0 && record.range_start < record.range_end &&
                      record.range_end < new_count;
    if (kept) return;
    record.range_start = 0;
    record.range_end = new_count > 0 ? new_count - 1 : 0;
}
