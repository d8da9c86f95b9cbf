// The timeline's mouse, free of windows: panning outside edit mode, picking and dragging a range edge
// in edit mode, double clicks on the armed edge, hover over a thumbnail. Each handler changes the
// state and says what the window has to do.
#pragma once
#include <optional>
#include <vector>
#include "timeline_paint.h"

enum class TlCursor { Unchanged, Arrow, Cross, Hand };

struct MouseFrame {
    int scroll_x = 0;
    int client_height = 0;
    bool busy = false;  // a playback or conversion runs
};

struct MouseOutcome {
    bool call_default = true;
    TlCursor cursor = TlCursor::Unchanged;
    std::optional<int> scroll_to;
    int notify_code = 0;   // 9991 (start) or 9992 (end) to the owner, with notify_value
    int notify_value = 0;
    int hover_entry = -1;  // a drawn thumbnail under the mouse: ask for it large
    bool invalidate = false;
    bool capture = false;  // the mouse belongs to the view until the button is let go
    bool release = false;
    std::vector<int> cursor_lines;  // XOR cursor lines to draw, in order, at these client x
};

MouseOutcome timeline_button_down(TimelineState& st, const MouseFrame& f, int px, int py);
MouseOutcome timeline_button_up(TimelineState& st, const MouseFrame& f, int px, int py);
MouseOutcome timeline_mouse_move(TimelineState& st, const MouseFrame& f, const ThumbSpots& spots, int px, int py);
MouseOutcome timeline_double_click(TimelineState& st, const MouseFrame& f, int px, int py);
