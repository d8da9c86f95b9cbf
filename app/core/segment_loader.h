// Reads a restored file's index back into its row. The saved media list keeps records without their
// segment lists (the pointers it held are stale), so a row with an index file and no segments gets
// them from that file when the timeline shows it or a job uses it: entries, thumbnails and parameter
// blocks; the record's saved range stays as it was.
#pragma once
#include "media/records/index_file.h"

enum class SegmentLoad {
    Present,   // the row already had segments
    NoIndex,   // no index file named
    Loaded,
    Refused,   // the file could not be read or is not a usable index: the row is unchanged
};

// Largest picture side a usable index describes.
constexpr int32_t kMaxLoadedPictureSide = 4096;

SegmentLoad load_segments(MediaFile& file);

// The range a timeline shows for a row: its saved range clamped to the list, or the whole list when
// the saved one is empty (a file never cut).
void shown_range(const MediaFile& file, int& start, int& end);

// The saved range once a new list of `new_count` entries replaces one of `old_count` (an analysis
// ending): a range cut on the old list is kept when the list has the same entries and the range lies
// within it; otherwise the whole new list.
void range_for_new_list(MediaFileRecord& record, int old_count, int new_count);
