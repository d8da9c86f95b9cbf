// The preview view's geometry in picture coordinates: which handle of the rectangle a point grabs,
// where a drag released at a point leaves the rectangle, and what the size and position items of the
// view's popup menu make of it.
#pragma once

namespace videofx::preview {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool operator==(const Rect& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

enum Hit {
    kNone = 0,
    kLeft = 1,
    kTop = 2,
    kRight = 3,
    kBottom = 4,
    kTopLeft = 5,
    kBottomLeft = 6,
    kTopRight = 7,
    kBottomRight = 8,
    kInside = 99,
};

// How close (in pixels, either side) a point must be to an edge to grab it.
constexpr int kHitTolerance = 2;

// The handle under (px, py): corners before edges, edges strictly between their corners, then the
// inside (strictly within the edges), else kNone.
int hit_test(const Rect& r, int px, int py);

// The point a drag reports while it runs: the corner or edge the handle moves, or for a move the new
// left-top (grab_x, grab_y: the grab offset from the left-top).
void drag_point(const Rect& r, int hit, int px, int py, int grab_x, int grab_y, int* out_x, int* out_y);

// The rectangle after a drag with `hit` released at (px, py) in a picture of extent W x H. Every
// edge the handle moves is kept within 0..W and 0..H; a move keeps the size and stays inside the
// picture; edges that crossed are exchanged so that width and height are never negative.
Rect release(const Rect& r, int hit, int px, int py, int grab_x, int grab_y, int W, int H);

// Menu item ids of the view's popup menu.
enum MenuItem {
    kMenuNothing = 32771,
    kMenuQuarterQuarter = 32775,
    kMenuQuarterHalf = 32776,
    kMenuQuarterFull = 32777,
    kMenuHalfQuarter = 32778,
    kMenuHalfHalf = 32779,
    kMenuHalfFull = 32780,
    kMenuFullQuarter = 32781,
    kMenuFullHalf = 32782,
    kMenuFullFull = 32783,
    kMenuTopLeft = 32785,
    kMenuBottomLeft = 32786,
    kMenuTopRight = 32787,
    kMenuBottomRight = 32788,
    kMenuCentreHorizontal = 32789,
    kMenuCentreVertical = 32790,
};

// Applies a size or position item to the rectangle in a picture of extent W x H; false (rectangle
// unchanged) for an id that is no such item.
bool apply_menu_item(int id, Rect& r, int W, int H);

}  // namespace videofx::preview
