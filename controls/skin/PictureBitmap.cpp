#include "PictureBitmap.h"
#include "controls/skin_core/dib_layout.h"
#include <olectl.h>
#include <cstring>
#include <vector>

BOOL CPictureBitmap::GetResource(LPCSTR name, LPCSTR type, HMODULE module, void* buffer, DWORD* size) {
    if (!size) return FALSE;
    HRSRC found = ::FindResourceA(module, name, type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    DWORD length = found ? ::SizeofResource(module, found) : 0;
    if (!bytes || !length) return FALSE;
    if (!buffer) {
        *size = length;
        return TRUE;
    }
    if (*size < length) return FALSE;
    memcpy(buffer, bytes, length);
    *size = length;
    return TRUE;
}

IPicture* CPictureBitmap::CreatePictureFromBuffer(const void* bytes, size_t length) {
    if (!bytes || !length) return nullptr;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, length);
    if (!memory) return nullptr;
    void* dst = ::GlobalLock(memory);
    if (!dst) {
        ::GlobalFree(memory);
        return nullptr;
    }
    memcpy(dst, bytes, length);
    ::GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        ::GlobalFree(memory);
        return nullptr;
    }
    IPicture* picture = nullptr;
    if (FAILED(::OleLoadPicture(stream, (LONG)length, FALSE, IID_IPicture, (void**)&picture))) picture = nullptr;
    stream->Release();
    return picture;
}

BOOL CPictureBitmap::RenderPicture(IPicture* picture, COLORREF background) {
    if (m_hObject || !picture) return FALSE;
    OLE_XSIZE_HIMETRIC hm_width = 0;
    OLE_YSIZE_HIMETRIC hm_height = 0;
    picture->get_Width(&hm_width);
    picture->get_Height(&hm_height);
    HDC screen = ::GetDC(nullptr);
    int width = ::MulDiv(hm_width, ::GetDeviceCaps(screen, LOGPIXELSX), 2540);
    int height = ::MulDiv(hm_height, ::GetDeviceCaps(screen, LOGPIXELSY), 2540);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = width > 0 && height > 0 ? ::CreateCompatibleBitmap(screen, width, height) : nullptr;
    ::ReleaseDC(nullptr, screen);
    BOOL ok = FALSE;
    if (memory && bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        if (background != (COLORREF)-1) {
            HBRUSH brush = ::CreateSolidBrush(background);
            RECT all = {0, 0, width, height};
            ::FillRect(memory, &all, brush);
            ::DeleteObject(brush);
        }
        // Source origin at the bottom with a negative height draws the picture upright.
        ok = SUCCEEDED(picture->Render(memory, 0, 0, width, height, 0, hm_height, hm_width, -hm_height, nullptr));
        ::SelectObject(memory, old);
    }
    if (memory) ::DeleteDC(memory);
    if (ok) return Attach(bitmap);
    if (bitmap) ::DeleteObject(bitmap);
    return FALSE;
}

BOOL CPictureBitmap::LoadFromResource(UINT id, LPCSTR type, HINSTANCE module, COLORREF background) {
    if (m_hObject) return FALSE;
    if (!module) module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), type);
    DWORD size = 0;
    if (!GetResource(MAKEINTRESOURCEA(id), type, module, nullptr, &size) || !size) return FALSE;
    std::vector<uint8_t> bytes(size);
    if (!GetResource(MAKEINTRESOURCEA(id), type, module, bytes.data(), &size)) return FALSE;
    if (IS_INTRESOURCE(type) && (ULONG_PTR)type == (ULONG_PTR)RT_BITMAP) {
        // A bitmap resource is a packed DIB: the picture loader wants the file header in front.
        bytes = skin::bitmap_file_image(bytes.data(), bytes.size());
        if (bytes.empty()) return FALSE;
    }
    IPicture* picture = CreatePictureFromBuffer(bytes.data(), bytes.size());
    if (!picture) return FALSE;
    BOOL ok = RenderPicture(picture, background);
    picture->Release();
    return ok;
}

BOOL CSkinBitmap::Draw(CDC* target, int x, int y, const RECT* source) {
    BITMAP bm{};
    if (!m_hObject || !target || !GetBitmap(&bm)) return TRUE;
    RECT whole = {0, 0, bm.bmWidth, bm.bmHeight};
    const RECT& r = source ? *source : whole;
    HDC memory = ::CreateCompatibleDC(target->m_hDC);
    HGDIOBJ old = ::SelectObject(memory, m_hObject);
    ::BitBlt(target->m_hDC, x, y, r.right - r.left, r.bottom - r.top, memory, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return TRUE;
}

BOOL CSkinBitmap::DrawTransparent(CDC* target, int x, int y, const RECT* source, COLORREF key, BOOL transparent) {
    if (!transparent) return Draw(target, x, y, source);
    BITMAP bm{};
    if (!m_hObject || !target || !GetBitmap(&bm)) return TRUE;
    RECT whole = {0, 0, bm.bmWidth, bm.bmHeight};
    const RECT& r = source ? *source : whole;
    DrawTransparentBitmap(target->m_hDC, x, y, r.right - r.left, r.bottom - r.top, (HBITMAP)m_hObject, r.left,
                          r.top, key, nullptr);
    return TRUE;
}

void DrawTransparentBitmap(HDC target, int x, int y, int width, int height, HBITMAP bitmap, int sx, int sy,
                           COLORREF key, HPALETTE palette) {
    if (width <= 0 || height <= 0 || !bitmap) return;
    HDC source = ::CreateCompatibleDC(target);
    HDC image = ::CreateCompatibleDC(target);
    HDC mask = ::CreateCompatibleDC(target);
    HBITMAP image_bitmap = ::CreateCompatibleBitmap(target, width, height);
    HBITMAP mask_bitmap = ::CreateBitmap(width, height, 1, 1, nullptr);
    HPALETTE old_target_palette = nullptr, old_image_palette = nullptr;
    if (palette && (::GetDeviceCaps(target, RASTERCAPS) & RC_PALETTE)) {
        old_target_palette = ::SelectPalette(target, palette, FALSE);
        ::RealizePalette(target);
        old_image_palette = ::SelectPalette(image, palette, FALSE);
    }
    HGDIOBJ old_source = ::SelectObject(source, bitmap);
    HGDIOBJ old_image = ::SelectObject(image, image_bitmap);
    HGDIOBJ old_mask = ::SelectObject(mask, mask_bitmap);
    ::BitBlt(image, 0, 0, width, height, source, sx, sy, SRCCOPY);
    // The mask is 1 where the image has the key colour.
    COLORREF old_back = ::SetBkColor(image, key);
    ::BitBlt(mask, 0, 0, width, height, image, 0, 0, SRCCOPY);
    // Key pixels of the image become black, so OR leaves the target there.
    ::SetBkColor(image, RGB(0, 0, 0));
    COLORREF old_text = ::SetTextColor(image, RGB(255, 255, 255));
    ::BitBlt(image, 0, 0, width, height, mask, 0, 0, SRCAND);
    COLORREF target_back = ::SetBkColor(target, RGB(255, 255, 255));
    COLORREF target_text = ::SetTextColor(target, RGB(0, 0, 0));
    ::BitBlt(target, x, y, width, height, mask, 0, 0, SRCAND);
    ::BitBlt(target, x, y, width, height, image, 0, 0, SRCPAINT);
    ::SetBkColor(target, target_back);
    ::SetTextColor(target, target_text);
    ::SetBkColor(image, old_back);
    ::SetTextColor(image, old_text);
    ::SelectObject(source, old_source);
    ::SelectObject(image, old_image);
    ::SelectObject(mask, old_mask);
    if (old_image_palette) ::SelectPalette(image, old_image_palette, FALSE);
    if (old_target_palette) ::SelectPalette(target, old_target_palette, FALSE);
    ::DeleteObject(image_bitmap);
    ::DeleteObject(mask_bitmap);
    ::DeleteDC(source);
    ::DeleteDC(image);
    ::DeleteDC(mask);
}

HRGN CSkinBitmap::CreateRegion(COLORREF key) {
    BITMAP bm{};
    if (!m_hObject || !GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return ::CreateRectRgn(0, 0, 0, 0);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    const int bpp = bm.bmBitsPixel;
    info.header.biSize = sizeof info.header;
    info.header.biWidth = bm.bmWidth;
    info.header.biHeight = bm.bmHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = (WORD)bpp;
    info.header.biCompression = BI_RGB;
    if (bpp == 16) {
        // Ask for 5-6-5 (red high), the form the key is compared in.
        info.header.biCompression = BI_BITFIELDS;
        DWORD* masks = (DWORD*)info.colours;
        masks[0] = 0xF800;
        masks[1] = 0x07E0;
        masks[2] = 0x001F;
    }
    const size_t stride = ((size_t)bm.bmWidth * bpp + 31) / 32 * 4;
    std::vector<uint8_t> bits(stride * bm.bmHeight);
    HDC display = ::CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    int rows = display ? ::GetDIBits(display, (HBITMAP)m_hObject, 0, bm.bmHeight, bits.data(), (BITMAPINFO*)&info,
                                     DIB_RGB_COLORS) : 0;
    if (display) ::DeleteDC(display);
    std::vector<skin::Rect> runs;
    if (rows == bm.bmHeight) {
        skin::PixelRows image;
        image.width = bm.bmWidth;
        image.height = bm.bmHeight;
        image.bits_per_pixel = bpp;
        image.bits = bits.data();
        image.stride = stride;
        image.bottom_up = true;
        uint32_t palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = ((uint32_t)info.colours[i].rgbRed << 16) | ((uint32_t)info.colours[i].rgbGreen << 8) | info.colours[i].rgbBlue;
        image.palette = palette;
        image.palette_count = bpp == 8 ? 256 : 0;
        runs = skin::key_region_runs(image, key);
    }
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    RGNDATA* region = (RGNDATA*)data.data();
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = (DWORD)runs.size();
    region->rdh.nRgnSize = (DWORD)(runs.size() * sizeof(RECT));
    SetRect(&region->rdh.rcBound, 0, 0, bm.bmWidth, bm.bmHeight);
    RECT* rects = (RECT*)region->Buffer;
    for (size_t i = 0; i < runs.size(); ++i) SetRect(&rects[i], runs[i].left, runs[i].top, runs[i].right, runs[i].bottom);
    HRGN result = ::ExtCreateRegion(nullptr, (DWORD)data.size(), region);
    return result ? result : ::CreateRectRgn(0, 0, 0, 0);
}
