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

std::unique_ptr<CRgbImage> CRgbImageGdi::FromBitmap(HBITMAP bitmap) {
    if (!bitmap) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    HDC screen = ::GetDC(nullptr);
    std::unique_ptr<CRgbImage> image;
    // Without bits GetDIBits only fills in the bitmap's size.
    if (::GetDIBits(screen, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS)) {
        const int width = info.bmiHeader.biWidth;
        const int height = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
        image = std::make_unique<CRgbImage>(width, height);
        if (image->empty()) {
            image.reset();
        } else {
            // Bottom-up 24-bit rows: the DIB row stride is the image's stride.
            std::memset(&info, 0, sizeof info);
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 24;
            info.bmiHeader.biCompression = BI_RGB;
            if (::GetDIBits(screen, bitmap, 0, UINT(height), image->pixels(), &info, DIB_RGB_COLORS) == 0)
                image.reset();
            else
                CRgbImage::FlipMirror(*image, CRgbImage::kFlip);
        }
    }
    ::ReleaseDC(nullptr, screen);
    return image;
}

std::unique_ptr<CRgbImage> CRgbImageGdi::LoadBmpFile(HINSTANCE instance, const char* name, int flags) {
    HANDLE loaded = nullptr;
    if (flags & kFromFile)
        loaded = ::LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    else if (flags & kFromResource)
        loaded = ::LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, 0);
    if (!loaded) return nullptr;
    std::unique_ptr<CRgbImage> image = FromBitmap(static_cast<HBITMAP>(loaded));
    ::DeleteObject(loaded);
    return image;
}

std::unique_ptr<CRgbImage> CRgbImageGdi::CaptureClientBitmap(HDC dc, const RECT& rect) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!dc || width <= 0 || height <= 0) return nullptr;
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, width, height);
    if (!bitmap) return nullptr;
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    std::unique_ptr<CRgbImage> image = FromBitmap(bitmap);
    ::DeleteObject(bitmap);
    return image;
}
