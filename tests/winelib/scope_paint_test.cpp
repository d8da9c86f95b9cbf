// The wave scope drawn two ways onto 32-bit DIB sections: line by line with brushes, pens and
// LineTo (GDI's own rasterising, the reference), and through ScopeCanvas (our pixels, one transfer).
// The two must agree pixel for pixel for every picture the scope can draw.
#include "tests/support/gtest_winelib.h"
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>
#include "app/ScopeCanvas.h"
#include "app/core/wave_scope.h"

namespace {

struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int width, height;

    Surface(int w, int h) : width(w), height(h) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        if (bits) std::fill(bits, bits + size_t(w) * size_t(h), 0xA5A5A5u);  // neither picture's colour
        old = SelectObject(dc, bitmap);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

// The picture as GDI draws it, one brush per fill and MoveToEx/LineTo per line.
void draw_with_gdi(HDC dc, const ScopePicture& picture, int width) {
    for (const ScopeFill& f : picture.fills) {
        HBRUSH brush = CreateSolidBrush(f.colour);
        RECT r = {0, f.top, width, f.bottom};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    for (const ScopeLine& l : picture.lines) {
        HPEN pen = CreatePen(PS_SOLID, 1, l.colour);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, l.x0, l.y0, nullptr);
        LineTo(dc, l.x1, l.y1);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

// Level buffers of one kind: random bytes (a fixed LCG), silence, full scale, a slow ramp.
std::vector<uint8_t> levels(int kind, uint32_t seed) {
    std::vector<uint8_t> v(8192);
    uint32_t x = seed;
    for (size_t i = 0; i < v.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        switch (kind) {
            case 0: v[i] = uint8_t(x >> 24); break;
            case 1: v[i] = 0; break;
            case 2: v[i] = 255; break;
            default: v[i] = uint8_t((i * 7 + seed) % 256); break;
        }
    }
    return v;
}

}  // namespace

TEST(ScopePaint, OneTransferShowsWhatGdiDrawsLineByLine) {
    struct Size {
        int width, height;
    };
    // The label's size at the usual dialog font, small and odd areas, the smallest drawn one.
    const Size sizes[] = {{204, 50}, {205, 49}, {100, 40}, {37, 9}, {13, 8}};
    const ScopeColours colour_sets[] = {{0x804020, 0x402010, 0x20C0F0}, {0xF0F0F0, 0x808080, 0x2040C0}};
    int compared = 0;
    for (const Size& size : sizes)
        for (int kind = 0; kind < 4; ++kind)
            for (int frames_a_column = 1; frames_a_column <= 3; ++frames_a_column) {
                const std::vector<uint8_t> left = levels(kind, 11u * uint32_t(frames_a_column));
                const std::vector<uint8_t> right = levels(kind, 977u + uint32_t(size.width));
                const ScopeColours& colours = colour_sets[(kind + frames_a_column) % 2];
                const int count = std::min(8190, size.width * frames_a_column + frames_a_column / 2);
                ScopePicture picture;
                draw_scope(left.data(), right.data(), count, size.width, size.height, colours, &picture);
                Surface reference(size.width, size.height), ours(size.width, size.height);
                ASSERT_TRUE(reference.bits && ours.bits);
                draw_with_gdi(reference.dc, picture, size.width);
                GdiFlush();
                ScopeCanvas canvas;
                ASSERT_TRUE(canvas.paint(ours.dc, picture, size.width, size.height));
                GdiFlush();
                const std::string what = std::to_string(size.width) + " x " + std::to_string(size.height) +
                                         ", levels of kind " + std::to_string(kind) + ", " +
                                         std::to_string(frames_a_column) + " frames a column";
                int differing = 0, first_x = -1, first_y = -1;
                for (int y = 0; y < size.height; ++y)
                    for (int x = 0; x < size.width; ++x) {
                        const size_t i = size_t(y) * size_t(size.width) + size_t(x);
                        if ((reference.bits[i] & 0xFFFFFF) == (ours.bits[i] & 0xFFFFFF)) continue;
                        if (differing++ == 0) first_x = x, first_y = y;
                    }
                EXPECT_EQ(differing, 0) << what << ": first at (" << first_x << ", " << first_y << ")";
                ++compared;
            }
    EXPECT_EQ(compared, 5 * 4 * 3);
}
