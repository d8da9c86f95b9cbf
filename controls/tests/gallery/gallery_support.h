// What the gallery tests share: the screen captured into memory (and saved as a test artifact), a
// plain message loop as a host's, and areas of the screen compared with what the planners and line
// lists say they should hold.
#pragma once
#include <windows.h>
#include "controls/skin_core/skin_bands.h"
#include "controls/skin_core/skin_strokes.h"
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "tests/support/message_pump.h"

namespace gallery {

// ---- the screen ----

struct Screen {
    int width = 0, height = 0;
    std::vector<uint8_t> bits;  // B, G, R rows top-down
    size_t stride = 0;

    void capture() {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        stride = ((size_t)width * 3 + 3) & ~(size_t)3;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        void* pixels = nullptr;
        HDC screen = GetDC(nullptr);
        HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        bits.assign((uint8_t*)pixels, (uint8_t*)pixels + stride * height);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(dib);
        ReleaseDC(nullptr, screen);
    }
    COLORREF at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
        const uint8_t* p = &bits[(size_t)y * stride + (size_t)x * 3];
        return RGB(p[2], p[1], p[0]);
    }
    // Writes a bottom-up 24-bit bitmap file into the test artifacts.
    void save(const std::string& name) const {
        std::string path = std::string("Z:") + TEST_ARTIFACT_DIR + "/" + name;
        for (char& c : path) if (c == '/') c = '\\';
        CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), nullptr);
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return;
        BITMAPFILEHEADER fh{};
        BITMAPINFOHEADER ih{};
        ih.biSize = sizeof ih;
        ih.biWidth = width;
        ih.biHeight = height;
        ih.biPlanes = 1;
        ih.biBitCount = 24;
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof ih;
        fh.bfSize = fh.bfOffBits + (DWORD)(stride * height);
        DWORD n;
        WriteFile(f, &fh, sizeof fh, &n, nullptr);
        WriteFile(f, &ih, sizeof ih, &n, nullptr);
        for (int y = height - 1; y >= 0; --y) WriteFile(f, &bits[(size_t)y * stride], (DWORD)stride, &n, nullptr);
        CloseHandle(f);
    }
};

// A plain loop, as a host's: the modules' hooks do their own pre-translation.
inline void pump(DWORD ms = 0) { pump_messages(ms); }

// ---- expectations ----

// The colour a planned fill leaves at (x, y), relative to the rectangle's own origin.
inline bool plan_colour(const skin::Profile& p, COLORREF colour, int w, int h, int style, int x, int y, COLORREF* out) {
    skin::FillPlan plan = skin::plan_shaded_fill(p, colour, 0, 0, w, h, style);
    bool found = plan.plain_fill && x >= 0 && y >= 0 && x < w && y < h;
    COLORREF c = colour;
    for (const skin::Band& b : plan.bands)
        if (x >= b.left && x < b.right && y >= b.top && y < b.bottom) {
            c = b.colour;
            found = true;
        }
    if (found) *out = c;
    return found;
}

using Expect = std::function<bool(int x, int y, COLORREF* want)>;

// Compares every `step`-th pixel of a w x h area at `at` that `expect` knows; the first differences
// are listed. At least one pixel must be compared.
inline std::string compare_area(const Screen& s, POINT at, int w, int h, int step, const Expect& expect) {
    int compared = 0, wrong = 0;
    std::string listed;
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step) {
            COLORREF want;
            if (!expect(x, y, &want)) continue;
            ++compared;
            COLORREF got = s.at(at.x + x, at.y + y);
            if (got != want) {
                if (++wrong <= 4) {
                    char line[96];
                    snprintf(line, sizeof line, " (%d,%d) want %06X got %06X", x, y, (unsigned)want, (unsigned)got);
                    listed += line;
                }
            }
        }
    if (!compared) return "nothing compared";
    if (wrong) return std::to_string(wrong) + " of " + std::to_string(compared) + " differ:" + listed;
    return "";
}

inline skin::SystemShades system_shades() { return {GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_BTNSHADOW)}; }

}  // namespace gallery
