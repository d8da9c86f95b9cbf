#include "tip_logic.h"
#include <algorithm>

namespace skin {

namespace {
bool same(Point a, Point b) { return a.x == b.x && a.y == b.y; }
}  // namespace

TipShape tip_shape(Size text, Size icon) {
    TipShape s;
    int w = text.width + 24, h = text.height + 20;
    if (icon.width > 0 || icon.height > 0) {
        w += icon.width + 5;
        h = std::max(h, icon.height);
    }
    s.width = w;
    s.height = h;
    s.tail[0] = {w - 12, h - 10};
    s.tail[1] = {w - 12, h + 10};
    s.tail[2] = {w - 37, h - 10};
    s.window_width = w;
    s.window_height = h + 20;
    return s;
}

Point tip_window_origin(Point cursor, const TipShape& shape, Rect area) {
    Point p{cursor.x - shape.window_width + 12, cursor.y - shape.window_height + 10};
    // Inside the work area: the right and bottom edges first, so that a tip larger than the area
    // keeps its top-left corner visible.
    p.x = std::min(p.x, area.right - shape.window_width);
    p.y = std::min(p.y, area.bottom - shape.window_height);
    p.x = std::max(p.x, area.left);
    p.y = std::max(p.y, area.top);
    return p;
}

TipRelay::Actions TipRelay::mouse_move(Point cursor, const void* tool) {
    Actions a;
    if (same(cursor, m_position)) return a;
    if (tool) {
        m_position = cursor;
        m_suppressed = false;
        if (!m_showing) a.start_rest_for = tool;
    }
    if (!same(m_position, cursor)) {
        a.hide = true;
        m_showing = false;
        m_suppressed = false;
    }
    return a;
}

TipRelay::Actions TipRelay::button_down() {
    Actions a;
    a.hide = true;
    m_showing = false;
    m_suppressed = true;
    return a;
}

TipRelay::Actions TipRelay::rest_elapsed(Point cursor, const void* tool) {
    Actions a;
    a.kill_rest = true;
    if (tool) {
        m_position = cursor;
        m_showing = true;
    }
    if (m_showing && !m_suppressed) a.show = true;
    m_suppressed = false;
    return a;
}

TipRelay::Actions TipRelay::watch_elapsed(Point cursor) {
    Actions a;
    if (!same(cursor, m_position)) {
        a.kill_watch = true;
        a.hide = true;
        m_showing = false;
        m_suppressed = false;
    }
    return a;
}

}  // namespace skin
