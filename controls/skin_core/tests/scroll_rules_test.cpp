// The skinned scroll bars' geometry: the thumb for a scroll limit and position (a limit of 0 and bars
// too short to scale included), hit tests, thumb drags and what a release does.
#include "controls/skin_core/scroll_rules.h"
#include <gtest/gtest.h>

namespace {

using skin::BarAxis;
using skin::BarCommand;
using skin::BarPart;

TEST(ScrollBars, ThumbFollowsTheScrollPositionAndStaysBetweenTheArrows) {
    struct Case { BarAxis axis; int length, limit, pos; int thumb; bool scrolls; const char* why; };
    const Case cases[] = {
        {BarAxis::Horizontal, 200, 0, 0, 25, false, "limit 0: the start, no division"},
        {BarAxis::Horizontal, 200, -3, 5, 25, false, "a negative limit likewise"},
        {BarAxis::Horizontal, 75, 40, 10, 25, false, "no room to move (w - 75 = 0)"},
        {BarAxis::Horizontal, 60, 40, 10, 25, false, "a bar under 75 pixels"},
        {BarAxis::Horizontal, 200, 125, 0, 25, true, "scale 1"},
        {BarAxis::Horizontal, 200, 125, 50, 75, true, "25 + 50"},
        {BarAxis::Horizontal, 200, 125, 124, 149, true, "25 + 124 passes the right arrow: w - 51"},
        {BarAxis::Horizontal, 200, 250, 51, 50, true, "scale 0.5: 25 + 25.5 truncated"},
        {BarAxis::Vertical, 200, 0, 7, 36, false, "limit 0"},
        {BarAxis::Vertical, 98, 10, 3, 36, false, "no room (h - 98 = 0)"},
        {BarAxis::Vertical, 200, 51, 10, 56, true, "scale 2: 36 + 20"},
        {BarAxis::Vertical, 200, 51, 50, 136, true, "36 + 100"},
        {BarAxis::Vertical, 200, 51, 51, 138, true, "36 + 102 passes the down arrow: h - 62"},
    };
    for (const Case& c : cases) {
        skin::Thumb t = skin::bar_thumb(c.axis, c.length, c.limit, c.pos);
        EXPECT_EQ(c.thumb, t.position) << c.why;
        EXPECT_EQ(c.scrolls, t.scrolls) << c.why;
    }
    // A thumb left of its start goes back to it.
    EXPECT_EQ(25, skin::clamp_thumb(BarAxis::Horizontal, 200, 3));
    EXPECT_EQ(36, skin::clamp_thumb(BarAxis::Vertical, 200, -10));
}

TEST(ScrollBars, HitTests) {
    struct Case { BarAxis axis; int along, across; BarPart part; };
    const Case cases[] = {
        {BarAxis::Horizontal, 5, 5, BarPart::BackArrow},
        {BarAxis::Horizontal, 25, 19, BarPart::BackArrow},
        {BarAxis::Horizontal, 190, 5, BarPart::ForwardArrow},
        {BarAxis::Horizontal, 174, 5, BarPart::ForwardArrow},
        {BarAxis::Horizontal, 80, 5, BarPart::Thumb},
        {BarAxis::Horizontal, 120, 5, BarPart::Track},
        {BarAxis::Horizontal, 80, 20, BarPart::None},  // below the 20-pixel hit band
        {BarAxis::Vertical, 5, 5, BarPart::Track},     // the top cap
        {BarAxis::Vertical, 20, 5, BarPart::BackArrow},
        {BarAxis::Vertical, 170, 5, BarPart::ForwardArrow},
        {BarAxis::Vertical, 195, 5, BarPart::Track},   // the bottom corner
        {BarAxis::Vertical, 100, 5, BarPart::Thumb},
        {BarAxis::Vertical, 100, 12, BarPart::None},
    };
    for (const Case& c : cases) {
        int thumb = c.axis == BarAxis::Horizontal ? 75 : 90;
        EXPECT_EQ(c.part, skin::bar_hit(c.axis, 200, thumb, c.along, c.across)) << c.along << "," << c.across;
    }
}

TEST(ScrollBars, DragsScrollByTheThumbsTravel) {
    skin::Thumb h = skin::bar_thumb(BarAxis::Horizontal, 200, 125, 0);
    EXPECT_EQ(62, skin::drag_scroll(BarAxis::Horizontal, h, 100, 0));   // (100 - 13 - 25) / 1 - 0
    EXPECT_EQ(-20, skin::drag_scroll(BarAxis::Horizontal, h, 100, 82));
    skin::Thumb v = skin::bar_thumb(BarAxis::Vertical, 200, 51, 5);
    EXPECT_EQ(10, skin::drag_scroll(BarAxis::Vertical, v, 80, 5));       // (80 - 13 - 36) / 2 - 5 = 10.5
    skin::Thumb none = skin::bar_thumb(BarAxis::Vertical, 200, 0, 0);
    EXPECT_EQ(0, skin::drag_scroll(BarAxis::Vertical, none, 150, 0));    // nothing to scroll
}

TEST(ScrollBars, ReleaseSteps) {
    struct Case { BarAxis axis; BarPart part; bool back, forward; int cursor; BarCommand want; const char* why; };
    const Case cases[] = {
        {BarAxis::Horizontal, BarPart::BackArrow, false, false, 10, BarCommand::LineBack, "any release over its arrows"},
        {BarAxis::Horizontal, BarPart::ForwardArrow, false, false, 190, BarCommand::LineForward, ""},
        {BarAxis::Vertical, BarPart::ForwardArrow, false, false, 170, BarCommand::None, "pressed elsewhere: nothing"},
        {BarAxis::Vertical, BarPart::ForwardArrow, false, true, 170, BarCommand::LineForward, "its own arrow"},
        {BarAxis::Vertical, BarPart::BackArrow, true, false, 20, BarCommand::LineBack, ""},
        {BarAxis::Horizontal, BarPart::Track, false, false, 150, BarCommand::PageForward, "right of the thumb"},
        {BarAxis::Horizontal, BarPart::Track, false, false, 50, BarCommand::PageBack, "left of it"},
        {BarAxis::Vertical, BarPart::Track, false, false, 150, BarCommand::PageForward, "below it"},
        {BarAxis::Horizontal, BarPart::Thumb, false, false, 80, BarCommand::None, "on the thumb"},
        {BarAxis::Horizontal, BarPart::None, false, false, 85, BarCommand::None, "level with the thumb, off the bar"},
        {BarAxis::Horizontal, BarPart::None, false, false, 300, BarCommand::PageForward, "far right, off the bar"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::release_command(c.axis, c.part, c.back, c.forward, 75, c.cursor)) << c.why;
}

}  // namespace
