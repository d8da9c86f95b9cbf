// The timeline's picture: the shown file's entries as 3-pixel columns with the cut range, a grid,
// the key entries' thumbnails and time labels, the title and the end marker; an empty list shows
// a film-frame picture and a message. Painted in content coordinates on any canvas.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "media/records/segment_list.h"
#include "timeline_draw.h"

// The thumbnail unpacker (the bound picture packer's uncompress): 0 or more on success.
using ThumbUnpackFn = std::function<int(unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len)>;

// What the view shows and how it is being edited.
struct TimelineState {
    SegmentList segments;
    int sel_start = 0;
    int sel_end = 0;
    bool edit_mode = false;
    std::string file_path;
    // Mouse state: which edge a double click moves, the edge being dragged (0 none, 1 start, 2 end)
    // with the x of its cursor line, and the panning anchor.
    bool start_armed = false;
    bool end_armed = false;
    int drag_edge = 0;
    int cursor_x = 0;
    bool panning = false;
    int pan_scroll_x = 0;
    int pan_mouse_x = 0;
};

struct PaintContext {
    int scroll_x = 0;
    int client_width = 0;
    int client_height = 0;
    skin::Colour ui = 0;
    EdgeColours edges;
    ThumbUnpackFn unpack;
};

// A thumbnail the last paint drew: (entry index, content x).
using ThumbSpots = std::vector<std::pair<int, int>>;

// Paints the whole picture and returns the thumbnails drawn.
ThumbSpots paint_timeline(TimelineCanvas& canvas, const TimelineState& state, const PaintContext& ctx);

// The entry whose drawn thumbnail covers content x c, in the order of the spots, or -1.
int thumb_at(const ThumbSpots& spots, const SegmentList& segments, int c);
