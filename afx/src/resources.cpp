// Window classes registered by the framework and bitmaps in the system's colours.
#include "afximpl.h"
#include <cstdio>
#include <cstring>
#include <vector>

const char* AfxRegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    char* name = AfxThread().class_name;
    const size_t name_size = sizeof AfxThread().class_name;
    HINSTANCE instance = AfxGetInstanceHandle();
    snprintf(name, name_size, "Afx:%p:%x:%p:%p:%p", (void*)instance, style, (void*)cursor, (void*)background,
             (void*)icon);
    WNDCLASSA existing;
    if (::GetClassInfoA(instance, name, &existing)) return name;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (!::RegisterClassA(&wc)) name[0] = 0;
    return name;
}

HBITMAP AfxLoadSysColorBitmap(HINSTANCE instance, HRSRC resource, BOOL mono) {
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    const BYTE* bytes = loaded ? (const BYTE*)::LockResource(loaded) : nullptr;
    DWORD size = resource ? ::SizeofResource(instance, resource) : 0;
    if (!bytes || size < sizeof(BITMAPINFOHEADER)) return nullptr;
    BITMAPINFOHEADER header;
    memcpy(&header, bytes, sizeof header);
    if (header.biSize < sizeof header || header.biSize > size || header.biBitCount != 4 || header.biWidth <= 0 ||
        header.biWidth > 0x4000 || header.biHeight == 0 || header.biHeight > 0x4000 || header.biHeight < -0x4000)
        return nullptr;
    DWORD colours = header.biClrUsed ? header.biClrUsed : 16;
    if (colours > 16) return nullptr;
    size_t stride = ((size_t)header.biWidth * 4 + 31) / 32 * 4;
    size_t rows = (size_t)(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    size_t bits_at = header.biSize + colours * sizeof(RGBQUAD);
    if (bits_at + stride * rows > size) return nullptr;
    // A copy of the header and palette with the standard button colours mapped to the system's.
    std::vector<BYTE> info(header.biSize + 16 * sizeof(RGBQUAD), 0);
    memcpy(info.data(), bytes, header.biSize + colours * sizeof(RGBQUAD));
    RGBQUAD* palette = (RGBQUAD*)(info.data() + header.biSize);
    struct Map { COLORREF from; int system; };
    const Map maps[] = {{RGB(0, 0, 0), COLOR_BTNTEXT}, {RGB(128, 128, 128), COLOR_BTNSHADOW},
                        {RGB(192, 192, 192), COLOR_BTNFACE}, {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT}};
    for (DWORD i = 0; i < colours; ++i) {
        COLORREF c = RGB(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
        for (const Map& m : maps) {
            if (c != m.from) continue;
            COLORREF to = mono ? (m.system == COLOR_BTNFACE || m.system == COLOR_BTNHIGHLIGHT ? RGB(255, 255, 255)
                                                                                             : RGB(0, 0, 0))
                               : ::GetSysColor(m.system);
            palette[i].rgbRed = GetRValue(to);
            palette[i].rgbGreen = GetGValue(to);
            palette[i].rgbBlue = GetBValue(to);
            break;
        }
    }
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateDIBitmap(screen, (const BITMAPINFOHEADER*)info.data(), CBM_INIT, bytes + bits_at,
                                      (const BITMAPINFO*)info.data(), DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}
