// Where the video window's picture goes on the screen: the destination is the window's client area in
// screen coordinates (widened by the driver's minimum overlay stretch, its size aligned when the driver
// asks), cut to the screen with the source rectangle cut in proportion.
#pragma once

struct VideoRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct VideoDisplayRules {
    int min_stretch = 1000;  // thousandths; raised to 1000 when below
    int align_dest = 0;      // destination width a multiple of this (0 or 1: none)
    int align_src = 0;       // source width a multiple of this (0 or 1: none)
};

// The source (of a picture_width x picture_height surface) and destination rectangles for a client
// area at `client` (screen coordinates) on a screen_width x screen_height screen. False when nothing
// of it can be shown (empty client area or picture, or wholly off the screen).
bool video_display_rects(const VideoRect& client, int screen_width, int screen_height, int picture_width,
                         int picture_height, const VideoDisplayRules& rules, VideoRect* source, VideoRect* dest);
