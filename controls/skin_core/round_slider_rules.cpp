#include "round_slider_rules.h"
#include <cmath>

namespace skin {

namespace {
const double kPi = 3.14159265358979323846;

double normalised(double degrees) {
    double d = std::fmod(degrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}
}  // namespace

double round_angle(int pos, const RoundRange& r) {
    const int span = r.max + 1 - r.min;
    if (span <= 0) return normalised(r.zero_angle);
    double a = (double)(pos - r.min) * 360.0 / span;
    if (r.inverted) a = -a;
    return normalised(a + r.zero_angle + 360.0);
}

Point round_point(Point centre, int radius, double degrees) {
    const double a = degrees * kPi / 180.0;
    return Point{centre.x + (int)std::lround(radius * std::sin(a)), centre.y - (int)std::lround(radius * std::cos(a))};
}

int round_position_at(int dx, int dy, const RoundRange& r) {
    const int span = r.max + 1 - r.min;
    if (span <= 0) return r.min;
    double a = normalised(std::atan2((double)dx, (double)-dy) * 180.0 / kPi);
    a = normalised(a - r.zero_angle);
    if (r.inverted) a = normalised(-a);
    int pos = r.min + (int)(a * span / 360.0);
    return pos > r.max ? r.max : pos;
}

RoundKey round_key(unsigned vk) {
    switch (vk) {
    case 0x21: return {RoundStep::MinusPage, 2};  // VK_PRIOR: TB_PAGEUP
    case 0x22: return {RoundStep::PlusPage, 3};   // VK_NEXT: TB_PAGEDOWN
    case 0x23: return {RoundStep::ToMax, 7};      // VK_END: TB_BOTTOM
    case 0x24: return {RoundStep::ToMin, 6};      // VK_HOME: TB_TOP
    case 0x25: case 0x26: return {RoundStep::MinusLine, 0};  // VK_LEFT, VK_UP: TB_LINEUP
    case 0x27: case 0x28: return {RoundStep::PlusLine, 1};   // VK_RIGHT, VK_DOWN: TB_LINEDOWN
    default: return {};
    }
}

int round_step(int pos, RoundStep step, int page, int line, const RoundRange& r) {
    switch (step) {
    case RoundStep::MinusPage: pos -= page; break;
    case RoundStep::PlusPage: pos += page; break;
    case RoundStep::MinusLine: pos -= line; break;
    case RoundStep::PlusLine: pos += line; break;
    case RoundStep::ToMin: pos = r.min; break;
    case RoundStep::ToMax: pos = r.max; break;
    case RoundStep::None: break;
    }
    return pos < r.min ? r.min : (pos > r.max ? r.max : pos);
}

Colour ring_colour(double t, Colour light, Colour dark) {
    double u = -t - 2.356;
    while (u < -3.1415) u += 6.293;
    while (u > 3.1415) u -= 6.293;
    const double w = (1 + std::cos(u)) / 2;
    auto mix = [w](int l, int d) { return (int)(w * l + (1 - w) * d); };
    return rgb(mix(red_of(light), red_of(dark)), mix(green_of(light), green_of(dark)), mix(blue_of(light), blue_of(dark)));
}

std::vector<Point> midpoint_circle(Point c, int radius) {
    std::vector<Point> pts;
    if (radius < 0) return pts;
    int x = 0, y = radius, d = 1 - radius;
    while (x <= y) {
        const Point eight[] = {{c.x + x, c.y + y}, {c.x - x, c.y + y}, {c.x + x, c.y - y}, {c.x - x, c.y - y},
                               {c.x + y, c.y + x}, {c.x - y, c.y + x}, {c.x + y, c.y - x}, {c.x - y, c.y - x}};
        pts.insert(pts.end(), std::begin(eight), std::end(eight));
        if (d < 0) {
            d += 2 * x + 3;
        } else {
            d += 2 * (x - y) + 5;
            --y;
        }
        ++x;
    }
    return pts;
}

}  // namespace skin
