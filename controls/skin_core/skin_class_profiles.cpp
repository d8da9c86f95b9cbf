#include "skin_class_profiles.h"
#include "skin_styles.h"
#include <climits>

namespace skin {
namespace {

constexpr int kAlways = INT_MAX;

namespace p = program_rows;
namespace l = library_rows;

template <size_t n>
constexpr Profile profile(const char* name, int plain_below, const Style (&styles)[n]) {
    return Profile{name, plain_below, styles, n};
}

// The tab's 9 and 10 are columns over the two-way ramp in two thirds; its last branch moves each row
// band's left edge right by o = |i - half| * W / H and darkens the strip left of it 1.05 times as much.
constexpr Style kTab9 = with_shade(p::kDefault, 9, kInverseTwoThirds);
constexpr Style kTab10 = with_shade(p::kDefault, 10, kTwoThirds);
constexpr Style kTabLast = rows2(kDefaultStyle, false, kVertical, V, piece(span(SpanKind::TaperFromLeft), kRamp),
                                 piece(span(SpanKind::TaperLeft), winged(kRamp)));
constexpr Style kTab11 = rows2(11, false, kVertical, V, piece(span(SpanKind::TaperFromLeft), kInverse),
                               piece(span(SpanKind::TaperLeft), winged(kInverse)));

const Style kButtonStyles[] = {p::k7,  p::kMember8, p::k17, p::k18, p::k19, p::k20, p::kMember21,
                               p::kMember22, p::k27, p::k28, p::k37, p::k38, p::k9, p::kDefault};
const Style kTabStyles[] = {p::k7,  p::kMember8, kTab9,  kTab10, kTab11, p::k17, p::k18, p::k19,
                            p::k20, p::k27,      p::k28, p::k37, p::k38, kTabLast};
const Style kComboStyles[] = {p::k7, p::kMember8, p::k19, p::k20, p::kMember21, p::kMember22, p::k9, p::kDefault};
const Style kLabelStyles[] = {
    p::k7,   p::kMember8, p::k17,  p::k18,  p::k19,  p::k20, p::kMember21, p::kMember22, p::k27,
    p::k28,  p::k37,      p::k38,  p::kMember47,     p::k48, p::k57,       p::k58,       p::kMember67,
    p::kMember68,         p::k77,  p::k78,  p::k88,  p::k107, p::k108,     p::k201,      p::kMember321,
    p::kMember322,        p::kMember327,    p::kMember328,    with_code(p::k19, 319), with_code(p::k20, 320),
    p::k9,   p::kDefault};
const Style kMenuStyles[] = {l::k7, l::k8, l::k9of40, l::kDefault40};
const Style kTipStyles[] = {l::k7Scaled, l::k8Scaled, l::k17, l::k18, l::k19, l::k20, l::k21, l::k22,
                            l::k27,      l::k28,      l::k37, l::k38, l::k9of40, l::kDefault40};

}  // namespace

const Profile kButtonTarmelo = profile("CSkinButton (tarmelo)", 10, kButtonStyles);
const Profile kTabTarmelo = profile("CBaseTabCtrl (tarmelo)", 10, kTabStyles);
const Profile kComboTarmelo = profile("CSkinComboBox (tarmelo)", 10, kComboStyles);
const Profile kLabelTarmelo = profile("CSkinLabel (tarmelo)", 10, kLabelStyles);
const Profile kMenuTarmelo = profile("GlintMenu (tarmelo)", kAlways, kMenuStyles);
const Profile kBalloonTip = profile("CBalloonTip", 10, kTipStyles);

}  // namespace skin
