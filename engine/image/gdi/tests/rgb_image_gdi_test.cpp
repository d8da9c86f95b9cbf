// CRgbImage's Win32 side: bitmaps keep the pixels, stretched drawing fills the target rectangle, and
// pictures read back from bitmaps, device contexts and BMP files come top row first.
#include "tests/support/gtest_winelib.h"
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
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

TEST(RgbImageGdi, FromBitmapPutsTheTopRowFirst) {
    // A 6 x 4 bitmap with a red top scan line, blue below.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 6, 4);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 6, 4}, top{0, 0, 6, 1};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255)), red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, blue);
    FillRect(dc, &top, red);
    SelectObject(dc, old);

    std::unique_ptr<CRgbImage> image = CRgbImageGdi::FromBitmap(bitmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 6);
    EXPECT_EQ(image->height(), 4);
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(image->row(0)[3 * x + 2], 255) << x;  // red
        EXPECT_EQ(image->row(0)[3 * x], 0) << x;
        EXPECT_EQ(image->row(3)[3 * x], 255) << x;  // blue
    }

    // The same through a capture of the device context's area below the top line.
    old = SelectObject(dc, bitmap);
    RECT lower{1, 1, 5, 4};
    std::unique_ptr<CRgbImage> part = CRgbImageGdi::CaptureClientBitmap(dc, lower);
    SelectObject(dc, old);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->width(), 4);
    EXPECT_EQ(part->height(), 3);
    EXPECT_EQ(part->row(0)[0], 255);
    EXPECT_EQ(part->row(0)[2], 0);

    EXPECT_EQ(CRgbImageGdi::FromBitmap(nullptr), nullptr);
    DeleteObject(bitmap);
    DeleteObject(blue);
    DeleteObject(red);
    DeleteDC(dc);
}

TEST(RgbImageGdi, LoadBmpFileReadsWhatImageMagickWrote) {
    // 5 x 3: red, green, blue columns and two more, top row white; written by ImageMagick.
    char folder[1024];
    ASSERT_NE(getcwd(folder, sizeof folder), nullptr);
    const std::string unix_path = std::string(folder) + "/magick.bmp";
    const std::string command = "convert -size 5x3 xc:black -fill red -draw 'point 0,1' -fill lime -draw 'point 1,1' "
                                "-fill blue -draw 'point 2,2' -fill white -draw 'line 0,0 4,0' -type TrueColor BMP3:'" +
                                unix_path + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char sink[256];
    while (fgets(sink, sizeof sink, pipe)) {}
    ASSERT_EQ(pclose(pipe), 0);

    std::string dos_path = "Z:" + unix_path;
    for (char& c : dos_path)
        if (c == '/') c = '\\';
    std::unique_ptr<CRgbImage> image = CRgbImageGdi::LoadBmpFile(nullptr, dos_path.c_str(), CRgbImageGdi::kFromFile);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width(), 5);
    ASSERT_EQ(image->height(), 3);
    auto bgr = [&](int x, int y) {
        const uint8_t* p = image->row(y) + 3 * x;
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    };
    EXPECT_EQ(bgr(3, 0), 0xFFFFFFu);
    EXPECT_EQ(bgr(0, 1), 0x0000FFu);  // red: B,G,R bytes 0, 0, 255
    EXPECT_EQ(bgr(1, 1), 0x00FF00u);
    EXPECT_EQ(bgr(2, 2), 0xFF0000u);
    EXPECT_EQ(bgr(4, 2), 0u);

    EXPECT_EQ(CRgbImageGdi::LoadBmpFile(nullptr, "Z:\\no\\such\\file.bmp", CRgbImageGdi::kFromFile), nullptr);
    EXPECT_EQ(CRgbImageGdi::LoadBmpFile(nullptr, dos_path.c_str(), 0), nullptr) << "neither a file nor a resource";
}
