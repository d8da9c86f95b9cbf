#include "scroll_rules.h"

namespace skin {

const BarMetrics& bar_metrics(BarAxis axis) {
    static const BarMetrics horizontal{0, 26, 25, 75, 51, 20};
    static const BarMetrics vertical{11, 37, 36, 98, 62, 12};
    return axis == BarAxis::Horizontal ? horizontal : vertical;
}

int clamp_thumb(BarAxis axis, int length, int thumb) {
    const BarMetrics& m = bar_metrics(axis);
    const int far_arrow = length - m.back_end;
    if (far_arrow < thumb + kThumbLength) thumb = length - m.last_from_end;
    if (thumb < m.thumb_start) thumb = m.thumb_start;
    return thumb;
}

Thumb bar_thumb(BarAxis axis, int length, int limit, int position) {
    const BarMetrics& m = bar_metrics(axis);
    Thumb t{m.thumb_start, 0.0, false};
    if (limit <= 0) return t;
    t.scale = (double)(length - m.fixed) / limit;
    if (t.scale <= 0) {
        t.scale = 0;
        return t;
    }
    t.scrolls = true;
    t.position = clamp_thumb(axis, length, m.thumb_start + (int)(t.scale * position));
    return t;
}

BarPart bar_hit(BarAxis axis, int length, int thumb, int along, int across) {
    const BarMetrics& m = bar_metrics(axis);
    if (across < 0 || across >= m.across || along < 0 || along >= length) return BarPart::None;
    if (along >= m.back_start && along < m.back_end) return BarPart::BackArrow;
    if (along >= length - m.back_end && along < length - m.back_start) return BarPart::ForwardArrow;
    if (along >= thumb && along < thumb + kThumbLength) return BarPart::Thumb;
    return BarPart::Track;
}

int drag_scroll(BarAxis axis, const Thumb& thumb, int cursor, int position) {
    if (!thumb.scrolls || thumb.scale <= 0) return 0;
    const int dragged = cursor - kThumbGrab;
    return (int)((dragged - bar_metrics(axis).thumb_start) / thumb.scale - position);
}

BarCommand release_command(BarAxis axis, BarPart part, bool back_pressed, bool forward_pressed, int thumb, int cursor) {
    const bool any_release = axis == BarAxis::Horizontal;
    switch (part) {
    case BarPart::BackArrow:
        return any_release || back_pressed ? BarCommand::LineBack : BarCommand::None;
    case BarPart::ForwardArrow:
        return any_release || forward_pressed ? BarCommand::LineForward : BarCommand::None;
    case BarPart::Thumb:
        return BarCommand::None;
    case BarPart::Track:
    case BarPart::None:
        break;
    }
    // A release beside the bar but level with the thumb (the end of a drag) pages nowhere.
    if (cursor >= thumb && cursor < thumb + kThumbLength) return BarCommand::None;
    return thumb < cursor ? BarCommand::PageForward : BarCommand::PageBack;
}

}  // namespace skin
