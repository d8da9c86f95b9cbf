#include "videofx/rules/preview_rules.h"
#include <algorithm>
#include <utility>

namespace videofx::preview {
namespace {

bool at(int v, int edge) { return v >= edge - kHitTolerance && v <= edge + kHitTolerance; }
bool between(int v, int low, int high) { return v > low && v < high; }
int clamp(int v, int low, int high) { return std::max(low, std::min(v, high)); }

void fit_horizontally(Rect& r, int W) {
    if (r.x + r.width >= W) r.x = W - r.width - 1;
}
void fit_vertically(Rect& r, int H) {
    if (r.y + r.height >= H) r.y = H - r.height - 1;
}

}  // namespace

int hit_test(const Rect& r, int px, int py) {
    const int left = r.x, top = r.y, right = r.right(), bottom = r.bottom();
    if (at(px, left)) {
        if (at(py, top)) return kTopLeft;
        if (at(py, bottom)) return kBottomLeft;
        if (between(py, top, bottom)) return kLeft;
    }
    if (at(py, top)) {
        if (at(px, right)) return kTopRight;
        if (between(px, left, right)) return kTop;
    }
    if (at(px, right)) {
        if (at(py, bottom)) return kBottomRight;
        if (between(py, top, bottom)) return kRight;
    }
    if (at(py, bottom) && between(px, left, right)) return kBottom;
    if (between(px, left, right) && between(py, top, bottom)) return kInside;
    return kNone;
}

void drag_point(const Rect& r, int hit, int px, int py, int grab_x, int grab_y, int* out_x, int* out_y) {
    int x = px, y = py;
    switch (hit) {
    case kLeft: x = px; y = r.y; break;
    case kTop: x = r.x; y = py; break;
    case kRight: x = px; y = r.bottom(); break;
    case kBottom: x = r.right(); y = py; break;
    case kInside: x = px - grab_x; y = py - grab_y; break;
    default: break;  // corners: the point itself
    }
    *out_x = x;
    *out_y = y;
}

Rect release(const Rect& r, int hit, int px, int py, int grab_x, int grab_y, int W, int H) {
    int left = r.x, top = r.y, right = r.right(), bottom = r.bottom();
    const int cx = clamp(px, 0, W), cy = clamp(py, 0, H);
    switch (hit) {
    case kLeft: left = cx; break;
    case kTop: top = cy; break;
    case kRight: right = cx; break;
    case kBottom: bottom = cy; break;
    case kTopLeft: left = cx; top = cy; break;
    case kBottomLeft: left = cx; bottom = cy; break;
    case kTopRight: right = cx; top = cy; break;
    case kBottomRight: right = cx; bottom = cy; break;
    case kInside: {
        const int width = r.width, height = r.height;
        left = clamp(px - grab_x, 0, std::max(0, W - width));
        top = clamp(py - grab_y, 0, std::max(0, H - height));
        right = left + width;
        bottom = top + height;
        break;
    }
    default: return r;
    }
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    return Rect{left, top, right - left, bottom - top};
}

bool apply_menu_item(int id, Rect& r, int W, int H) {
    switch (id) {
    case kMenuQuarterQuarter: r.width = W / 4; r.height = H / 4; fit_horizontally(r, W); fit_vertically(r, H); break;
    case kMenuQuarterHalf: r.width = W / 4; r.height = H / 2; fit_horizontally(r, W); fit_vertically(r, H); break;
    case kMenuQuarterFull: r.width = W / 4; fit_horizontally(r, W); r.y = 0; r.height = H - 1; break;
    case kMenuHalfQuarter: r.width = W / 2; r.height = H / 4; fit_horizontally(r, W); fit_vertically(r, H); break;
    case kMenuHalfHalf: r.width = W / 2; r.height = H / 2; fit_horizontally(r, W); fit_vertically(r, H); break;
    // Half the width, as the item says.
    case kMenuHalfFull: r.width = W / 2; fit_horizontally(r, W); r.y = 0; r.height = H - 1; break;
    case kMenuFullQuarter: r.x = 0; r.width = W - 1; r.height = H / 4; fit_vertically(r, H); break;
    case kMenuFullHalf: r.x = 0; r.width = W - 1; r.height = H / 2; fit_vertically(r, H); break;
    case kMenuFullFull: r.x = 0; r.y = 0; r.width = W - 1; r.height = H - 1; break;
    case kMenuTopLeft: r.x = 1; r.y = 1; break;
    case kMenuBottomLeft: r.x = 1; r.y = H - r.height - 1; break;
    case kMenuTopRight: r.x = W - r.width - 1; r.y = 1; break;
    case kMenuBottomRight: r.x = W - r.width - 1; r.y = H - r.height - 1; break;
    case kMenuCentreHorizontal: r.x = (W - r.width) / 2 < 2 ? 1 : (W - r.width) / 2 - 1; break;
    case kMenuCentreVertical: r.y = (H - r.height) / 2 < 2 ? 1 : (H - r.height) / 2 - 1; break;
    default: return false;
    }
    return true;
}

}  // namespace videofx::preview
