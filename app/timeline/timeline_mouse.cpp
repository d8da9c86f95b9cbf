#include "timeline_mouse.h"
#include "timeline_rules.h"

namespace {

// Lists this short have nothing to pan or cut.
constexpr int kMinEntriesForMouse = 3;

int entries(const TimelineState& st) { return int(st.segments.size()); }

// Sets the start (edge 1) or end (edge 2) from content x c when the rule allows it: the cursor line
// moves to px and the owner hears of it; otherwise only a repaint.
void set_edge(TimelineState& st, int edge, int c, int px, MouseOutcome& out) {
    const int n = entries(st);
    const std::optional<int> moved = edge == 1 ? moved_start(c, st.sel_end, n) : moved_end(c, st.sel_start, n);
    if (!moved) {
        out.invalidate = true;
        return;
    }
    (edge == 1 ? st.sel_start : st.sel_end) = *moved;
    out.cursor_lines.push_back(st.cursor_x);
    out.cursor_lines.push_back(px);
    st.cursor_x = px;
    out.notify_code = edge == 1 ? 9991 : 9992;
    out.notify_value = *moved;
}

}  // namespace

MouseOutcome timeline_button_down(TimelineState& st, const MouseFrame& f, int px, int) {
    MouseOutcome out;
    if (!st.edit_mode) {
        st.pan_mouse_x = px;
        st.pan_scroll_x = f.scroll_x;
        st.panning = true;
        out.cursor = TlCursor::Hand;
        out.capture = true;
        return out;
    }
    if (st.segments.empty()) return out;
    st.drag_edge = near_edge(px, st.sel_start, f.scroll_x) ? 1 : near_edge(px, st.sel_end, f.scroll_x) ? 2 : 0;
    if (st.drag_edge == 0) {
        out.cursor = TlCursor::Arrow;
        return out;
    }
    out.cursor = TlCursor::Cross;
    out.cursor_lines.push_back(px);
    st.cursor_x = px;
    out.capture = true;
    return out;
}

MouseOutcome timeline_button_up(TimelineState& st, const MouseFrame& f, int px, int) {
    MouseOutcome out;
    if (entries(st) < kMinEntriesForMouse) {
        // A capture taken on a short list is still given back.
        out.call_default = false;
        out.release = st.panning || st.drag_edge != 0;
        st.panning = false;
        st.drag_edge = 0;
        return out;
    }
    out.release = st.panning || st.drag_edge != 0;
    if (!st.edit_mode) {
        out.scroll_to = st.pan_scroll_x + st.pan_mouse_x - px;
        st.pan_mouse_x = px;
        st.panning = false;
        out.invalidate = true;
    }
    if (st.drag_edge == 0) return out;
    set_edge(st, st.drag_edge, f.scroll_x + px, px, out);
    st.drag_edge = 0;
    out.cursor = TlCursor::Arrow;
    return out;
}

MouseOutcome timeline_mouse_move(TimelineState& st, const MouseFrame& f, const ThumbSpots& spots, int px, int py) {
    MouseOutcome out;
    if (entries(st) < kMinEntriesForMouse) {
        out.call_default = false;
        return out;
    }
    if (st.edit_mode) {
        out.call_default = false;
        if (st.drag_edge == 0) {
            if (py > 0 && py < band_height(f.client_height))
                out.cursor = near_edge(px, st.sel_start, f.scroll_x) || near_edge(px, st.sel_end, f.scroll_x)
                                 ? TlCursor::Cross
                                 : TlCursor::Arrow;
        } else {
            out.cursor_lines.push_back(st.cursor_x);
            out.cursor_lines.push_back(px);
            st.cursor_x = px;
        }
        return out;
    }
    if (f.busy) return out;
    if (st.panning) out.scroll_to = st.pan_scroll_x + st.pan_mouse_x - px;
    out.hover_entry = thumb_at(spots, st.segments, f.scroll_x + px);
    out.cursor = st.panning ? TlCursor::Hand : TlCursor::Arrow;
    return out;
}

MouseOutcome timeline_double_click(TimelineState& st, const MouseFrame& f, int px, int) {
    MouseOutcome out;
    if (entries(st) < kMinEntriesForMouse) {
        out.call_default = false;
        return out;
    }
    if (!st.edit_mode) return out;
    const int c = f.scroll_x + px;
    if (st.start_armed) set_edge(st, 1, c, px, out);
    else if (st.end_armed) set_edge(st, 2, c, px, out);
    else return out;
    st.drag_edge = 0;
    out.cursor = TlCursor::Arrow;
    return out;
}
