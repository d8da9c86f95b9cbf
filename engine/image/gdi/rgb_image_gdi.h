// The Win32 half of CRgbImage: device-dependent bitmaps and stretched drawing.
#pragma once
#include <windows.h>
#include "engine/image/rgb_image.h"

class CRgbImageGdi {
public:
    // A device-dependent bitmap of the whole image, or of the part `rect` when given.
    static HBITMAP CreateBitmap(const CRgbImage& image, const RgbRect* rect);
    // Draws the image from (x, y) to its lower right corner stretched into `dest`.
    static void StretchDraw(HDC dc, const RECT& dest, const CRgbImage& image, int x, int y);
};
