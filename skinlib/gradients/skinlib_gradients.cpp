#include "skinlib_gradients.h"
#include "controls/skin_core/skin_class_profiles.h"
#include "controls/skin_core/skin_styles.h"
#include <climits>

namespace skinlib {
namespace {

using namespace skin;

constexpr Ramp S = Ramp::TwoWay;   // s(i)
constexpr Ramp N = Ramp::OneWay;   // n(i)
constexpr BandRule kTab37Band{20, 1, 2};
constexpr int kAlways = INT_MAX, kNever = INT_MIN;

using namespace library_rows;

// Tab control: its own 9, 10, 11, 37, 38, 47, 48 and a tapered last branch.
constexpr Style kTab9 = with_shade(kDefault50, 9, kInverseTwoThirds);
constexpr Style kTab10 = with_shade(kDefault50, 10, kTwoThirds);
constexpr Style kTapered = rows3(kDefaultStyle, false, kVertical, S,
                                 piece(span(SpanKind::TaperMiddle), kRamp),
                                 piece(span(SpanKind::TaperLeft), winged(kRamp)),
                                 piece(span(SpanKind::TaperRight), winged(kRamp)));
constexpr Style kTab11 = rows3(11, false, kVertical, S,
                               piece(span(SpanKind::TaperMiddle), kInverse),
                               piece(span(SpanKind::TaperLeft), winged(kInverse)),
                               piece(span(SpanKind::TaperRight), winged(kInverse)));
constexpr Style kTab37 = rows(37, true, kTab37Band, S, piece(span(SpanKind::Widen, 1, 2, 0.8, 1, 1), kInverseFourFifths));
constexpr Style kTab38 = with_shade(kTab37, 38, kTwoThirds);
constexpr Style kTab47 = rows(47, false, kVertical, N, piece(span(SpanKind::Capsule, 1, 2, 0, 1, 2), kInverseTwoThirds));
constexpr Style kTab48 = with_shade(kTab47, 48, kTwoThirds);

// Olumbra's push button: 47/48 a rounded rectangle (r = H / 4, at most 8).
constexpr Style kButton47 = rows(47, false, kVertical, N, piece(span(SpanKind::RoundRect, 1, 1, 0, 4, 8), kInverseTwoThirds));
constexpr Style kButton48 = with_shade(kButton47, 48, kTwoThirds);

// Olumbra's label: a narrower capsule for 17/18 and a pinched two-way 27/28.
constexpr Style kLabel17 = rows(17, false, kVertical, S, piece(span(SpanKind::Capsule, 1, 4), kInverseTwoThirds));
constexpr Style kLabel18 = with_shade(kLabel17, 18, kTwoThirds);
constexpr Style kLabel27 = rows(27, true, kVertical, S, piece(span(SpanKind::Pinch, 1, 2, 0, 1), kInverseTwoThirds));
constexpr Style kLabel28 = with_shade(kLabel27, 28, kTwoThirds);

// The slider darkens 17..38 leaving channels smaller than the step alone, and scales its last branch.
constexpr Style keep(Style s) {
    for (int p = 0; p < s.piece_count; ++p) s.pieces[p].shade = keeping(s.pieces[p].shade);
    return s;
}

const Style kButtonBrisvaneStyles[] = {k7, k8, k17, k18, k19, k20, k21, k22, k27, k28, k37, k38, k9of40, kDefault40};
const Style kComboBrisvaneStyles[] = {k7Scaled, k8Scaled, k19, k20, k21, k22, k9of50, kDefault50};
const Style kTabBrisvaneStyles[] = {k7Scaled, k8Scaled, kTab9, kTab10, kTab11, k17, k18, k19, k20,
                                    k27, k28, kTab37, kTab38, kTab47, kTab48, kTapered};
const Style kTabOlumbraStyles[] = {k7Scaled, k8Scaled, kTab9, kTab10, kTab11, k17, k18, k19, k20,
                                   k27, k28, kTab37, kTab38, kTapered};
const Style kMenuOlumbraStyles[] = {k7, k8, k9of40, kDefault40};
const Style kComboOlumbraStyles[] = {k7Scaled, k8Scaled, k9of50, kDefault50};
const Style kButtonOlumbraStyles[] = {k7, k8, k17, k18, k19, k20, k21, k22, k27, k28, k37, k38,
                                      kButton47, kButton48, k9of40, kDefault40};
const Style kLabelOlumbraStyles[] = {k7Scaled, k8Scaled, kLabel17, kLabel18, k19, k20, k21, k22,
                                     kLabel27, kLabel28, k37, k38, k9of50, kDefault50};
const Style kSliderOlumbraStyles[] = {k7Scaled, k8Scaled, keep(kLabel17), keep(kLabel18), keep(k19), keep(k20),
                                      keep(k21), keep(k22), keep(kLabel27), keep(kLabel28), keep(k37), keep(k38),
                                      with_shade(kDefault50, 9, kInverseTwoThirds), with_shade(kDefault50, kDefaultStyle, kTwoThirds)};

template <size_t n>
constexpr Profile profile(const char* name, int plain_below, const Style (&styles)[n]) {
    return Profile{name, plain_below, styles, n};
}

}  // namespace

const Profile kButtonBrisvane = profile("CSkinButton (brisvane)", 10, kButtonBrisvaneStyles);
const Profile kMenuBrisvane = profile("GlintMenu (brisvane)", kAlways, kButtonBrisvaneStyles);
const Profile kComboBrisvane = profile("CSkinComboBox (brisvane)", kAlways, kComboBrisvaneStyles);
const Profile kTabBrisvane = profile("CBaseTabCtrl (brisvane)", kNever, kTabBrisvaneStyles);
const Profile kTabOlumbra = profile("CBaseTabCtrl (olumbra)", kNever, kTabOlumbraStyles);
const Profile kMenuOlumbra = profile("GlintMenu (olumbra)", kAlways, kMenuOlumbraStyles);
const Profile kComboOlumbra = profile("CSkinComboBox (olumbra)", kAlways, kComboOlumbraStyles);
const Profile kButtonOlumbra = profile("CSkinButton (olumbra)", 40, kButtonOlumbraStyles);
const Profile kLabelOlumbra = profile("CSkinLabel (olumbra)", 10, kLabelOlumbraStyles);
const Profile kSliderOlumbra = profile("CSkinSliderCtrl (olumbra)", 10, kSliderOlumbraStyles);

const Profile* const kAllProfiles[] = {&kButtonBrisvane, &kMenuBrisvane, &kComboBrisvane, &kTabBrisvane,
                                       &kTabOlumbra, &kMenuOlumbra, &kComboOlumbra, &kButtonOlumbra,
                                       &kLabelOlumbra, &kSliderOlumbra};
const size_t kProfileCount = sizeof kAllProfiles / sizeof kAllProfiles[0];

}  // namespace skinlib
