// The wave scope's picture as pixels: the fills and lines of a ScopePicture put into a top-down
// 32-bit buffer (0x00RRGGBB, the layout of a 32-bit DIB), pixel for pixel what FillRect and
// MoveToEx/LineTo with a one-pixel solid pen leave on a DIB surface. The scope thread then hands the
// whole area to the screen in one call instead of one GDI call per line.
#pragma once
#include <cstdint>
#include "wave_scope.h"

// Paints `picture` into `pixels` (width x height, row after row from the top), clipped to the area.
void raster_scope(const ScopePicture& picture, int width, int height, uint32_t* pixels);

// One line from (x0, y0) to (x1, y1), end point excluded, in colour (0x00RRGGBB), clipped to the area.
// Horizontal and vertical lines cover the half-open span between the two ends; others follow the
// DIB engine's Bresenham walk, whose rounding depends on the octant.
void raster_line(int x0, int y0, int x1, int y1, uint32_t pixel, int width, int height, uint32_t* pixels);

// 0x00BBGGRR (COLORREF) to 0x00RRGGBB (a 32-bit DIB pixel).
constexpr uint32_t scope_pixel(uint32_t colour) {
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}
