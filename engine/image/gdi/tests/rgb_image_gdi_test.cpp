// CRgbImage's Win32 side: bitmaps keep the pixels and stretched drawing fills the target rectangle.
#include "tests/support/gtest_winelib.h"
#include <cstring>
#include <vector>
#include "engine/image/gdi/rgb_image_gdi.h"

namespace {

// Reads a bitmap back as top-down 24-bit rows.
std::vector<uint8_t> dib_bytes(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<uint8_t> bytes(size_t(CRgbImage::StrideFor(width)) * size_t(height));
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, UINT(height), bytes.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(rows, height);
    return bytes;
}

void paint(CRgbImage& image, int x0, int x1, uint8_t b, uint8_t g, uint8_t r) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = x0; x < x1; ++x) {
            image.row(y)[3 * x] = b;
            image.row(y)[3 * x + 1] = g;
            image.row(y)[3 * x + 2] = r;
        }
}

}  // namespace

TEST(RgbImageGdi, HeaderMatchesWindows) {
    CRgbImage image(177, 9);
    DibInfoHeader portable;
    CRgbImage::GetBitmapInfo(image, &portable);
    BITMAPINFOHEADER h;
    std::memcpy(&h, &portable, sizeof h);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 177);
    EXPECT_EQ(h.biHeight, -9);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, DWORD(BI_RGB));
    EXPECT_EQ(h.biSizeImage, DWORD(532 * 9));
}

TEST(RgbImageGdi, BitmapOfWholeImageAndOfAPart) {
    CRgbImage image(10, 4);
    paint(image, 0, 5, 0, 0, 255);    // red left half
    paint(image, 5, 10, 255, 0, 0);   // blue right half
    HBITMAP whole = CRgbImageGdi::CreateBitmap(image, nullptr);
    ASSERT_NE(whole, nullptr);
    std::vector<uint8_t> bytes = dib_bytes(whole, 10, 4);
    EXPECT_EQ(bytes[2], 255);           // pixel 0 red
    EXPECT_EQ(bytes[3 * 9], 255);       // pixel 9 blue
    EXPECT_EQ(bytes[32 * 3 + 2], 255);  // row 3 pixel 0 red: top-down kept
    DeleteObject(whole);

    RgbRect right{5, 1, 10, 3};
    HBITMAP part = CRgbImageGdi::CreateBitmap(image, &right);
    ASSERT_NE(part, nullptr);
    BITMAP info;
    GetObjectA(part, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 2);
    bytes = dib_bytes(part, 5, 2);
    EXPECT_EQ(bytes[0], 255);
    EXPECT_EQ(bytes[2], 0);
    DeleteObject(part);
}

TEST(RgbImageGdi, StretchDrawFillsTheRectangleFromTheGivenCorner) {
    CRgbImage image(8, 8);
    paint(image, 0, 4, 0, 0, 255);
    paint(image, 4, 8, 0, 255, 0);
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(target, canvas);
    RECT dest{0, 0, 32, 32};
    CRgbImageGdi::StretchDraw(target, dest, image, 4, 0);  // the green half only, stretched to 32 x 32
    EXPECT_EQ(GetPixel(target, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target, 31, 31), RGB(0, 255, 0));
    CRgbImageGdi::StretchDraw(target, dest, image, 0, 0);
    EXPECT_EQ(GetPixel(target, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target, 30, 30), RGB(0, 255, 0));
    SelectObject(target, old);
    DeleteObject(canvas);
    DeleteDC(target);
}
