// The round slider without a window: a trackbar's range laid round a circle (clockwise from the top,
// turned by a zero angle, optionally the other way round), the keys and the notifications they send,
// and the shaded ring's colours and pixels.
#pragma once
#include "skin_colour.h"
#include "skin_strokes.h"
#include <vector>

namespace skin {

struct RoundRange {
    int min = 0, max = 100;
    int zero_angle = 0;     // degrees added to every position's angle
    bool inverted = false;  // positions run anticlockwise
};
// The angle of a position in degrees, 0 at the top, growing clockwise, in [0, 360).
double round_angle(int pos, const RoundRange& r);
// The point at `radius` from the centre at angle `degrees`.
Point round_point(Point centre, int radius, double degrees);
// The position whose angle is that of the point (dx, dy) from the centre (y grows downwards).
int round_position_at(int dx, int dy, const RoundRange& r);

// What a key does: the change of position and the trackbar code sent. Keys other than Page Up/Down,
// Home, End and the arrows are not the slider's.
enum class RoundStep : uint8_t { None, MinusPage, PlusPage, MinusLine, PlusLine, ToMin, ToMax };
struct RoundKey {
    RoundStep step = RoundStep::None;
    int code = -1;  // TB_PAGEUP, TB_PAGEDOWN, TB_LINEUP, TB_LINEDOWN, TB_TOP, TB_BOTTOM
};
RoundKey round_key(unsigned vk);
constexpr int kTrackEndCode = 8;  // TB_ENDTRACK, sent when one of the keys is released
// The position a step moves to, kept inside the range.
int round_step(int pos, RoundStep step, int page, int line, const RoundRange& r);

// The ring's colour at angle t (radians, atan2 of the screen offset): light from the upper left.
Colour ring_colour(double t, Colour light, Colour dark);
// The pixels of a circle of `radius` round `centre`, eight symmetric points per step of the midpoint
// algorithm.
std::vector<Point> midpoint_circle(Point centre, int radius);

}  // namespace skin
