#include "ScopeCanvas.h"
#include "app/core/scope_raster.h"

bool ScopeCanvas::paint(HDC dc, const ScopePicture& picture, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    const size_t area = size_t(width) * size_t(height);
    if (pixels_.size() < area) pixels_.resize(area);
    raster_scope(picture, width, height, pixels_.data());
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as the pixels are laid out
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return SetDIBitsToDevice(dc, 0, 0, DWORD(width), DWORD(height), 0, 0, 0, UINT(height), pixels_.data(), &info,
                             DIB_RGB_COLORS) == height;
}
