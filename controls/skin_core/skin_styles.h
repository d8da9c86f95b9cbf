// The style rows the gradient profiles are built from. Two families exist: the program's rows, whose
// shapes truncate each product before it enters a sum, and the libraries' rows, which truncate each
// whole expression once. A class's profile picks its rows from one family and adds its own departures.
#pragma once
#include "skin_bands.h"

namespace skin {

constexpr Ramp V = Ramp::TwoWay;  // 255 * |i - middle| / half
constexpr Ramp L = Ramp::OneWay;  // 255 * (N - i) / N

constexpr Style rows2(int code, bool to_end, BandRule band, Ramp ramp, Piece a, Piece b) {
    return Style{code, Axis::Rows, to_end, band, ramp, 0, 2, {a, b, {}}};
}

// ---- The program's rows ----
namespace program_rows {

constexpr BandRule kBand21{10, 1, 8};
constexpr BandRule kBand321{16, 1, 5};
constexpr BandRule kMemberBand321{20, 1, 2};

constexpr Style k7 = rows(7, false, kVertical, V, piece(full(), kInverseTwoThirds));
constexpr Style k8 = with_shade(k7, 8, kRamp);
constexpr Style k17 = rows(17, false, kVertical, V, piece(each_product(span(SpanKind::Capsule, 1, 2)), kInverseTwoThirds));
constexpr Style k18 = with_shade(k17, 18, kTwoThirds);
constexpr Style k19 = columns(19, true, kHorizontal50, L, piece(full(), kInverse));
constexpr Style k20 = with_shade(k19, 20, kRamp);
constexpr Style k21 = rows(21, true, kBand21, L, piece(full(), clamped(darken(255, -1, 2), 55, 255)));
constexpr Style k22 = with_shade(k21, 22, clamped(lighten(0, 1, 2), 55, 255));
constexpr Style k27 = rows(27, false, kVertical, L, piece(each_product(span(SpanKind::Slant, 1, 3)), kInverseTwoThirds));
constexpr Style k28 = with_shade(k27, 28, kTwoThirds);
constexpr Style k37 = rows(37, true, kVertical, L,
                          piece(each_product(span(SpanKind::Widen, 1, 3, 1.05, 3, 2)), kInverseThreeFifths));
constexpr Style k38 = with_shade(k37, 38, kTwoThirds);
constexpr Style k47 = rows(47, false, kVertical, L, piece(each_product(span(SpanKind::Capsule, 5, 12)), lighten(510, -2, 3)));
constexpr Style k48 = with_shade(k47, 48, kTwoThirds);
constexpr Span kPinch = each_product(span(SpanKind::Pinch, 1, 2));
constexpr Style k57 = rows(57, false, kVertical, V, piece(kPinch, kInverseTwoThirds));
constexpr Style k58 = [] { Style s = with_shade(k57, 58, kTwoThirds); s.to_end = true; return s; }();
constexpr Style k67 = rows(67, false, kVertical, L, piece(kPinch, kInverseTwoThirds));
constexpr Style k68 = [] { Style s = with_shade(k67, 68, kTwoThirds); s.to_end = true; return s; }();
constexpr Style k77 = rows(77, false, kVertical, L, piece(each_product(span(SpanKind::PinchHalfLeft, 1, 2)), kInverseTwoThirds));
constexpr Style k78 = rows(78, true, kVertical, L, piece(kPinch, kTwoThirds));
constexpr Style k88 = rows(88, true, kVertical, V, piece(each_product(span(SpanKind::Pinch, 1, 5)), kInverseTwoThirds), 1);
constexpr Style k107 = rows(107, true, kVertical, L,
                           piece(each_product(span(SpanKind::Widen, 1, 3, 0, 3, 2)), kInverseThreeFifths));
constexpr Style k108 = with_shade(k107, 108, kTwoThirds);
constexpr Style k201 = columns(201, true, kHorizontal50, L, piece(each_product(span(SpanKind::Ellipse)), kRamp));
constexpr Span kStripLeft = each_product(span(SpanKind::StripLeft));
constexpr Span kStripMiddle = each_product(span(SpanKind::StripMiddle));
constexpr Span kStripRight = each_product(span(SpanKind::StripRight));
constexpr Style k321 = rows3(321, true, kBand321, L, piece(kStripLeft, lighten(0, 1, 2)),
                             piece(kStripMiddle, clamped(lighten(510, -2, 3), 10, 255)),
                             piece(kStripRight, clamped(lighten(0, 1, 1), 20, 127)));
constexpr Style k322 = rows3(322, true, kBand321, L, piece(kStripLeft, lighten(0, 2, 3)),
                             piece(kStripMiddle, clamped(lighten(0, 2, 3), 10, 255)),
                             piece(kStripRight, clamped(lighten(0, 2, 3), 20, 127)));
constexpr Style k327 = rows(327, false, kVertical, V, piece(full(), clamped(lighten(0, 1, 10), 0, 155)));
constexpr Style k328 = with_shade(k327, 328, clamped(lighten(510, -2, 3), 0, 155));
// The last branch: columns with the two-way ramp over the width.
constexpr Style kDefault = columns(kDefaultStyle, true, kHorizontal50, V, piece(full(), kRamp));
constexpr Style k9 = with_shade(kDefault, 9, kInverse);

// The member copies of the classes depart from the table above in these rows.
constexpr Style kMember8 = with_shade(k7, 8, kTwoThirds);
constexpr Style kMember21 = rows(21, true, kVertical, L, piece(full(), kInverseTwoThirds));
constexpr Style kMember22 = with_shade(kMember21, 22, kTwoThirds);
constexpr Style kMember47 = with_shade(k47, 47, kInverseTwoThirds);
constexpr Style kMember67 = rows(67, false, kVertical, V, piece(each_product(span(SpanKind::Capsule, 1, 2)), kInverseTwoThirds));
constexpr Style kMember68 = [] { Style s = with_shade(kMember67, 68, kTwoThirds); s.to_end = true; return s; }();
constexpr Style kMember321 = rows(321, true, kMemberBand321, L,
                                  piece(each_product(span(SpanKind::TopRounded, 1, 2, 0, 0, 16)), kInverseTwoThirds));
constexpr Style kMember322 = with_shade(kMember321, 322, kTwoThirds);
constexpr Style kMember327 = rows(327, false, kVertical, L, piece(each_product(span(SpanKind::Skew, 1, 1, 0, 0, 16)), kInverseTwoThirds));
constexpr Style kMember328 = with_shade(kMember327, 328, kTwoThirds);

}  // namespace program_rows

// ---- The libraries' rows (the push button of brisvane defines them) ----
namespace library_rows {

constexpr Style k7 = rows(7, false, kVertical, V, piece(full(), kInverse));
constexpr Style k8 = with_shade(k7, 8, kRamp);
constexpr Style k7Scaled = with_shade(k7, 7, kInverseTwoThirds);
constexpr Style k8Scaled = with_shade(k7, 8, kTwoThirds);
constexpr Style k17 = rows(17, false, kVertical, V, piece(span(SpanKind::Capsule, 1, 2), kInverseTwoThirds));
constexpr Style k18 = with_shade(k17, 18, kTwoThirds);
constexpr Style k19 = columns(19, true, kHorizontal50, L, piece(full(), kInverse));
constexpr Style k20 = with_shade(k19, 20, kRamp);
constexpr Style k21 = rows(21, true, kVertical, L, piece(full(), kInverseTwoThirds));
constexpr Style k22 = with_shade(k21, 22, kTwoThirds);
constexpr Style k27 = rows(27, false, kVertical, L, piece(span(SpanKind::Slant, 1, 3), kInverseTwoThirds));
constexpr Style k28 = with_shade(k27, 28, kTwoThirds);
constexpr Style k37 = rows(37, true, kVertical, L, piece(span(SpanKind::Widen, 1, 3, 1.05, 3, 2), kInverseThreeFifths));
constexpr Style k38 = with_shade(k37, 38, kTwoThirds);
constexpr Style kDefault40 = columns(kDefaultStyle, false, kHorizontal40, V, piece(full(), kRamp));
constexpr Style k9of40 = with_shade(kDefault40, 9, kInverse);
constexpr Style kDefault50 = columns(kDefaultStyle, false, kHorizontal50, V, piece(full(), kRamp));
constexpr Style k9of50 = with_shade(kDefault50, 9, kInverse);

}  // namespace library_rows

}  // namespace skin
