// The Win32 half of CRgbImage: device-dependent bitmaps, stretched drawing, and pictures read back
// from bitmaps, BMP files and the screen.
#pragma once
#include <windows.h>
#include <memory>
#include "engine/image/rgb_image.h"

class CRgbImageGdi {
public:
    // A device-dependent bitmap of the whole image, or of the part `rect` when given.
    static HBITMAP CreateBitmap(const CRgbImage& image, const RgbRect* rect);
    // Draws the image from (x, y) to its lower right corner stretched into `dest`.
    static void StretchDraw(HDC dc, const RECT& dest, const CRgbImage& image, int x, int y);

    // The bitmap's pixels as an image, top row first; null when Windows cannot read them.
    static std::unique_ptr<CRgbImage> FromBitmap(HBITMAP bitmap);

    // Flags for LoadBmpFile: `name` is a file path, or the name of a bitmap resource of `instance`.
    static constexpr int kFromFile = 1;
    static constexpr int kFromResource = 2;
    // A BMP file or bitmap resource as an image; null when it cannot be loaded.
    static std::unique_ptr<CRgbImage> LoadBmpFile(HINSTANCE instance, const char* name, int flags);

    // The pixels of `rect` in the device context, read through a bitmap of the rectangle's size.
    static std::unique_ptr<CRgbImage> CaptureClientBitmap(HDC dc, const RECT& rect);
};
