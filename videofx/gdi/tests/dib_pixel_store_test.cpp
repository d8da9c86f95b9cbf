// Effect images in DIB sections: the bitmap Windows sees has table row 0 at its top, and every
// routine gives on a section the bytes it gives on plain memory.
#include "tests/support/gtest_winelib.h"
#include <cstring>
#include <functional>
#include <random>
#include "videofx/brisvane.h"
#include "videofx/core/effect_image.h"
#include "videofx/gdi/dib_pixel_store.h"

namespace {

// The export header gives a host pointer types that take functions of these signatures.
int __cdecl change_like(uint8_t*, int size) { return size; }
HWND __cdecl handle_like(HWND host) { return host; }
int __cdecl init_like(int, int, int, bool) { return 0; }
[[maybe_unused]] const tolmvideo_change_fn kChange = change_like;
[[maybe_unused]] const tolmvideo_handle_fn kHandle = handle_like;
[[maybe_unused]] const tolmvideo_init_fn kInit = init_like;

void fill_random(CEffectImage& image, uint32_t seed) {
    std::mt19937 random(seed);
    for (int k = 0; k < image.height(); ++k)
        for (int x = 0; x < 3 * image.width(); ++x) image.memory_row(k)[x] = uint8_t(random());
}

std::vector<uint8_t> pixel_bytes(const CEffectImage& image) {
    std::vector<uint8_t> bytes;
    for (int k = 0; k < image.height(); ++k)
        bytes.insert(bytes.end(), image.memory_row(k), image.memory_row(k) + 3 * image.width());
    return bytes;
}

}  // namespace

TEST(DibPixelStore, SectionIsBottomUpWithTableRowZeroOnTop) {
    CEffectImage image(DibPixelStore::Make);
    ASSERT_TRUE(image.Create(5, 3));
    auto* store = static_cast<DibPixelStore*>(image.store());
    ASSERT_NE(store->bitmap(), nullptr);
    EXPECT_EQ(store->header().bV4Size, 108u);
    EXPECT_EQ(store->header().bV4Width, 5);
    EXPECT_EQ(store->header().bV4Height, 3);
    EXPECT_EQ(store->header().bV4BitCount, 24);
    EXPECT_EQ(image.stride(), 16);
    for (size_t i = 0; i < image.byte_size(); ++i) ASSERT_EQ(image.bits()[i], 0);

    image.Fill(0x0000FF);  // colours are blue | green << 8 | red << 16: blue everywhere
    const RgbRect top{0, 0, 5, 1};
    image.Fill(0xFF0000, &top);  // and red on table row 0
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, store->bitmap());
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(255, 0, 0)) << "table row 0 is the bitmap's top row";
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 0, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(DibPixelStore, RoutinesGiveTheBytesTheyGiveOnPlainMemory) {
    uint8_t overlay_bytes[8 * 4];
    for (int i = 0; i < 32; ++i) overlay_bytes[i] = uint8_t(i * 9);
    const PictureView overlay = picture::bgr24(overlay_bytes, 2, 4);
    const std::function<void(CEffectImage&)> routines[] = {
        [](CEffectImage& i) { i.AdjustRgb(20, -30, 40, &i.progress()); },
        [](CEffectImage& i) { i.AdjustHueSaturation(80, 120, &i.progress()); },
        [](CEffectImage& i) { i.AdjustBrightness(120, &i.progress()); },
        [](CEffectImage& i) { i.AdjustContrast(150, &i.progress()); },
        [](CEffectImage& i) { i.Flip(&i.progress()); },
        [](CEffectImage& i) { i.Mirror(&i.progress()); },
        [](CEffectImage& i) { i.Invert(&i.progress()); },
        [](CEffectImage& i) { i.Mosaic(4, &i.progress()); },
        [](CEffectImage& i) { i.Weathering(5, &i.progress()); },
        [](CEffectImage& i) { i.Sharpen(2, &i.progress()); },
        [](CEffectImage& i) { i.Blur(5); },
        [&](CEffectImage& i) { i.OverlayPicture(overlay, 1, 0, 0, 0, 60, 60, 60); },
        [&](CEffectImage& i) { i.OverlayText(overlay); },
        [](CEffectImage& i) { i.Blinds(1, 1, 5); },
        [](CEffectImage& i) { i.Expand(4, 1, 9); },
        [](CEffectImage& i) {
            i.ExtendEdges(3, 2);
            i.ShrinkCanvas(1, 1, 1, 1);
        },
    };
    for (size_t r = 0; r < std::size(routines); ++r) {
        CEffectImage on_dib(DibPixelStore::Make), in_memory(make_memory_store);
        ASSERT_TRUE(on_dib.Create(37, 23));
        ASSERT_TRUE(in_memory.Create(37, 23));
        fill_random(on_dib, 42);
        fill_random(in_memory, 42);
        routines[r](on_dib);
        routines[r](in_memory);
        EXPECT_EQ(on_dib.width(), in_memory.width());
        EXPECT_EQ(pixel_bytes(on_dib), pixel_bytes(in_memory)) << "routine " << r;
        EXPECT_NE(dynamic_cast<DibPixelStore*>(on_dib.store()), nullptr) << "images made from it stay sections";
    }
}
