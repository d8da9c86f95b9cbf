// Colour schemes, the start-up order of the UI colour, and the frame geometry derived from the skin
// bitmaps: the window-free half of the skin drawing module.
#pragma once
#include "skin_colour.h"

namespace skin {

struct Scheme {
    Colour main, dark, accent;
};

// Scheme n (1..4); any other value gives the grey scheme.
Scheme scheme(int n);

struct UiColours {
    Colour main, dark, accent, ui;
};

// The colours at start-up: the scheme first, then the UI colour the user saved (when there is one),
// so that the user's colour survives a restart instead of being replaced by the scheme's dark colour.
UiColours startup_colours(int scheme_number, bool have_saved_ui, Colour saved_ui);

struct Size {
    int width = 0, height = 0;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Sizes of the frame bitmaps the metrics come from.
struct FrameBitmaps {
    Size caption, left, right, bottom;
};

struct FrameMetrics {
    int caption_height;       // caption bar height / 2
    int side_width;           // left piece width / 2
    int right_half_width;     // right piece width / 2
    int bottom_half_height;   // bottom piece height / 2
    int caption_text_x;       // 70
    int caption_text_y;       // 0
    int caption_piece_width;  // caption bar width - 84, at least 77
    int left_piece_height;    // left piece height - 13, at least 34
    int right_piece_height;   // right piece height - 13, at least 34
    int bottom_piece_width;   // bottom piece width, at least 1
};

FrameMetrics frame_metrics(const FrameBitmaps& bitmaps);

// The caption buttons that have a bitmap strip of three cells.
bool is_caption_button(int which);

// Rectangle of caption button `which` (0 close, 1, 4) in window coordinates for a window `window_width`
// wide, from its strip of three cells; an unknown button gives an empty rectangle.
Rect caption_button_rect(int window_width, int which, Size strip);

}  // namespace skin
