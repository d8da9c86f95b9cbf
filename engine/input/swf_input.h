// The SWF branch's range over its walk of the movie's VideoFrame tags.
#pragma once
#include <climits>
#include "media/records/segment_list.h"

namespace swf_input {

// Pictures used from `start` (those before are decoded for the decoder only, with no sound), reading
// ends before picture `end` (the range end picture itself is the last one used).
struct Range {
    int start = 0;
    int end = INT_MAX;
};
// From the record's range over its entries (at most the entries listed, held and of the movie): a start
// past them is clamped to the last one; an end at or before the start, or past them, reads to the end.
// Without a record, the whole movie.
Range range_of(const MediaFile* file, int video_frames);

}  // namespace swf_input
