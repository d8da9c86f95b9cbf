#include "skin_fill_profile.h"

namespace skin {
namespace {

constexpr BandRule kBand21{10, 1, 8};
constexpr BandRule kBand321{16, 1, 5};
constexpr Ramp V = Ramp::TwoWay;
constexpr Ramp L = Ramp::OneWay;

constexpr Style k7 = rows(7, false, kVertical, V, piece(full(), kInverseTwoThirds));
constexpr Style k17 = rows(17, false, kVertical, V, piece(span(SpanKind::Capsule, 0.5), kInverseTwoThirds));
constexpr Style k19 = columns(19, true, kHorizontal50, L, piece(full(), kInverse));
constexpr Style k21 = rows(21, true, kBand21, L, piece(full(), clamped(darken(255, -1, 2), 55, 255)));
constexpr Style k27 = rows(27, false, kVertical, L, piece(span(SpanKind::Slant, 1.0 / 3), kInverseTwoThirds));
constexpr Style k37 = rows(37, true, kVertical, L, piece(span(SpanKind::Widen, 1.0 / 3, 1.05, 3, 2), kInverseThreeFifths));
constexpr Style k47 = rows(47, false, kVertical, L, piece(span(SpanKind::Capsule, 5.0 / 12), lighten(510, -2, 3)));
constexpr Span kPinch = span(SpanKind::Pinch, 0.5);
constexpr Style k57 = rows(57, false, kVertical, V, piece(kPinch, kInverseTwoThirds));
constexpr Style k67 = rows(67, false, kVertical, L, piece(kPinch, kInverseTwoThirds));
constexpr Style k107 = rows(107, true, kVertical, L, piece(span(SpanKind::Widen, 1.0 / 3, 0, 3, 2), kInverseThreeFifths));
constexpr Style k327 = rows(327, false, kVertical, V, piece(full(), clamped(lighten(0, 1, 10), 0, 155)));
constexpr Style kDefault = columns(kDefaultStyle, true, kHorizontal50, V, piece(full(), kRamp));

const Style kStyles[] = {
    k7,
    with_shade(k7, 8, kRamp),
    k17,
    with_shade(k17, 18, kTwoThirds),
    k19,
    with_shade(k19, 20, kRamp),
    k21,
    with_shade(k21, 22, clamped(lighten(0, 1, 2), 55, 255)),
    k27,
    with_shade(k27, 28, kTwoThirds),
    k37,
    with_shade(k37, 38, kTwoThirds),
    k47,
    with_shade(k47, 48, kTwoThirds),
    k57,
    [] { Style s = with_shade(k57, 58, kTwoThirds); s.to_end = true; return s; }(),
    k67,
    [] { Style s = with_shade(k67, 68, kTwoThirds); s.to_end = true; return s; }(),
    rows(77, false, kVertical, L, piece(span(SpanKind::PinchHalfLeft, 0.5), kInverseTwoThirds)),
    rows(78, true, kVertical, L, piece(kPinch, kTwoThirds)),
    rows(88, true, kVertical, V, piece(span(SpanKind::Pinch, 0.2), kInverseTwoThirds), 1),
    k107,
    with_shade(k107, 108, kTwoThirds),
    columns(201, true, kHorizontal50, L, piece(span(SpanKind::Ellipse), kRamp)),
    rows3(321, true, kBand321, L, piece(span(SpanKind::StripLeft), lighten(0, 1, 2)),
          piece(span(SpanKind::StripMiddle), clamped(lighten(510, -2, 3), 10, 255)),
          piece(span(SpanKind::StripRight), clamped(lighten(0, 1, 1), 20, 127))),
    rows3(322, true, kBand321, L, piece(span(SpanKind::StripLeft), lighten(0, 2, 3)),
          piece(span(SpanKind::StripMiddle), clamped(lighten(0, 2, 3), 10, 255)),
          piece(span(SpanKind::StripRight), clamped(lighten(0, 2, 3), 20, 127))),
    k327,
    with_shade(k327, 328, clamped(lighten(510, -2, 3), 0, 155)),
    with_shade(kDefault, 9, kInverse),
    kDefault,
};

}  // namespace

const Profile kSkinFillProfile = {"skin_fill_shaded", 10, kStyles, sizeof kStyles / sizeof kStyles[0]};

}  // namespace skin
