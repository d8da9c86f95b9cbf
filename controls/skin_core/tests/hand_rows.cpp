#include "hand_rows.h"
#include <cstdio>

std::string check_hand_row(const HandRow& row) {
    const skin::Colour base = 0xD0B090;
    skin::FillPlan plan = skin::plan_shaded_fill(*row.profile, base, row.box.left, row.box.top, row.box.right,
                                                 row.box.bottom, row.style);
    char what[256];
    snprintf(what, sizeof what, "%s style %d (%s): ", row.profile->name, row.style, row.working);
    if (plan.plain_fill != row.plain) return std::string(what) + "plain fill differs";
    if (row.band >= plan.bands.size()) return std::string(what) + "too few bands";
    const skin::Band& b = plan.bands[row.band];
    skin::Colour want = row.op == skin::Op::Lighten  ? color_lighten(base, (unsigned)row.amount)
                        : row.op == skin::Op::Darken ? color_darken(base, (unsigned)row.amount)
                                                     : color_darken_keep(base, (unsigned)row.amount);
    char got[160];
    snprintf(got, sizeof got, "band %d,%d,%d,%d colour %06X, want %d,%d,%d,%d colour %06X", b.left, b.top, b.right,
             b.bottom, b.colour, row.want.left, row.want.top, row.want.right, row.want.bottom, want);
    if (b.left != row.want.left || b.top != row.want.top || b.right != row.want.right || b.bottom != row.want.bottom ||
        b.colour != want)
        return std::string(what) + got;
    return "";
}
