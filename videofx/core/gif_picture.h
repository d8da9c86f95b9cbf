// A GIF file as the picture overlay uses it: the first frame composed into a picture of the logical
// screen's size.
#pragma once
#include "engine/image/rgb_image.h"
#include "videofx/core/gif_decoder.h"

namespace videofx {

// The frame drawn at its left and top on a black screen-sized canvas (clipped to it), its indices
// mapped through its local table when it has one, else the global table, indices beyond the table
// black; an interlaced frame's rows are put in display order. Transparency is not applied.
CRgbImage gif_frame_picture(const GifInfo& info, const GifFrame& frame);

// The first frame of a GIF file (decoded on demand) as above; an empty image when the file cannot
// be opened, its first frame is damaged, or the screen is larger than CRgbImage takes.
CRgbImage gif_first_frame_picture(const char* path);

}  // namespace videofx
