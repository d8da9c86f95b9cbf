#include "label_rules.h"

namespace skin {

namespace {
const uint32_t kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4, kDtSingleLine = 0x20;
}

uint32_t label_text_format(uint32_t style, bool has_line_break, bool fixed, uint32_t fixed_format) {
    if (fixed) return fixed_format;
    if (style & kStaticCenterImage) return has_line_break ? kDtCenter : (kDtSingleLine | kDtVCenter | kDtCenter);
    return (style & kStaticRight) ? kDtRight : 0;
}

LabelFlash::TimerChange LabelFlash::start(int flash_kind, unsigned period) {
    TimerChange t;
    t.kill = timer_on;
    phase = false;
    timer_on = true;
    t.start = true;
    t.period = period;
    kind = flash_kind;
    return t;
}

LabelFlash::TimerChange LabelFlash::flash_text(bool on, unsigned period) {
    if (on) return start(kText, period);
    TimerChange t;
    t.kill = timer_on;
    kind = kNone;
    return t;
}

LabelFlash::TimerChange LabelFlash::flash_background(bool on, unsigned period) {
    if (on) return start(kBackground, period);
    TimerChange t;
    t.kill = timer_on;
    return t;
}

}  // namespace skin
