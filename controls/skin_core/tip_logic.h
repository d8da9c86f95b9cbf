// The balloon tip without a window: its shape from the measured text and icon, where its window goes
// so that the tail's point is on the cursor, and the state machine that RelayEvent and the two timers
// drive (the window under the cursor and the timers are the caller's).
#pragma once
#include "skin_scheme.h"
#include "skin_strokes.h"

namespace skin {

struct TipShape {
    int width, height;        // the balloon body (rounded rectangle 0, 0, width, height)
    Point tail[3];            // the tail triangle, its second point the tail's tip
    int window_width, window_height;
};
// `text` is the DT_CALCRECT size of the text; `icon` 0 x 0 when the tool has no icon.
TipShape tip_shape(Size text, Size icon);

// The window origin that puts the tail's tip on `cursor`, moved inside `work_area` when it would leave it.
Point tip_window_origin(Point cursor, const TipShape& shape, Rect work_area);

// Rest timer 100 (the delay) and watch timer 101 (200 ms) of the tip.
constexpr unsigned kTipRestTimer = 100;
constexpr unsigned kTipWatchTimer = 101;
constexpr unsigned kTipWatchPeriod = 200;

class TipRelay {
public:
    // What the window must do after an event, in this order: kill timers, hide, take the tool's icon
    // and text and start the rest timer, or show at position() and start the watch timer.
    struct Actions {
        bool hide = false;
        bool kill_rest = false;
        bool kill_watch = false;
        const void* start_rest_for = nullptr;  // the tool whose text and icon to take
        bool show = false;
    };

    // `tool` is the registered tool under the cursor, or null.
    Actions mouse_move(Point cursor, const void* tool);
    Actions button_down();
    Actions rest_elapsed(Point cursor, const void* tool);
    Actions watch_elapsed(Point cursor);

    bool showing() const { return m_showing; }
    bool suppressed() const { return m_suppressed; }
    Point position() const { return m_position; }

private:
    Point m_position;
    bool m_showing = false;
    bool m_suppressed = false;
};

}  // namespace skin
