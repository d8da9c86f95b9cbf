// The skin on a real display: skin bitmaps, pictures, transparent blits and regions, the skinned
// dialog's painting and its GDI balance, the skinned window's region. With --show the program instead opens a skinned dialog for
// skin_screen_test.sh, prints where it is and which colours must be on screen, and reports its final
// position when it is closed.
#include "tests/support/gtest_winelib.h"
#include "tests/support/gdi_count.h"
#include "controls/skin/SkinDialog.h"
#include "controls/skin/SkinDraw.h"
#include "controls/skin/SkinRegion.h"
#include "controls/skin_core/dib_layout.h"
#include "controls/skin_core/skin_fill_profile.h"
#include "controls/res/skin_res.h"
#include "skin_test_res.h"
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kWidth = 400, kHeight = 300;

// A skinned dialog that paints the frame edges and the three caption buttons over its tiled background.
class CSkinTestDlg : public CSkinDialog {
public:
    CSkinTestDlg() : CSkinDialog(IDD_SKIN_TEST) {}
    int paints = 0;
    CRect final_rect;

protected:
    BOOL OnInitDialog() override {
        CSkinDialog::OnInitDialog();
        SetWindowText("SkinTest");  // a caption line in the template would add a title bar
        SetBackBitmap(IDB_SKIN_BACKGROUND);
        EnableEasyMove(TRUE);
        return TRUE;
    }
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        CRect r;
        GetWindowRect(&r);
        skin_draw_frame(&dc, r.Width(), r.Height());
        for (int which : {0, 1, 4}) skin_draw_caption_button(m_hWnd, &dc, which, 0);
        ++paints;
    }
    void OnCancel() override {
        GetWindowRect(&final_rect);
        DestroyWindow();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSkinTestDlg, CSkinDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

COLORREF pixel_of(HBITMAP bitmap, int x, int y) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    COLORREF c = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteDC(memory);
    return c;
}

// The colour skin_fill_shaded leaves at (x, y): the last band covering it, else the plain fill.
COLORREF planned_colour(COLORREF colour, RECT r, int style, int x, int y) {
    skin::FillPlan plan = skin::plan_shaded_fill(skin::kSkinFillProfile, colour, r.left, r.top, r.right, r.bottom, style);
    COLORREF found = plan.plain_fill ? colour : CLR_INVALID;
    for (const skin::Band& b : plan.bands)
        if (x >= b.left && x < b.right && y >= b.top && y < b.bottom) found = b.colour;
    return found;
}

void open_test_dialog(CSkinTestDlg& dlg, int x, int y) {
    ASSERT_TRUE(dlg.Create(IDD_SKIN_TEST));
    dlg.SetWindowPos(nullptr, x, y, kWidth, kHeight, SWP_NOZORDER | SWP_SHOWWINDOW);
    dlg.UpdateWindow();
}

void use_skin() {
    skin_apply_startup_colours(1, FALSE, 0);
    skin_reload_bitmaps();
}

struct SkinBitmapCase {
    const char* name;
    CSkinBitmap* bitmap;
    UINT id;
    int width, height, bpp;
};

TEST(SkinBitmaps, EveryOneLoadsAtItsStatedSizeFromAPlainFullPaletteResource) {
    use_skin();
    const SkinBitmapCase cases[] = {
        {"background", &skin_bmp_background, IDB_SKIN_BACKGROUND, 150, 150, 8},
        {"caption", &skin_bmp_caption, IDB_SKIN_CAPTION, 179, 66, 8},
        {"left", &skin_bmp_frame_left, IDB_SKIN_FRAME_LEFT, 20, 58, 8},
        {"right", &skin_bmp_frame_right, IDB_SKIN_FRAME_RIGHT, 24, 56, 8},
        {"bottom", &skin_bmp_frame_bottom, IDB_SKIN_FRAME_BOTTOM, 57, 26, 4},
        {"close", &skin_bmp_button_close, IDB_SKIN_BUTTON_CLOSE, 63, 21, 24},
        {"button 1", &skin_bmp_button_min, IDB_SKIN_BUTTON_MIN, 63, 21, 24},
        {"background 2", &skin_bmp_background2, IDB_SKIN_BACKGROUND, 150, 150, 8},
        {"button 4", &skin_bmp_button_colour, IDB_SKIN_BUTTON_COLOUR, 63, 21, 24},
    };
    for (const SkinBitmapCase& c : cases) {
        EXPECT_EQ(CSize(c.width, c.height), c.bitmap->GetSize()) << c.name;
        DWORD size = 0;
        ASSERT_TRUE(CPictureBitmap::GetResource(MAKEINTRESOURCEA(c.id), (LPCSTR)RT_BITMAP, GetModuleHandleA(nullptr),
                                                nullptr, &size)) << c.name;
        std::vector<uint8_t> dib(size);
        ASSERT_TRUE(CPictureBitmap::GetResource(MAKEINTRESOURCEA(c.id), (LPCSTR)RT_BITMAP, GetModuleHandleA(nullptr),
                                                dib.data(), &size));
        BITMAPINFOHEADER header;
        memcpy(&header, dib.data(), sizeof header);
        EXPECT_EQ(40u, header.biSize) << c.name;
        EXPECT_EQ(c.bpp, header.biBitCount) << c.name;
        EXPECT_EQ(0u, header.biClrUsed) << c.name;
        EXPECT_EQ(c.width, header.biWidth) << c.name;
        EXPECT_EQ(c.height, header.biHeight) << c.name;
    }
    // The metrics come from the loaded bitmaps (the arithmetic itself is tested natively).
    EXPECT_EQ(1, skin_ready);
    EXPECT_EQ(33, skin_frame.caption_height);
    EXPECT_EQ(10, skin_frame.side_width);
    EXPECT_EQ(57, skin_frame.bottom_piece_width);
}

TEST(SkinBitmaps, LoadingRefusesAFullObjectAndMissingResources) {
    CPictureBitmap picture;
    ASSERT_TRUE(picture.LoadFromResource(IDB_SKIN_CAPTION, (LPCSTR)RT_BITMAP));
    HGDIOBJ first = picture.m_hObject;
    EXPECT_FALSE(picture.LoadFromResource(IDB_SKIN_BACKGROUND, (LPCSTR)RT_BITMAP));
    EXPECT_EQ(first, picture.m_hObject);
    EXPECT_EQ(CSize(179, 66), picture.GetSize());
    CPictureBitmap missing;
    EXPECT_FALSE(missing.LoadFromResource(4242, (LPCSTR)RT_BITMAP));
    EXPECT_EQ(nullptr, missing.m_hObject);
}

TEST(SkinBitmaps, ShortPaletteDibRendersWithItsOwnBitsOffset) {
    // 4x2, 8 bits, two palette entries (biClrUsed 2): a file header that assumed 256 entries would
    // point the picture loader past the bits.
    std::vector<uint8_t> dib(40 + 8 + 8, 0);
    BITMAPINFOHEADER h{};
    h.biSize = 40; h.biWidth = 4; h.biHeight = 2; h.biPlanes = 1; h.biBitCount = 8; h.biClrUsed = 2;
    memcpy(dib.data(), &h, sizeof h);
    const uint8_t palette[8] = {255, 0, 0, 0, 0, 0, 255, 0};  // blue, red (RGBQUAD)
    memcpy(&dib[40], palette, 8);
    const uint8_t bits[8] = {0, 1, 0, 1, 1, 1, 0, 0};  // bottom row, then top row
    memcpy(&dib[48], bits, 8);
    std::vector<uint8_t> file = skin::bitmap_file_image(dib.data(), dib.size());
    ASSERT_FALSE(file.empty());
    IPicture* picture = CPictureBitmap::CreatePictureFromBuffer(file.data(), file.size());
    ASSERT_NE(nullptr, picture);
    CPictureBitmap bitmap;
    ASSERT_TRUE(bitmap.RenderPicture(picture, RGB(1, 2, 3)));
    picture->Release();
    ASSERT_EQ(CSize(4, 2), bitmap.GetSize());
    HBITMAP hb = (HBITMAP)bitmap.m_hObject;
    EXPECT_EQ(RGB(255, 0, 0), pixel_of(hb, 0, 0));  // top row: red red blue blue
    EXPECT_EQ(RGB(0, 0, 255), pixel_of(hb, 2, 0));
    EXPECT_EQ(RGB(0, 0, 255), pixel_of(hb, 0, 1));  // bottom row: blue red blue red
    EXPECT_EQ(RGB(255, 0, 0), pixel_of(hb, 3, 1));
}

TEST(SkinBitmaps, TransparentBlitAndRegionLeaveOutTheKeyColour) {
    use_skin();
    HRGN caption = skin_bmp_caption.CreateRegion(skin_key_colour);
    EXPECT_FALSE(PtInRegion(caption, 0, 0));      // cut corner
    EXPECT_FALSE(PtInRegion(caption, 178, 0));
    EXPECT_TRUE(PtInRegion(caption, 90, 10));
    EXPECT_TRUE(PtInRegion(caption, 0, 20));
    DeleteObject(caption);

    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CSkinBitmap black;
    HDC screen = GetDC(nullptr);
    black.Attach(CreateCompatibleBitmap(screen, 2, 1));
    CBitmap target;
    target.Attach(CreateCompatibleBitmap(screen, 2, 1));
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = dc.SelectObject(black.m_hObject);
    dc.SetPixel(0, 0, RGB(0, 0, 0));
    dc.SetPixel(1, 0, RGB(255, 255, 255));
    dc.SelectObject(old);
    HRGN half = black.CreateRegion(RGB(0, 0, 0));
    RECT box;
    EXPECT_EQ(SIMPLEREGION, GetRgnBox(half, &box));
    EXPECT_EQ(1, box.left);
    DeleteObject(half);

    old = dc.SelectObject(target.m_hObject);
    dc.FillSolidRect(0, 0, 2, 1, RGB(0, 200, 0));
    black.DrawTransparent(&dc, 0, 0, nullptr, RGB(0, 0, 0), TRUE);
    EXPECT_EQ(RGB(0, 200, 0), dc.GetPixel(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(1, 0));
    black.DrawTransparent(&dc, 0, 0, nullptr, RGB(0, 0, 0), FALSE);
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(0, 0));
    dc.SelectObject(old);

    CSkinBitmap all_key;
    screen = GetDC(nullptr);
    all_key.Attach(CreateCompatibleBitmap(screen, 3, 3));  // a new bitmap is black
    ReleaseDC(nullptr, screen);
    HRGN none = all_key.CreateRegion(RGB(0, 0, 0));
    EXPECT_EQ(NULLREGION, GetRgnBox(none, &box));
    DeleteObject(none);
}

TEST(SkinDialog, BackgroundBitmapReportsAMissingResource) {
    CSkinTestDlg dlg;
    EXPECT_FALSE(dlg.SetBackBitmap(4242));
    EXPECT_EQ(nullptr, dlg.GetBackBitmap());
    EXPECT_TRUE(dlg.SetBackBitmap(IDB_SKIN_BACKGROUND));
    EXPECT_NE(nullptr, dlg.GetBackBitmap());
    EXPECT_TRUE(dlg.SetBackBitmap((HBITMAP) nullptr));
    EXPECT_EQ(nullptr, dlg.GetBackBitmap());
    HBRUSH not_a_bitmap = CreateSolidBrush(RGB(1, 1, 1));
    EXPECT_FALSE(dlg.SetBackBitmap((HBITMAP)not_a_bitmap));
    EXPECT_EQ(0u, GetObjectType(not_a_bitmap));  // taken over and deleted
}

TEST(SkinDialog, StartUpKeepsTheSavedUiColour) {
    skin_apply_startup_colours(1, TRUE, 0x123456);
    EXPECT_EQ(0x123456u, skin_ui_color);
    EXPECT_EQ(0xC66020u, skin_color_main);
    EXPECT_EQ(0x20E1E1u, skin_color_accent);
    skin_set_scheme(4);
    EXPECT_EQ(0x981B5Fu, skin_ui_color);
}

TEST(SkinDialog, PaintsTilesFrameAndButtonsAndHundredRepaintsLeakNoGdiObject) {
    use_skin();
    CSkinTestDlg dlg;
    open_test_dialog(dlg, 50, 60);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    AfxFreeTempMaps();

    // What the window shows, read back from the screen.
    HDC screen = GetDC(nullptr);
    CRect w;
    dlg.GetWindowRect(&w);
    HBITMAP back = dlg.GetBackBitmap();
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(pixel_of(back, 40, 80), GetPixel(screen, w.left + 40, w.top + 80));
    EXPECT_EQ(pixel_of(back, 40, 80), GetPixel(screen, w.left + 190, w.top + 80));   // next tile across
    EXPECT_EQ(pixel_of(back, 40, 80), GetPixel(screen, w.left + 40, w.top + 230));   // next tile down
    COLORREF edge = color_lighten(skin_ui_color, 0x33);
    EXPECT_EQ(planned_colour(edge, {5, 0, 10, kHeight - 6}, 10, 7, 100), GetPixel(screen, w.left + 7, w.top + 100));
    EXPECT_EQ(planned_colour(edge, {5, kHeight - 12, kWidth - 5, kHeight - 6}, 8, 200, kHeight - 9),
              GetPixel(screen, w.left + 200, w.top + kHeight - 9));
    EXPECT_EQ(pixel_of((HBITMAP)skin_bmp_button_close.m_hObject, 10, 10),
              GetPixel(screen, w.left + kWidth - 27 + 10, w.top + 5 + 10));
    ReleaseDC(nullptr, screen);

    // Caption button geometry and the buttons that do not exist.
    RECT b;
    skin_caption_button_rect(&b, dlg.m_hWnd, 4);
    EXPECT_EQ(kWidth - 116, b.left);
    EXPECT_EQ(6, b.top);
    EXPECT_EQ(21, b.right - b.left);
    CClientDC dc(&dlg);
    EXPECT_EQ(1, skin_draw_caption_button(dlg.m_hWnd, &dc, 3, 0));

    // Warm up first: the system allocates some objects once, on first use.
    for (int i = 0; i < 5; ++i) dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    AfxFreeTempMaps();
    int before = gdi_object_count();
    ASSERT_GT(before, 0);
    int paints = dlg.paints;
    for (int i = 0; i < 100; ++i) dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    AfxFreeTempMaps();
    EXPECT_EQ(paints + 100, dlg.paints);
    EXPECT_EQ(before, gdi_object_count());
    dlg.DestroyWindow();
}

// A dialog that paints its frame as the program's skinned dialogs do: through the shared painter,
// after the default handling of the paint messages.
class CSkinFrameDlg : public CSkinDialog {
public:
    CSkinFrameDlg() : CSkinDialog(IDD_SKIN_TEST) {}

protected:
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        LRESULT result = CSkinDialog::DefWindowProc(msg, wp, lp);
        if (::IsWindow(m_hWnd) && skin_ready && (msg == WM_PAINT || msg == WM_NCPAINT || msg == WM_NCACTIVATE))
            skin_paint_window(this, nullptr);
        return result;
    }
};

void pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    AfxFreeTempMaps();
}

void resize_and_paint(CWnd& wnd, int width, int height) {
    wnd.SetWindowPos(nullptr, 60, 40, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    wnd.UpdateWindow();
    pump_messages();
}

// The caption bar's key pixels, read straight from its bitmap resource (8 bits, full palette,
// bottom-up rows), not through the bitmap classes.
struct KeyMask {
    int width = 0, height = 0;
    std::vector<bool> key;
    bool at(int x, int y) const { return key[(size_t)y * width + x]; }
};

KeyMask caption_key_mask() {
    KeyMask mask;
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_SKIN_CAPTION), (LPCSTR)RT_BITMAP);
    const uint8_t* dib = found ? (const uint8_t*)LockResource(LoadResource(nullptr, found)) : nullptr;
    if (!dib) return mask;
    BITMAPINFOHEADER h;
    memcpy(&h, dib, sizeof h);
    if (h.biBitCount != 8 || h.biClrUsed != 0 || h.biHeight <= 0) return mask;
    const RGBQUAD* palette = (const RGBQUAD*)(dib + h.biSize);
    const uint8_t* bits = dib + h.biSize + 256 * sizeof(RGBQUAD);
    const int stride = (h.biWidth + 3) & ~3;
    mask.width = h.biWidth;
    mask.height = h.biHeight;
    mask.key.resize((size_t)mask.width * mask.height);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            const RGBQUAD& c = palette[bits[(size_t)(mask.height - 1 - y) * stride + x]];
            mask.key[(size_t)y * mask.width + x] = c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0;
        }
    return mask;
}

// The bar column shown at window column x of a window `width` wide: the right 84 columns (95..178)
// flush with the right edge, the left 76 columns (0..75) at the left edge, the 19 columns 76..94
// repeated between them.
int bar_column(int width, int x) {
    if (x >= width - 84) return x - (width - 84) + 95;
    if (x < 76) return x;
    return 76 + (x - 76) % 19;
}

// Compares the window's region with the bar's key pixels over the caption band, and checks that
// the rest of the window is whole and nothing outside it is in. Returns the number of cut pixels.
int check_window_region(HWND wnd, const KeyMask& mask, int width, int height) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, GetWindowRgn(wnd, region)) << width;
    int cut = 0, wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = -1; x <= width; ++x) {
            bool expected = x >= 0 && x < width && !(y < 33 && mask.at(bar_column(width, x), y));
            if (x >= 0 && x < width && !expected) ++cut;
            if ((PtInRegion(region, x, y) != FALSE) != expected && ++wrong <= 5)
                ADD_FAILURE() << "width " << width << ": (" << x << ", " << y << ") should be "
                              << (expected ? "in" : "out");
        }
    EXPECT_FALSE(PtInRegion(region, 10, -1));
    EXPECT_FALSE(PtInRegion(region, 10, height));
    EXPECT_EQ(0, wrong) << width;
    DeleteObject(region);
    return cut;
}

TEST(SkinWindowRegion, CaptionCornersAreCutByTheKeyColourAtEveryWidth) {
    use_skin();
    const KeyMask mask = caption_key_mask();
    ASSERT_EQ(179, mask.width);
    ASSERT_EQ(66, mask.height);
    // The bar's own corners, so that the cut below is not vacuous.
    ASSERT_TRUE(mask.at(0, 0));
    ASSERT_TRUE(mask.at(178, 0));
    ASSERT_FALSE(mask.at(90, 0));
    CSkinFrameDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_SKIN_TEST));
    // Wider than the bar, as wide, one column wider, and narrower than its two corners together.
    for (int width : {400, 179, 180, 150, 611}) {
        resize_and_paint(dlg, width, 120);
        int cut = check_window_region(dlg.m_hWnd, mask, width, 120);
        EXPECT_GT(cut, 20) << width;
    }
    dlg.DestroyWindow();
}

TEST(SkinWindowRegion, WithoutTheCaptionBarTheWindowStaysARectangleAndAReloadBringsTheRegionBack) {
    use_skin();
    const KeyMask mask = caption_key_mask();
    ASSERT_EQ(179, mask.width);
    CSkinFrameDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_SKIN_TEST));
    resize_and_paint(dlg, 300, 100);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, GetWindowRgn(dlg.m_hWnd, probe));
    // The bar failed to load: the region given earlier goes, and a new window gets none.
    skin_bmp_caption.DeleteObject();
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    pump_messages();
    EXPECT_EQ(ERROR, GetWindowRgn(dlg.m_hWnd, probe));
    CSkinFrameDlg plain;
    ASSERT_TRUE(plain.Create(IDD_SKIN_TEST));
    resize_and_paint(plain, 300, 100);
    EXPECT_EQ(ERROR, GetWindowRgn(plain.m_hWnd, probe));
    EXPECT_EQ(nullptr, skin_window_region(300, 100));
    // Reloaded, at the same size: the region comes back.
    skin_reload_bitmaps();
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    pump_messages();
    check_window_region(dlg.m_hWnd, mask, 300, 100);
    DeleteObject(probe);
    plain.DestroyWindow();
    dlg.DestroyWindow();
}

TEST(SkinWindowRegion, FiftyResizesLeakNoRegion) {
    use_skin();
    CSkinFrameDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_SKIN_TEST));
    // Warm up first: the system allocates some objects once, on first use.
    for (int i = 0; i < 5; ++i) resize_and_paint(dlg, 200 + 10 * i, 150);
    int before = gdi_object_count();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 50; ++i) resize_and_paint(dlg, 160 + 7 * i, 100 + (i % 3) * 20);
    EXPECT_EQ(before, gdi_object_count());
    // The region was rebuilt for the last size.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(dlg.m_hWnd, region));
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(160 + 7 * 49, box.right);
    EXPECT_EQ(100 + (49 % 3) * 20, box.bottom);
    DeleteObject(region);
    dlg.DestroyWindow();
}

// --show: the dialog for the screenshot and drag test.
int show_for_screen_test() {
    use_skin();
    CSkinTestDlg dlg;
    open_test_dialog(dlg, 100, 100);
    CRect w;
    dlg.GetWindowRect(&w);
    HBITMAP back = dlg.GetBackBitmap();
    COLORREF edge = color_lighten(skin_ui_color, 0x33);
    auto pixel = [&](int x, int y, COLORREF c, const char* what) {
        printf("PIXEL %d %d %02X%02X%02X %s\n", (int)(w.left + x), (int)(w.top + y), GetRValue(c), GetGValue(c), GetBValue(c), what);
    };
    printf("WINDOW %d %d %d %d\n", (int)w.left, (int)w.top, (int)w.right, (int)w.bottom);
    pixel(40, 80, pixel_of(back, 40, 80), "background");
    pixel(190, 80, pixel_of(back, 40, 80), "background-next-column");
    pixel(40, 230, pixel_of(back, 40, 80), "background-next-row");
    pixel(7, 100, planned_colour(edge, {5, 0, 10, kHeight - 6}, 10, 7, 100), "left-edge");
    pixel(kWidth - 7, 100, planned_colour(edge, {kWidth - 10, 0, kWidth - 5, kHeight - 6}, 10, kWidth - 7, 100), "right-edge");
    pixel(200, kHeight - 9, planned_colour(edge, {5, kHeight - 12, kWidth - 5, kHeight - 6}, 8, 200, kHeight - 9), "bottom-edge");
    pixel(kWidth - 27 + 10, 15, pixel_of((HBITMAP)skin_bmp_button_close.m_hObject, 10, 10), "close-button");
    pixel(kWidth - 49 + 10, 15, pixel_of((HBITMAP)skin_bmp_button_min.m_hObject, 10, 10), "button-1");
    pixel(kWidth - 116 + 10, 16, pixel_of((HBITMAP)skin_bmp_button_colour.m_hObject, 10, 10), "button-4");
    printf("READY\n");
    fflush(stdout);
    while (dlg.m_hWnd && AfxPumpMessage()) {
    }
    printf("FINAL %d %d %d %d\n", (int)dlg.final_rect.left, (int)dlg.final_rect.top, (int)dlg.final_rect.right,
           (int)dlg.final_rect.bottom);
    fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "--show") == 0) return show_for_screen_test();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
