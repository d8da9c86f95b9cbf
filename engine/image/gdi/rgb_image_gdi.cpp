// Win32 side of CRgbImage: device-dependent bitmaps and stretched drawing.
#include <windows.h>
#include <cstddef>
#include <cstring>
#include "engine/image/gdi/rgb_image_gdi.h"

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(DibInfoHeader) &&
              offsetof(BITMAPINFOHEADER, biSizeImage) == offsetof(DibInfoHeader, size_image));

HBITMAP CRgbImageGdi::CreateBitmap(const CRgbImage& image, const RgbRect* rect) {
    if (image.empty()) return nullptr;
    const CRgbImage* picture = &image;
    CRgbImage part(rect ? rect->right - rect->left : 0, rect ? rect->bottom - rect->top : 0);
    if (rect) {
        if (part.empty()) return nullptr;
        CRgbImage::Blit(part, 0, 0, image, *rect, 0);
        picture = &part;
    }
    DibInfoHeader header;
    CRgbImage::GetBitmapInfo(*picture, &header);
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, &header, sizeof header);
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, picture->pixels(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

void CRgbImageGdi::StretchDraw(HDC dc, const RECT& dest, const CRgbImage& image, int x, int y) {
    if (image.empty() || x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    RgbRect part{x, y, image.width(), image.height()};
    HBITMAP bitmap = CreateBitmap(image, &part);
    if (!bitmap) return;
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, memory, 0, 0,
                 part.right - part.left, part.bottom - part.top, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
}
