// brisvane.dll driven as its host drives it: begin on the UI thread (which pumps), a feeding thread
// that passes frames through tolmvideo_change, and the panel clicked with xdotool. Output frames are
// compared with the core's chain applied to the same input in the expected order.
#include "tests/support/gtest_winelib.h"
#include <commctrl.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>
#include "tests/support/gdi_count.h"
#include "tests/support/message_pump.h"
#include "media/avi/avilib.h"
#include "videofx/brisvane.h"
#include "videofx/core/effect_table.h"

namespace {

constexpr int kW = 352, kH = 288, kStride = (3 * kW + 3) & ~3, kSize = kStride * kH;
const wchar_t kCaption[] = L"Orvane视频处理器 V3.00";

struct Api {
    HMODULE module = nullptr;
    tolmvideo_begin_fn begin;
    tolmvideo_close_fn close;
    tolmvideo_init_fn init;
    tolmvideo_change_fn change;
    tolmvideo_text_fn text;
    tolmvideo_picture_fn picture;
    tolmvideo_setdisp_fn setdisp;
    tolmvideo_gettextflag_fn gettextflag;
    tolmvideo_getpicflag_fn getpicflag;
    tolmvideo_gettextvalid_fn gettextvalid;
    tolmvideo_getpicvalid_fn getpicvalid;
    tolmvideo_getdisp_fn getdisp;
    tolmvideo_handle_fn handle;
    tolmvideo_setwh_fn setwh;
};

template <class Fn>
void bind(HMODULE m, Fn& fn, int ordinal) {
    FARPROC address = GetProcAddress(m, MAKEINTRESOURCEA(ordinal));
    std::memcpy(&fn, &address, sizeof fn);
}

Api load_api() {
    Api a;
    a.module = LoadLibraryA("brisvane.dll");
    if (!a.module) return a;
    bind(a.module, a.begin, 1);
    bind(a.module, a.close, 2);
    bind(a.module, a.init, 3);
    bind(a.module, a.change, 4);
    bind(a.module, a.text, 5);
    bind(a.module, a.picture, 6);
    bind(a.module, a.setdisp, 7);
    bind(a.module, a.gettextflag, 8);
    bind(a.module, a.getpicflag, 9);
    bind(a.module, a.gettextvalid, 10);
    bind(a.module, a.getpicvalid, 11);
    bind(a.module, a.getdisp, 12);
    bind(a.module, a.handle, 13);
    bind(a.module, a.setwh, 14);
    return a;
}

// A 352 x 288 frame with gradients and a fixed pseudo-random texture, different per seed.
std::vector<uint8_t> make_frame(int seed, int w = kW, int h = kH) {
    const int stride = (3 * w + 3) & ~3;
    std::vector<uint8_t> f(size_t(stride) * h, 0);
    uint32_t s = 12345u + 977u * seed;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            uint8_t* p = &f[y * stride + 3 * x];
            p[0] = uint8_t(x + (s >> 28));
            p[1] = uint8_t(y + (s >> 27));
            p[2] = uint8_t((x ^ y) + seed);
        }
    return f;
}

// The core's chain over a copy of the frame: records reset for 352 x 288, then `setup` edits them.
template <class Setup>
std::vector<uint8_t> expected(const std::vector<uint8_t>& in, const std::vector<int>& order, Setup setup, int w = kW,
                              int h = kH) {
    static videofx::EffectTable reference;
    reference.begin();
    reference.set_frame_size(w, h, 1);
    reference.with_slots([&](videofx::SlotTable& slots) {
        setup(slots);
        return 0;
    });
    std::vector<uint8_t> out = in;
    PictureView view{out.data(), w, h, (3 * w + 3) & ~3, PixelFormat::kBgr24};
    reference.apply_chain(view, order);
    return out;
}

// The feeding thread: frames through tolmvideo_change, each output kept.
class Feeder {
public:
    explicit Feeder(const Api& api) : api_(api) {
        wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &Feeder::Run, this, 0, nullptr);
    }
    ~Feeder() {
        stop_ = true;
        SetEvent(wake_);
        while (WaitForSingleObject(thread_, 10) == WAIT_TIMEOUT) pump_messages();
        CloseHandle(thread_);
        CloseHandle(wake_);
    }
    // One frame processed on the feeding thread while this (UI) thread pumps.
    std::vector<uint8_t> Process(const std::vector<uint8_t>& in) {
        job_ = in;
        done_ = false;
        SetEvent(wake_);
        while (!done_) pump_messages(5);
        return job_;
    }
    // Frames one after another until Stop; returns how many.
    void Flow() {
        flowing_ = true;
        SetEvent(wake_);
    }
    long Stop() {
        flowing_ = false;
        while (busy_) pump_messages(5);
        return count_;
    }
    std::atomic<long> returned_wrong{0};

private:
    static DWORD WINAPI Run(void* self) {
        auto* f = static_cast<Feeder*>(self);
        while (!f->stop_) {
            WaitForSingleObject(f->wake_, 50);
            if (f->flowing_) {
                f->busy_ = true;
                std::vector<uint8_t> frame = make_frame(int(f->count_ % 7));
                while (f->flowing_ && !f->stop_) {
                    if (f->api_.change(frame.data(), kSize) != kSize) ++f->returned_wrong;
                    ++f->count_;
                }
                f->busy_ = false;
            } else if (!f->done_ && !f->job_.empty()) {
                if (f->api_.change(f->job_.data(), (int)f->job_.size()) != (int)f->job_.size()) ++f->returned_wrong;
                f->done_ = true;
            }
        }
        return 0;
    }
    const Api& api_;
    HANDLE wake_, thread_;
    std::vector<uint8_t> job_;
    std::atomic<bool> done_{true}, stop_{false}, flowing_{false}, busy_{false};
    std::atomic<long> count_{0};
};

struct Pages {
    HWND panel = nullptr, tab = nullptr, chain = nullptr, params = nullptr, region = nullptr, picture = nullptr,
         text = nullptr, about = nullptr;
};

Pages find_pages() {
    Pages p;
    p.panel = FindWindowW(nullptr, kCaption);
    if (!p.panel) return p;
    p.tab = GetDlgItem(p.panel, 11000);
    for (HWND page = GetWindow(p.tab, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        if (GetDlgItem(page, 11056)) p.chain = page;
        else if (GetDlgItem(page, 11033)) p.params = page;
        else if (GetDlgItem(page, 11041)) p.region = page;
        else if (GetDlgItem(page, 11017)) p.about = page;
        else if (GetDlgItem(page, 11053)) p.text = page;
        else if (GetDlgItem(page, 11027)) p.picture = page;
    }
    return p;
}

void xdotool(const std::string& args) {
    const std::string command = "xdotool " + args + " >/dev/null 2>&1";
    ASSERT_EQ(0, std::system(command.c_str())) << command;
}

void click_at(int x, int y) {
    char args[96];
    std::snprintf(args, sizeof args, "mousemove %d %d click 1", x, y);
    xdotool(args);
    pump_messages(250);
}

void click(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    click_at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void click_tab(const Pages& p, int index) {
    RECT r{};
    SendMessageA(p.tab, TCM_GETITEMRECT, index, (LPARAM)&r);
    MapWindowPoints(p.tab, nullptr, (POINT*)&r, 2);
    click_at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::string row_text(HWND list, int row, int column = 0) {
    char buffer[64] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return buffer;
}

// A row's image and the colour painted in its "有效性" cell (the cell's right end, clear of its text).
struct RowLook {
    int image;
    COLORREF state_cell;
    bool operator==(const RowLook& o) const { return image == o.image && state_cell == o.state_cell; }
};
const RowLook kRowOn{0, 0x1010FF}, kRowOff{1, 0xCD7302};

std::ostream& operator<<(std::ostream& out, const RowLook& look) {
    char text[48];
    std::snprintf(text, sizeof text, "image %d, cell 0x%06lX", look.image, (unsigned long)look.state_cell);
    return out << text;
}

RowLook row_look(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
    RECT cell{};
    cell.top = 2;
    cell.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETSUBITEMRECT, row, (LPARAM)&cell);
    UpdateWindow(list);
    HDC dc = GetDC(list);
    const COLORREF colour = GetPixel(dc, cell.right - 4, (cell.top + cell.bottom) / 2);
    ReleaseDC(list, dc);
    return {item.iImage, colour};
}

void click_row(HWND list, int row) {
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&r);
    MapWindowPoints(list, nullptr, (POINT*)&r, 2);
    click_at(r.left + 8, (r.top + r.bottom) / 2);
}

// Presses at one point of a window's client area and releases at another.
void drag(HWND w, POINT from, POINT to) {
    ClientToScreen(w, &from);
    ClientToScreen(w, &to);
    char args[200];
    std::snprintf(args, sizeof args, "mousemove %ld %ld mousedown 1 mousemove %ld %ld mousemove %ld %ld mouseup 1",
                  (long)from.x, (long)from.y, (long)(from.x + to.x) / 2, (long)(from.y + to.y) / 2, (long)to.x,
                  (long)to.y);
    xdotool(args);
    pump_messages(300);
}

void screenshot(const char* name) {
    std::string command = std::string("import -window root ") + TEST_BINARY_DIR + "/brisvane_" + name + ".png";
    std::system(command.c_str());
}

std::string modal_log() { return std::string(TEST_BINARY_DIR) + "/brisvane_modal.log"; }

std::string read_text(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

// A file of the build folder by its Wine path (Z: is the root).
std::string wine_path(const std::string& unix_path) {
    std::string p = "Z:" + unix_path;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

bool convert(const std::string& args) { return std::system(("convert " + args + " >/dev/null 2>&1").c_str()) == 0; }

// A file by its Windows path.
std::string read_win32(const std::string& path) {
    std::string text;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    CloseHandle(h);
    return text;
}

LRESULT CALLBACK host_proc(HWND w, UINT m, WPARAM wp, LPARAM lp);
std::vector<std::pair<WPARAM, LPARAM>> g_host_notes;

class Panel : public ::testing::Test {
protected:
    Api api;
    HWND host = nullptr;
    Pages pages;
    void SetUp() override {
        api = load_api();
        ASSERT_NE(nullptr, api.module);
        WNDCLASSA wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "brisvane_test_host";
        RegisterClassA(&wc);
        host = CreateWindowA("brisvane_test_host", "host", WS_OVERLAPPEDWINDOW, 600, 500, 200, 100, nullptr, nullptr,
                             wc.hInstance, nullptr);
        g_host_notes.clear();
        // Message boxes and common dialogs answer from the environment and are logged, never shown.
        setenv("TARMELO_MODAL_LOG", modal_log().c_str(), 1);
        unsetenv("TARMELO_MODAL_ANSWER");
        unsetenv("TARMELO_DIALOG_VALUE");
        EXPECT_EQ(0, api.begin());
        EXPECT_EQ(host, api.handle(host));
        pump_messages(100);
    }
    void Show() {
        EXPECT_EQ(0, api.init(kW, kH, 1, true));
        pump_messages(300);
        pages = find_pages();
        ASSERT_NE(nullptr, pages.chain);
        SetWindowPos(pages.panel, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
        pump_messages(200);
    }
    void TearDown() override {
        if (api.module) {
            api.close();
            pump_messages(100);
            // The library stays loaded for the next case (the loader keeps one copy).
        }
        if (host) DestroyWindow(host);
    }
};

LRESULT CALLBACK host_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == 0x2009) g_host_notes.push_back({wp, lp});
    return DefWindowProcA(w, m, wp, lp);
}

TEST_F(Panel, HiddenAndTopmostAfterBeginShownByInit) {
    HWND panel = FindWindowW(nullptr, kCaption);
    ASSERT_NE(nullptr, panel);
    EXPECT_FALSE(IsWindowVisible(panel));
    EXPECT_TRUE(GetWindowLongA(panel, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(api.getdisp());
    Show();
    EXPECT_TRUE(IsWindowVisible(pages.panel));
    EXPECT_TRUE(api.getdisp());
    api.setdisp(false);
    pump_messages(100);
    EXPECT_FALSE(IsWindowVisible(pages.panel));
    EXPECT_FALSE(api.getdisp());
    // Every export answers by name at its ordinal.
    const char* names[] = {"tolmvideo_begin", "tolmvideo_close", "tolmvideo_init", "tolmvideo_change",
                           "tolmvideo_text", "tolmvideo_picture", "tolmvideo_setdisp", "tolmvideo_gettextflag",
                           "tolmvideo_getpicflag", "tolmvideo_gettextvalid", "tolmvideo_getpicvalid",
                           "tolmvideo_getdisp", "tolmvideo_handle", "tolmvideo_setwh"};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(GetProcAddress(api.module, names[i]), GetProcAddress(api.module, MAKEINTRESOURCEA(i + 1))) << names[i];
}

// The pixels of a rectangle of a DC, as 0x00RRGGBB values, row by row.
std::vector<uint32_t> grab(HDC from, int x, int y, int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, from, x, y, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels((const uint32_t*)bits, (const uint32_t*)bits + size_t(w) * h);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// The pixels of exactly one colour, cut to their bounding box: width, height and the mask.
struct Mask {
    int width = 0, height = 0;
    std::vector<bool> set;
};

Mask mask_of(const std::vector<uint32_t>& pixels, int w, int h, uint32_t colour) {
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (pixels[y * w + x] == colour) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    Mask m;
    if (right < 0) return m;
    m.width = right - left + 1;
    m.height = bottom - top + 1;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) m.set.push_back(pixels[y * w + x] == colour);
    return m;
}

// The caption's text is drawn in the "System" font whose cell is as high as the small caption, in
// 0x009800 over a white shadow, whole within the caption band above the client area: the caption's
// pure-green pixels are those of the window text drawn in that font.
TEST_F(Panel, CaptionTextInTheSystemFontAtTheSmallCaptionHeight) {
    Show();
    RedrawWindow(pages.panel, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    pump_messages(300);
    RECT window;
    GetWindowRect(pages.panel, &window);
    POINT client{0, 0};
    ClientToScreen(pages.panel, &client);
    const int w = window.right - window.left, band = client.y - window.top;
    ASSERT_GT(band, 10);
    HDC dc = GetDC(nullptr);  // the screen: what the frame painter left there
    const Mask drawn = mask_of(grab(dc, window.left, window.top, w, band), w, band, 0x009800);
    ReleaseDC(nullptr, dc);

    LOGFONTA lf{};
    lf.lfHeight = GetSystemMetrics(SM_CYSMCAPTION);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(lf.lfFaceName, "System");
    HFONT font = CreateFontIndirectA(&lf);
    HDC mem = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -100;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old_bitmap = SelectObject(mem, dib);
    HGDIOBJ old_font = SelectObject(mem, font);
    std::memset(bits, 0, size_t(w) * 100 * 4);
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, 0x009800);
    char caption[128] = {};
    GetWindowTextA(pages.panel, caption, sizeof caption);
    RECT text{0, 0, w, 100};
    DrawTextA(mem, caption, -1, &text, DT_SINGLELINE | DT_VCENTER);
    TEXTMETRICA tm{};
    GetTextMetricsA(mem, &tm);
    const Mask reference = mask_of(grab(mem, 0, 0, w, 100), w, 100, 0x009800);
    SelectObject(mem, old_font);
    SelectObject(mem, old_bitmap);
    DeleteObject(dib);
    DeleteObject(font);
    DeleteDC(mem);
    std::printf("caption band %d high: font height %ld, text %d x %d drawn, %d x %d expected\n", band,
                (long)tm.tmHeight, drawn.width, drawn.height, reference.width, reference.height);
    ASSERT_GT(reference.width, 0);
    EXPECT_EQ(reference.width, drawn.width);
    EXPECT_EQ(reference.height, drawn.height);
    if (reference.set.size() == drawn.set.size()) {
        int differ = 0, lit = 0;
        for (size_t i = 0; i < reference.set.size(); ++i) {
            differ += reference.set[i] != drawn.set[i];
            lit += reference.set[i];
        }
        EXPECT_LE(differ, lit / 50) << differ << " of " << lit << " text pixels differ";
    }
    screenshot("caption");
}

TEST_F(Panel, ToggleClickedTakesEffectFromTheNextFrame) {
    Show();
    Feeder feeder(api);
    const auto in = make_frame(1);
    EXPECT_EQ(in, feeder.Process(in)) << "nothing on: the frame passes unchanged";
    HWND list = GetDlgItem(pages.chain, 11003);
    EXPECT_EQ(kRowOff, row_look(list, 6));
    click(GetDlgItem(pages.chain, 11012));  // mosaic
    EXPECT_EQ("有效", row_text(list, 6, 2));
    EXPECT_EQ(kRowOn, row_look(list, 6));
    EXPECT_EQ(kRowOff, row_look(list, 5));
    EXPECT_EQ(expected(in, {7}, [](videofx::SlotTable& s) { s[6].enabled = 1; }), feeder.Process(in));
    click(GetDlgItem(pages.chain, 11015));  // blur, one page step up from its smallest box
    click_tab(pages, 1);
    HWND blur_slider = GetDlgItem(pages.params, 11028);
    click(blur_slider);
    xdotool("key Home Next");
    pump_messages(300);
    static int blur = 0;
    blur = (int)SendMessageA(blur_slider, TBM_GETPOS, 0, 0);
    EXPECT_GT(blur, 1);
    EXPECT_LT(blur, 72) << "the box must fit the 88 x 72 rectangle";
    click_tab(pages, 0);
    const auto both = [](videofx::SlotTable& s) {
        s[6].enabled = 1;
        s[9].enabled = 1;
        s[9].byte_params[0] = (uint8_t)blur;
    };
    const auto mosaic_then_blur = expected(in, {7, 10}, both);
    EXPECT_EQ(mosaic_then_blur, feeder.Process(in));
    // Row 10 moved above row 7: blur first.
    click_row(list, 9);
    for (int i = 0; i < 3; ++i) click(GetDlgItem(pages.chain, 11004));
    EXPECT_EQ("10", row_text(list, 6));
    EXPECT_EQ("7", row_text(list, 7));
    const auto blur_then_mosaic = expected(in, {10, 7}, both);
    EXPECT_NE(mosaic_then_blur, blur_then_mosaic);
    EXPECT_EQ(blur_then_mosaic, feeder.Process(in));
    click(GetDlgItem(pages.chain, 11012));
    EXPECT_EQ("无效", row_text(list, 7, 2));
    EXPECT_EQ(kRowOff, row_look(list, 7));
    EXPECT_EQ(expected(in, {10}, [](videofx::SlotTable& s) { s[9].enabled = 1; s[9].byte_params[0] = (uint8_t)blur; }),
              feeder.Process(in));
}

TEST_F(Panel, MosaicSliderAt30GivesBlocks30Wide) {
    Show();
    Feeder feeder(api);
    click(GetDlgItem(pages.chain, 11012));
    click_tab(pages, 1);
    HWND slider = GetDlgItem(pages.params, 11022);
    click(slider);
    xdotool("key End");
    pump_messages(300);
    EXPECT_EQ(30, (int)SendMessageA(slider, TBM_GETPOS, 0, 0));
    char label[16] = {};
    GetWindowTextA(GetDlgItem(pages.params, 11021), label, sizeof label);
    EXPECT_STREQ("30", label);
    const auto in = make_frame(2);
    EXPECT_EQ(expected(in, {7}, [](videofx::SlotTable& s) { s[6].enabled = 1; s[6].byte_params[0] = 30; }),
              feeder.Process(in));
    screenshot("params");
}

TEST_F(Panel, RedSliderAt1AndExpandModeStored) {
    Show();
    Feeder feeder(api);
    click(GetDlgItem(pages.chain, 11006));  // RGB adjust
    click_tab(pages, 1);
    click(GetDlgItem(pages.params, 11007));
    xdotool("key Home");
    pump_messages(300);
    EXPECT_EQ(1, (int)SendMessageA(GetDlgItem(pages.params, 11007), TBM_GETPOS, 0, 0));
    const auto in = make_frame(10);
    // Red 1: AdjustRgb gets the offset 1 - 128 = -127.
    EXPECT_EQ(expected(in, {1}, [](videofx::SlotTable& s) { s[0].enabled = 1; s[0].byte_params[0] = 1; }),
              feeder.Process(in));
    // "自左上角向右下角展开" is the expand mode 5: the record's byte in a saved project.
    HWND combo = GetDlgItem(pages.params, 11034);
    click(combo);
    xdotool("key End Return");
    pump_messages(300);
    EXPECT_EQ(5, (int)SendMessageA(combo, CB_GETCURSEL, 0, 0));
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "brisvane_modes.VCP";
    DeleteFileA(path.c_str());
    click_tab(pages, 0);
    setenv("TARMELO_DIALOG_VALUE", path.c_str(), 1);
    click(GetDlgItem(pages.chain, 11055));
    unsetenv("TARMELO_DIALOG_VALUE");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    std::vector<uint8_t> file(8 + 16 * 724);
    DWORD got = 0;
    ReadFile(h, file.data(), (DWORD)file.size(), &got, nullptr);
    CloseHandle(h);
    DeleteFileA(path.c_str());
    ASSERT_EQ(file.size(), got);
    EXPECT_EQ(5, file[8 + 13 * 724 + 584 + 1]) << "expand mode";
    EXPECT_EQ(1, file[8 + 0 * 724 + 584]) << "red level";
}

TEST_F(Panel, CloseBoxAndCloseButtons) {
    Show();
    click(GetDlgItem(pages.chain, 11018));
    EXPECT_FALSE(api.getdisp());
    EXPECT_FALSE(IsWindowVisible(pages.panel));
    ASSERT_EQ(1u, g_host_notes.size());
    EXPECT_EQ(9999u, g_host_notes[0].first);
    EXPECT_EQ(18, (int)g_host_notes[0].second);
    api.setdisp(true);
    pump_messages(200);
    click_tab(pages, 5);
    screenshot("about");
    click(GetDlgItem(pages.about, 11004));
    EXPECT_FALSE(api.getdisp());
    EXPECT_EQ(2u, g_host_notes.size());
    api.setdisp(true);
    pump_messages(200);
    // The close box hides the panel and does not tell the host.
    RECT r;
    GetWindowRect(pages.panel, &r);
    POINT corner{r.right - 12, r.top + 10};
    const LRESULT hit = SendMessageA(pages.panel, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y));
    if (hit == HTCLOSE) {
        click_at(corner.x, corner.y);
    } else {
        SendMessageA(pages.panel, WM_SYSCOMMAND, SC_CLOSE, 0);
        pump_messages(200);
    }
    EXPECT_FALSE(api.getdisp());
    EXPECT_FALSE(IsWindowVisible(pages.panel));
    EXPECT_EQ(2u, g_host_notes.size());
}

TEST_F(Panel, SaveClearOpenGivesTheSameFrames) {
    Show();
    Feeder feeder(api);
    click(GetDlgItem(pages.chain, 11012));
    click(GetDlgItem(pages.chain, 11011));  // invert
    const auto in = make_frame(3);
    const auto before = feeder.Process(in);
    EXPECT_NE(in, before);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "brisvane_test.VCP";
    DeleteFileA(path.c_str());
    setenv("TARMELO_DIALOG_VALUE", path.c_str(), 1);
    click(GetDlgItem(pages.chain, 11055));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    setenv("TARMELO_MODAL_ANSWER", "6", 1);  // Yes
    click(GetDlgItem(pages.chain, 11056));
    unsetenv("TARMELO_MODAL_ANSWER");
    EXPECT_EQ(in, feeder.Process(in)) << "cleared";
    click(GetDlgItem(pages.chain, 11054));
    unsetenv("TARMELO_DIALOG_VALUE");
    EXPECT_EQ(before, feeder.Process(in)) << "opened";
    EXPECT_EQ("有效", row_text(GetDlgItem(pages.chain, 11003), 6, 2));
    // Saving over an existing file asks first.
    std::remove(modal_log().c_str());
    setenv("TARMELO_DIALOG_VALUE", path.c_str(), 1);
    click(GetDlgItem(pages.chain, 11055));
    EXPECT_NE(std::string::npos, read_text(modal_log()).find("文件已存在，是否替换？"));
    // A text file is refused with the message and changes nothing.
    const std::string text_path = std::string(temp) + "brisvane_text.VCP";
    HANDLE h = CreateFileA(text_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, "not a project file at all\r\n", 27, &written, nullptr);
    CloseHandle(h);
    setenv("TARMELO_DIALOG_VALUE", text_path.c_str(), 1);
    click(GetDlgItem(pages.chain, 11054));
    unsetenv("TARMELO_DIALOG_VALUE");
    EXPECT_NE(std::string::npos, read_text(modal_log()).find("该文件不是Orvane视频处理配置文件"));
    EXPECT_EQ(before, feeder.Process(in)) << "unchanged after the refused file";
    // A project cut short after record 11 (mosaic and invert on in its records) is refused whole:
    // the message, the chain as it was (invert switched off since), the file itself untouched.
    click(GetDlgItem(pages.chain, 11011));  // invert off
    const auto mosaic_only = feeder.Process(in);
    EXPECT_EQ(expected(in, {7}, [](videofx::SlotTable& s) { s[6].enabled = 1; }), mosaic_only);
    const std::string saved = read_win32(path);
    ASSERT_EQ(size_t(8 + 16 * 724), saved.size());
    const std::string cut = saved.substr(0, 8 + 11 * 724 + 100);
    const std::string cut_path = std::string(TEST_BINARY_DIR) + "/brisvane_cut.VCP";
    if (FILE* f = std::fopen(cut_path.c_str(), "wb")) {
        std::fwrite(cut.data(), 1, cut.size(), f);
        std::fclose(f);
    }
    std::remove(modal_log().c_str());
    setenv("TARMELO_DIALOG_VALUE", wine_path(cut_path).c_str(), 1);
    click(GetDlgItem(pages.chain, 11054));
    unsetenv("TARMELO_DIALOG_VALUE");
    EXPECT_NE(std::string::npos, read_text(modal_log()).find("该文件不是Orvane视频处理配置文件")) << read_text(modal_log());
    EXPECT_EQ(mosaic_only, feeder.Process(in)) << "unchanged after the truncated file";
    EXPECT_EQ("无效", row_text(GetDlgItem(pages.chain, 11003), 5, 2));
    EXPECT_EQ("有效", row_text(GetDlgItem(pages.chain, 11003), 6, 2));
    EXPECT_EQ(cut, read_text(cut_path)) << "the refused file is left as it was";
    EXPECT_EQ(saved, read_win32(path));
    std::remove(cut_path.c_str());
    DeleteFileA(text_path.c_str());
    DeleteFileA(path.c_str());
}

TEST_F(Panel, RegionDraggedOnTheViewAndFittedToNewSizes) {
    Show();
    Feeder feeder(api);
    HWND list = GetDlgItem(pages.chain, 11003);
    click(GetDlgItem(pages.chain, 11012));  // mosaic, rectangle (88, 72, 88, 72)
    click_tab(pages, 2);
    HWND view = GetDlgItem(pages.region, 1177);
    ASSERT_NE(nullptr, view);
    // The page chose the first effect that is on.
    EXPECT_EQ(6, (int)SendMessageA(GetDlgItem(pages.region, 11019), CB_GETCURSEL, 0, 0));
    // After a refresh tick the view shows the last frame handed over.
    const auto in = make_frame(4);
    pump_messages(1200);
    const auto first = feeder.Process(in);
    pump_messages(300);
    for (const POINT p : {POINT{40, 60}, POINT{200, 200}, POINT{300, 250}}) {
        HDC dc = GetDC(view);
        const COLORREF shown = GetPixel(dc, p.x, p.y);
        ReleaseDC(view, dc);
        const uint8_t* o = &first[p.y * kStride + 3 * p.x];
        EXPECT_EQ(RGB(o[2], o[1], o[0]), shown) << "the view shows the frame handed over, at " << p.x << "," << p.y;
    }
    // Items of the view's menu: top-left corner, then the frame's width and half its height.
    SendMessageA(view, WM_COMMAND, 32785, 0);
    SendMessageA(view, WM_COMMAND, 32782, 0);
    auto with_region = [](int x, int y, int w, int h) {
        return [=](videofx::SlotTable& s) {
            s[6].enabled = 1;
            s[6].region_x = x;
            s[6].region_y = y;
            s[6].region_width = w;
            s[6].region_height = h;
        };
    };
    EXPECT_EQ(expected(in, {7}, with_region(0, 1, 351, 144)), feeder.Process(in));
    // The top-left corner dragged to (100, 100), the bottom-right one to (350, 200).
    drag(view, {0, 1}, {100, 100});
    drag(view, {351, 145}, {350, 200});
    const auto out = feeder.Process(in);
    EXPECT_EQ(expected(in, {7}, with_region(100, 100, 250, 100)), out);
    for (int y : {0, 99, 200, 287})
        EXPECT_EQ(0, std::memcmp(&in[y * kStride], &out[y * kStride], kStride)) << "row " << y << " outside";
    screenshot("region_drag");
    // 320 x 240: 100 + 250 > 320 and 320 - 250 = 70 > 2, so the width becomes 70.
    api.setwh(320, 240, false);
    pump_messages(300);
    const auto reduced = make_frame(5, 320, 240);
    EXPECT_EQ(expected(reduced, {7}, with_region(100, 100, 70, 100), 320, 240), feeder.Process(reduced));
    EXPECT_EQ("有效", row_text(list, 6, 2));
    // Back to 352 x 288 (the rectangle fits), right edge to 350: width 250 again; then 251 wide:
    // 251 - 250 = 1, so the record is reset to a quarter of the frame and switched off.
    api.setwh(kW, kH, false);
    pump_messages(300);
    drag(view, {170, 150}, {350, 150});
    EXPECT_EQ(expected(in, {7}, with_region(100, 100, 250, 100)), feeder.Process(in));
    api.setwh(251, 240, false);
    pump_messages(300);
    const auto narrow = make_frame(6, 251, 240);
    EXPECT_EQ(narrow, feeder.Process(narrow)) << "mosaic switched off";
    EXPECT_EQ("无效", row_text(list, 6, 2));
    EXPECT_FALSE(SendMessageA(GetDlgItem(pages.chain, 11012), BM_GETCHECK, 0, 0));
}

// Clicks the menu item `id` of the popup menu once it shows (the menu runs its own loop inside the
// panel's thread, which opened it on the right click): the item's rectangle from the menu itself.
struct MenuPick {
    int id;
    std::atomic<bool> clicked{false};
};

DWORD WINAPI pick_menu_item(void* p) {
    auto* pick = static_cast<MenuPick*>(p);
    for (int tries = 0; tries < 500; ++tries, Sleep(10)) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) continue;
        HMENU items = (HMENU)SendMessageA(menu, MN_GETHMENU, 0, 0);
        RECT r{};
        for (int i = 0; items && i < GetMenuItemCount(items); ++i)
            if (GetMenuItemID(items, i) == (UINT)pick->id && GetMenuItemRect(nullptr, items, i, &r)) break;
        if (IsRectEmpty(&r)) continue;
        char args[96];
        std::snprintf(args, sizeof args, "xdotool mousemove %ld %ld click 1 >/dev/null 2>&1", (long)(r.left + r.right) / 2,
                      (long)(r.top + r.bottom) / 2);
        pick->clicked = std::system(args) == 0;
        return 0;
    }
    return 0;
}

// A right click on the view, then the item clicked in the menu that opens.
bool choose_menu_item(HWND view, int id) {
    MenuPick pick{id};
    HANDLE t = CreateThread(nullptr, 0, pick_menu_item, &pick, 0, nullptr);
    RECT client;
    GetClientRect(view, &client);
    POINT at{client.right / 2, client.bottom / 2};
    ClientToScreen(view, &at);
    char args[96];
    std::snprintf(args, sizeof args, "mousemove %ld %ld click 3", (long)at.x, (long)at.y);
    xdotool(args);
    while (WaitForSingleObject(t, 10) == WAIT_TIMEOUT) pump_messages();
    CloseHandle(t);
    pump_messages(300);
    return pick.clicked;
}

TEST_F(Panel, MenuItemsChosenWithTheMouse) {
    Show();
    Feeder feeder(api);
    click(GetDlgItem(pages.chain, 11012));  // mosaic, rectangle (88, 72, 88, 72) in 352 x 288
    click_tab(pages, 2);
    HWND view = GetDlgItem(pages.region, 1177);
    ASSERT_NE(nullptr, view);
    const auto in = make_frame(12);
    pump_messages(1200);
    feeder.Process(in);
    pump_messages(300);
    // Each item from the rectangle the one before left (W 352, H 288, integer divisions).
    const struct {
        int id;
        int x, y, w, h;
    } steps[] = {
        {32780, 88, 0, 176, 287},    // half the width as labelled, whole height: y 0, h H - 1
        {32788, 175, 0, 176, 287},   // bottom right: x W - w - 1, y H - h - 1
        {32775, 175, 0, 88, 72},     // a quarter each way; it fits where it is
        {32790, 175, 107, 88, 72},   // centred vertically: (288 - 72) / 2 - 1
        {32771, 175, 107, 88, 72},   // "无任何调整": nothing
        {32785, 1, 1, 88, 72},       // top left
    };
    for (const auto& s : steps) {
        ASSERT_TRUE(choose_menu_item(view, s.id)) << s.id;
        const auto out = feeder.Process(in);
        EXPECT_EQ(expected(in, {7},
                           [&](videofx::SlotTable& t) {
                               t[6].enabled = 1;
                               t[6].region_x = s.x;
                               t[6].region_y = s.y;
                               t[6].region_width = s.w;
                               t[6].region_height = s.h;
                           }),
                  out)
            << "menu item " << s.id;
    }
    EXPECT_FALSE(FindWindowA("#32768", nullptr) && IsWindowVisible(FindWindowA("#32768", nullptr))) << "menu closed";
}

TEST_F(Panel, ResetByInitPutsEveryControlAtItsResetValue) {
    Show();
    click(GetDlgItem(pages.chain, 11012));
    click_tab(pages, 1);
    click(GetDlgItem(pages.params, 11022));
    xdotool("key End");
    pump_messages(200);
    api.init(kW, kH, 1, true);
    pump_messages(300);
    const struct {
        int slider, label, value;
    } controls[] = {{11007, 11010, 128}, {11014, 11013, 100}, {11022, 11021, 5}, {11024, 11023, 1}, {11030, 11029, 2}};
    for (const auto& c : controls) {
        EXPECT_EQ(c.value, (int)SendMessageA(GetDlgItem(pages.params, c.slider), TBM_GETPOS, 0, 0)) << c.slider;
        char text[16] = {};
        GetWindowTextA(GetDlgItem(pages.params, c.label), text, sizeof text);
        EXPECT_EQ(std::to_string(c.value), text) << c.label;
    }
    EXPECT_EQ("无效", row_text(GetDlgItem(pages.chain, 11003), 6, 2));
    EXPECT_FALSE(SendMessageA(GetDlgItem(pages.chain, 11012), BM_GETCHECK, 0, 0));
}

TEST_F(Panel, TextOverTransparentBackgroundAndGreenRefused) {
    Show();
    Feeder feeder(api);
    click_tab(pages, 4);
    SetWindowTextW(GetDlgItem(pages.text, 11028), L"欢迎你");
    SendMessageA(GetDlgItem(pages.text, 11021), CB_SETCURSEL, 4, 0);
    click(GetDlgItem(pages.text, 11010));
    EXPECT_TRUE(api.gettextvalid());
    click_tab(pages, 0);
    click(GetDlgItem(pages.chain, 11017));  // text overlay on
    EXPECT_TRUE(api.gettextflag());
    const auto in = make_frame(7);
    const auto out = feeder.Process(in);
    // Only pixels inside the rectangle (88, 72, 88, 72) change: the glyphs; the pure green
    // background leaves the frame as it was.
    int changed = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (std::memcmp(&in[y * kStride + 3 * x], &out[y * kStride + 3 * x], 3) == 0) continue;
            ++changed;
            EXPECT_TRUE(x >= 88 && x < 176 && y >= 72 && y < 144) << x << "," << y;
        }
    EXPECT_GT(changed, 40);
    EXPECT_LT(changed, 88 * 25);
    // The text bitmap as a saved project holds it (the only data, after record 11): every pixel of it
    // that is not pure green replaces the frame's, pure green ones leave the frame's as it was.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string project = std::string(temp) + "brisvane_text_bitmap.VCP";
    DeleteFileA(project.c_str());
    setenv("TARMELO_DIALOG_VALUE", project.c_str(), 1);
    click(GetDlgItem(pages.chain, 11055));
    unsetenv("TARMELO_DIALOG_VALUE");
    const std::string file = read_win32(project);
    DeleteFileA(project.c_str());
    ASSERT_GE(file.size(), size_t(8 + 16 * 724));
    auto field = [&](int record, int offset) {
        int32_t v;
        std::memcpy(&v, file.data() + 8 + record * 724 + offset, 4);
        return v;
    };
    const int bx = field(11, 4), by = field(11, 8), bw = field(11, 32), bh = field(11, 36), bytes = field(11, 28);
    EXPECT_EQ(88, bx);
    EXPECT_EQ(72, by);
    ASSERT_GT(bw, 0);
    ASSERT_GT(bh, 0);
    const int bstride = (3 * bw + 3) & ~3;
    ASSERT_GE(bytes, bstride * bh);
    ASSERT_EQ(file.size(), size_t(8 + 16 * 724) + bytes);
    const uint8_t* bitmap = (const uint8_t*)file.data() + 8 + 12 * 724;
    auto want = in;
    int green = 0;
    for (int y = 0; y < std::min(bh, 72); ++y)
        for (int x = 0; x < std::min(bw, 88); ++x) {
            const uint8_t* b = bitmap + y * bstride + 3 * x;
            if (b[0] == 0 && b[1] == 255 && b[2] == 0) {
                ++green;
                continue;
            }
            std::memcpy(&want[(by + y) * kStride + 3 * (bx + x)], b, 3);
        }
    EXPECT_GT(green, 0) << "transparency 4 leaves pure green in the bitmap";
    EXPECT_EQ(want, out);
    screenshot("text_generated");
    // Pure green is refused as the text colour, one step below it is taken.
    click_tab(pages, 4);
    std::remove(modal_log().c_str());
    setenv("TARMELO_DIALOG_VALUE", "0x00FF00", 1);
    click(GetDlgItem(pages.text, 11008));
    EXPECT_NE(std::string::npos, read_text(modal_log()).find("绿色是透明色，请不要使用绿色"));
    std::remove(modal_log().c_str());
    setenv("TARMELO_DIALOG_VALUE", "0x00FE00", 1);
    click(GetDlgItem(pages.text, 11008));
    unsetenv("TARMELO_DIALOG_VALUE");
    EXPECT_EQ(std::string::npos, read_text(modal_log()).find("绿色是透明色"));
}

TEST_F(Panel, PictureLoadedKeyPickedAndLaidOver) {
    const std::string dir = TEST_BINARY_DIR;
    const std::string bmp = dir + "/brisvane_pic.bmp", jpeg = dir + "/brisvane_jpeg.bmp", gif = dir + "/brisvane_pic.gif",
                      text = dir + "/brisvane_not_a_picture.gif";
    // 64 x 48: the left half blue (the key), the right half red.
    ASSERT_TRUE(convert("-size 64x48 xc:red -fill blue -draw 'rectangle 0,0 31,47' -type TrueColor BMP3:" + bmp));
    ASSERT_TRUE(convert("-size 64x48 xc:orange JPG:" + jpeg));
    ASSERT_TRUE(convert("-size 40x30 xc:green -repage 64x48+10+8 GIF:" + gif));
    if (FILE* f = std::fopen(text.c_str(), "wb")) {
        std::fputs("GIF? no, a text file that only looks like one\n", f);
        std::fclose(f);
    }
    Show();
    Feeder feeder(api);
    click_tab(pages, 3);
    click(GetDlgItem(pages.picture, 11008));  // picture mode
    auto load = [&](const std::string& path) {
        std::remove(modal_log().c_str());
        setenv("TARMELO_DIALOG_VALUE", wine_path(path).c_str(), 1);
        click(GetDlgItem(pages.picture, 11004));
        unsetenv("TARMELO_DIALOG_VALUE");
        return read_text(modal_log()).find("图形打开失败") == std::string::npos;
    };
    EXPECT_TRUE(load(jpeg)) << "a JPEG named .bmp";
    EXPECT_TRUE(api.getpicvalid());
    EXPECT_TRUE(load(gif)) << "a GIF whose first frame is offset";
    EXPECT_FALSE(load(text)) << "refused with the message";
    EXPECT_TRUE(api.getpicvalid()) << "the old picture stays";
    ASSERT_TRUE(load(bmp));
    // The key colour picked by a click on a blue pixel of the picture, then switched on.
    HWND view = GetDlgItem(pages.picture, 1177);
    POINT blue{8, 8};
    ClientToScreen(view, &blue);
    click_at(blue.x, blue.y);
    click(GetDlgItem(pages.picture, 11006));
    click_tab(pages, 0);
    click(GetDlgItem(pages.chain, 11016));  // picture overlay on
    EXPECT_TRUE(api.getpicflag());
    const auto in = make_frame(8);
    auto want = in;
    for (int y = 0; y < 48; ++y)
        for (int x = 32; x < 64; ++x) {
            uint8_t* p = &want[(72 + y) * kStride + 3 * (88 + x)];
            p[0] = 0;
            p[1] = 0;
            p[2] = 255;
        }
    EXPECT_EQ(want, feeder.Process(in)) << "keyed pixels show the frame, the others the picture";
    screenshot("picture_laid_over");
    // Placement 4 stretches the picture over the whole 88 x 72 rectangle (nearest neighbour).
    click_tab(pages, 3);
    HWND placement = GetDlgItem(pages.picture, 11019);
    click(placement);
    xdotool("key Home Down Down Down Down Return");
    pump_messages(300);
    EXPECT_EQ(4, (int)SendMessageA(placement, CB_GETCURSEL, 0, 0));
    auto stretched = in;
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 88; ++x) {
            if (x * 64 / 88 < 32) continue;  // blue: keyed
            uint8_t* p = &stretched[(72 + y) * kStride + 3 * (88 + x)];
            p[0] = 0;
            p[1] = 0;
            p[2] = 255;
        }
    EXPECT_EQ(stretched, feeder.Process(in));
    // The host switches the overlay off and on again through its own export.
    api.picture(false);
    EXPECT_FALSE(api.getpicflag());
    EXPECT_TRUE(api.getpicvalid()) << "off keeps the picture";
    EXPECT_EQ(in, feeder.Process(in)) << "overlay off: the frame passes untouched";
    api.picture(true);
    EXPECT_TRUE(api.getpicflag());
    EXPECT_EQ(stretched, feeder.Process(in)) << "on again: the same placement";
    click_tab(pages, 0);
    // Clear answered Yes: no picture, untouched frames.
    setenv("TARMELO_MODAL_ANSWER", "6", 1);
    click(GetDlgItem(pages.chain, 11056));
    unsetenv("TARMELO_MODAL_ANSWER");
    EXPECT_FALSE(api.getpicvalid());
    EXPECT_EQ(in, feeder.Process(in));
    for (const std::string& f : {bmp, jpeg, gif, text}) std::remove(f.c_str());
}

// Six placements of a picture larger than the 88 x 72 rectangle (120 x 100) and of a smaller one
// (64 x 48), both made by ImageMagick with red = column and green = row, so every pixel of the output
// names the picture pixel it came from: the aligned modes take min(W, pw) x min(H, ph) from their
// corner, mode 4 scales the whole picture to the rectangle (nearest neighbour), mode 5 is mode 0.
// Then a GIF whose first frame sits at (10, 8) of its screen, and a reset that drops the picture.
TEST_F(Panel, PlacementsOfLargerAndSmallerPictures) {
    const std::string dir = TEST_BINARY_DIR;
    const std::string larger = dir + "/brisvane_large.bmp", smaller = dir + "/brisvane_small.bmp",
                      gif = dir + "/brisvane_offset.gif";
    for (const auto& [path, size] : {std::pair{larger, "120x100"}, std::pair{smaller, "64x48"}})
        ASSERT_TRUE(convert(std::string("-size ") + size +
                            " xc:black -channel R -fx i/255 -channel G -fx j/255 +channel -type TrueColor BMP3:" + path));
    ASSERT_TRUE(convert("-size 40x30 xc:green -fill red -draw 'point 0,0' -repage 64x48+10+8 GIF:" + gif));
    Show();
    Feeder feeder(api);
    click_tab(pages, 3);
    click(GetDlgItem(pages.picture, 11008));  // picture mode
    auto load = [&](const std::string& path) {
        std::remove(modal_log().c_str());
        setenv("TARMELO_DIALOG_VALUE", wine_path(path).c_str(), 1);
        click(GetDlgItem(pages.picture, 11004));
        unsetenv("TARMELO_DIALOG_VALUE");
        return read_text(modal_log()).find("图形打开失败") == std::string::npos;
    };
    auto place = [&](int mode) {
        HWND combo = GetDlgItem(pages.picture, 11019);
        click(combo);
        std::string keys = "key Home";
        for (int i = 0; i < mode; ++i) keys += " Down";
        xdotool(keys + " Return");
        pump_messages(300);
        return (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    };
    const auto in = make_frame(13);
    bool overlay_on = false;
    for (const auto& [path, pw, ph] : {std::tuple{larger, 120, 100}, std::tuple{smaller, 64, 48}}) {
        ASSERT_TRUE(load(path)) << path;
        if (!overlay_on) {
            click_tab(pages, 0);
            click(GetDlgItem(pages.chain, 11016));  // picture overlay on
            ASSERT_TRUE(api.getpicflag());
            click_tab(pages, 3);
            overlay_on = true;
        }
        for (int mode = 0; mode < 6; ++mode) {
            ASSERT_EQ(mode, place(mode)) << path;
            const bool stretched = mode == 4;
            const int w = stretched ? 88 : std::min(88, pw), h = stretched ? 72 : std::min(72, ph);
            const int dx = (mode == 1 || mode == 3) ? pw - w : 0, dy = (mode == 2 || mode == 3) ? ph - h : 0;
            auto want = in;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const int sx = stretched ? x * pw / 88 : x + dx, sy = stretched ? y * ph / 72 : y + dy;
                    uint8_t* p = &want[(72 + y) * kStride + 3 * (88 + x)];
                    p[0] = 0;
                    p[1] = uint8_t(sy);
                    p[2] = uint8_t(sx);
                }
            EXPECT_EQ(want, feeder.Process(in)) << path << ", placement " << mode;
        }
    }
    // The GIF's first frame at its offset: its red corner pixel at (10, 8) of the picture, green beside.
    ASSERT_EQ(0, place(0));
    ASSERT_TRUE(load(gif));
    const auto out = feeder.Process(in);
    auto pixel = [&](int x, int y) {
        const uint8_t* p = &out[(72 + y) * kStride + 3 * (88 + x)];
        return RGB(p[2], p[1], p[0]);
    };
    EXPECT_EQ(RGB(255, 0, 0), pixel(10, 8));
    EXPECT_EQ(RGB(0, 128, 0), pixel(11, 8));
    EXPECT_EQ(RGB(0, 128, 0), pixel(49, 37));
    EXPECT_NE(RGB(255, 0, 0), pixel(9, 7));
    // A reset by init: no picture, frames untouched.
    api.init(kW, kH, 1, true);
    pump_messages(300);
    EXPECT_FALSE(api.getpicvalid());
    EXPECT_FALSE(api.getpicflag());
    EXPECT_EQ(in, feeder.Process(in));
    for (const std::string& f : {larger, smaller, gif}) std::remove(f.c_str());
}

TEST_F(Panel, KeyboardTabChangeKeepsThePreviewFlags) {
    Show();
    Feeder feeder(api);
    click(GetDlgItem(pages.chain, 11012));
    click_tab(pages, 2);  // the region page previews
    HWND view = GetDlgItem(pages.region, 1177);
    SetFocus(pages.tab);
    xdotool("key Right");  // the picture page by the keyboard: the region page still previews
    pump_messages(1300);
    const auto in = make_frame(9);
    const auto out = feeder.Process(in);
    pump_messages(300);
    EXPECT_EQ(3, (int)SendMessageA(pages.tab, TCM_GETCURSEL, 0, 0));
    // Back to the region page by the keyboard too.
    SetFocus(pages.tab);
    xdotool("key Left");
    pump_messages(500);
    EXPECT_EQ(2, (int)SendMessageA(pages.tab, TCM_GETCURSEL, 0, 0));
    EXPECT_TRUE(IsWindowVisible(pages.region));
    EXPECT_TRUE(IsWindowVisible(view));
    // The region view holds the processed frame: its pixel (40, 60) is the output's.
    HDC dc = GetDC(view);
    const COLORREF shown = GetPixel(dc, 40, 60);
    ReleaseDC(view, dc);
    const uint8_t* p = &out[60 * kStride + 120];
    EXPECT_EQ(RGB(p[2], p[1], p[0]), shown);
}

// A tab changed by the keyboard, then another tab clicked with the mouse: the clicked tab's page is the
// one shown, and the keyboard's page is hidden.
TEST_F(Panel, MouseTabClickAfterKeyboardChangeShowsItsPage) {
    Show();
    auto visible_page = [&]() -> HWND {
        HWND shown = nullptr;
        for (HWND page : {pages.chain, pages.params, pages.region, pages.picture, pages.text, pages.about})
            if (IsWindowVisible(page)) {
                if (shown) return nullptr;  // two pages at once is a fault too
                shown = page;
            }
        return shown;
    };
    struct Step {
        const char* keys;
        int after_keys;
        HWND Pages::*keyed;
        int clicked;
        HWND Pages::*page;
    };
    // Each click follows a keyboard change away from a clicked tab (the case that lost clicks).
    const Step steps[] = {
        {"Right", 1, &Pages::params, 4, &Pages::text},
        {"Left", 3, &Pages::picture, 0, &Pages::chain},
        {"Right Right", 2, &Pages::region, 5, &Pages::about},
        {"Left Left", 3, &Pages::picture, 1, &Pages::params},
    };
    for (const Step& s : steps) {
        SetFocus(pages.tab);
        xdotool(std::string("key ") + s.keys);
        pump_messages(300);
        ASSERT_EQ(s.after_keys, (int)SendMessageA(pages.tab, TCM_GETCURSEL, 0, 0)) << s.keys;
        EXPECT_EQ(pages.*s.keyed, visible_page()) << s.keys;
        click_tab(pages, s.clicked);
        pump_messages(300);
        EXPECT_EQ(s.clicked, (int)SendMessageA(pages.tab, TCM_GETCURSEL, 0, 0)) << s.keys;
        EXPECT_EQ(pages.*s.page, visible_page()) << s.keys << ", then tab " << s.clicked << " clicked";
    }
}

struct ExportCall {
    const Api* api;
    int step;
};

DWORD WINAPI call_export(void* p) {
    auto* c = static_cast<ExportCall*>(p);
    if (c->step == 0) c->api->setdisp(false);
    if (c->step == 1) c->api->setdisp(true);
    if (c->step == 2) c->api->init(kW, kH, 0, true);
    if (c->step == 3) c->api->close();
    return 0;
}

TEST_F(Panel, ExportsFromAnotherThreadArePostedToThePanel) {
    Show();
    auto run = [](const Api& a, int step) {
        ExportCall call{&a, step};
        HANDLE t = CreateThread(nullptr, 0, call_export, &call, 0, nullptr);
        // The call returns without this thread answering anything.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 5000));
        CloseHandle(t);
        pump_messages(200);
    };
    run(api, 0);
    EXPECT_FALSE(IsWindowVisible(pages.panel));
    EXPECT_FALSE(api.getdisp());
    run(api, 1);
    EXPECT_TRUE(IsWindowVisible(pages.panel));
    run(api, 2);
    EXPECT_FALSE(IsWindowVisible(pages.panel));
    run(api, 3);
    EXPECT_FALSE(IsWindow(pages.panel)) << "closed on the panel's thread";
    // Without a panel the window steps are skipped; the table steps still run.
    api.text(true);
    EXPECT_FALSE(api.gettextflag());
    api.setwh(320, 240, true);
    auto frame = make_frame(11, 320, 240);
    EXPECT_EQ((int)frame.size(), api.change(frame.data(), (int)frame.size()));
    api.begin();
}

TEST_F(Panel, TextGlyphsAreDistinct) {
    Show();
    Feeder feeder(api);
    click_tab(pages, 4);
    SetWindowTextW(GetDlgItem(pages.text, 11028), L"欢迎你");
    setenv("TARMELO_DIALOG_VALUE", "0x000000", 1);
    click(GetDlgItem(pages.text, 11008));  // black text
    setenv("TARMELO_DIALOG_VALUE", "0xFFFFFF", 1);
    click(GetDlgItem(pages.text, 11005));  // on white
    unsetenv("TARMELO_DIALOG_VALUE");
    click_tab(pages, 0);
    click(GetDlgItem(pages.chain, 11017));
    const auto out = feeder.Process(std::vector<uint8_t>(kSize, 128));
    // The rectangle (88, 72, 88, 72) cropped to a picture for the glyph check.
    const std::string ppm = std::string(TEST_BINARY_DIR) + "/brisvane_glyphs.ppm";
    const std::string png = std::string(TEST_BINARY_DIR) + "/brisvane_glyphs.png";
    if (FILE* f = std::fopen(ppm.c_str(), "wb")) {
        std::fprintf(f, "P6\n88 30\n255\n");
        for (int y = 72; y < 102; ++y)
            for (int x = 88; x < 176; ++x) {
                const uint8_t* p = &out[y * kStride + 3 * x];
                const uint8_t rgb[3] = {p[2], p[1], p[0]};
                std::fwrite(rgb, 1, 3, f);
            }
        std::fclose(f);
    }
    ASSERT_TRUE(convert(ppm + " " + png));
    const std::string check = "python3 " + std::string(TEST_SOURCE_DIR) + "/tools/glyph_check.py " + png + " 3";
    EXPECT_EQ(0, std::system(check.c_str())) << check;
}

TEST_F(Panel, AboutLinksOpenThroughTheShellSeam) {
    Show();
    click_tab(pages, 5);
    const std::string log = std::string(TEST_BINARY_DIR) + "/brisvane_shell.log";
    std::remove(log.c_str());
    setenv("TARMELO_SHELL_LOG", log.c_str(), 1);
    click(GetDlgItem(pages.about, 11018));
    click(GetDlgItem(pages.about, 11017));
    unsetenv("TARMELO_SHELL_LOG");
    const std::string launched = read_text(log);
    EXPECT_NE(std::string::npos, launched.find("http://www.delmora.example/")) << launched;
    EXPECT_NE(std::string::npos, launched.find("mailto:")) << launched;
}

TEST_F(Panel, ScreenshotOfEveryPage) {
    Show();
    const char* names[] = {"chain", "params", "region", "picture", "text", "about"};
    for (int i = 0; i < 6; ++i) {
        click_tab(pages, i);
        pump_messages(300);
        EXPECT_EQ(i, (int)SendMessageA(pages.tab, TCM_GETCURSEL, 0, 0));
        screenshot(names[i]);
    }
}

TEST_F(Panel, ThousandFramesWhileClicking) {
    Show();
    // A project to open while the frames flow: mosaic and invert on.
    click(GetDlgItem(pages.chain, 11012));
    click(GetDlgItem(pages.chain, 11011));
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string project = std::string(temp) + "brisvane_flow.VCP";
    DeleteFileA(project.c_str());
    setenv("TARMELO_DIALOG_VALUE", project.c_str(), 1);
    click(GetDlgItem(pages.chain, 11055));
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(project.c_str()));
    Feeder feeder(api);
    feeder.Flow();
    int gdi_before = 0;
    HWND view = GetDlgItem(pages.region, 1177);
    for (int round = 0; round < 4; ++round) {
        // The first round paints every control once (their caches); later rounds must add nothing.
        if (round == 1) gdi_before = gdi_object_count();
        click_tab(pages, 0);
        click(GetDlgItem(pages.chain, 11012));
        click(GetDlgItem(pages.chain, 11011));
        click_row(GetDlgItem(pages.chain, 11003), 6);
        click(GetDlgItem(pages.chain, 11004));
        click(GetDlgItem(pages.chain, 11054));  // the project opened: rows back in id order, mosaic on
        click_tab(pages, 2);
        drag(view, {120, 100}, {140, 100});  // an effect's rectangle moved (the open put it back)
        click_tab(pages, 1);
        pump_messages(200);
    }
    unsetenv("TARMELO_DIALOG_VALUE");
    DeleteFileA(project.c_str());
    while (feeder.Stop() < 1000) {
        feeder.Flow();
        pump_messages(200);
    }
    EXPECT_EQ(0, feeder.returned_wrong.load());
    pump_messages(200);
    const int gdi_after = gdi_object_count();
    EXPECT_LE(gdi_after, gdi_before + 8) << "GDI objects before " << gdi_before << ", after " << gdi_after;
}

TEST_F(Panel, CloseWhileFramesFlowThenJoin) {
    for (int round = 0; round < 20; ++round) {
        api.init(kW, kH, 1, true);
        pump_messages(50);
        api.change(nullptr, 0);
        {
            Feeder feeder(api);
            api.text(true);
            feeder.Flow();
            pump_messages(30);
            api.close();
            pump_messages(30);
            EXPECT_EQ(0, feeder.returned_wrong.load());
        }
        api.begin();
        pump_messages(30);
    }
}

// The library as its outside host uses it, end to end: an ffmpeg-made 4 s AVI read with our AVI reader,
// every picture through tolmvideo_change with mosaic 16 set on the panel, the pictures written with our
// AVI writer (uncompressed), and ffmpeg's decode of the result checked block by block against the block
// averages of ffmpeg's decode of the source.
TEST_F(Panel, AviThroughMosaic16EndToEnd) {
    const std::string dir = TEST_BINARY_DIR;
    const std::string src = dir + "/brisvane_e2e_src.avi", out = dir + "/brisvane_e2e_out.avi";
    const std::string src_rgb = dir + "/brisvane_e2e_src.rgb", out_rgb = dir + "/brisvane_e2e_out.rgb";
    for (const std::string& f : {src, out, src_rgb, out_rgb}) std::remove(f.c_str());
    const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=352x288:rate=25 -t 4 "
                             "-vf noise=alls=40:allf=t -c:v rawvideo -pix_fmt bgr24 -flipped_raw_rgb 1 '" + src + "'";
    ASSERT_EQ(0, std::system(make.c_str())) << make;

    Show();
    click(GetDlgItem(pages.chain, 11012));  // mosaic on
    click_tab(pages, 1);
    HWND slider = GetDlgItem(pages.params, 11022);
    click(slider);
    xdotool("key Home");
    xdotool("key --repeat 15 --delay 20 Right");
    pump_messages(300);
    ASSERT_EQ(16, (int)SendMessageA(slider, TBM_GETPOS, 0, 0));
    char label[16] = {};
    GetWindowTextA(GetDlgItem(pages.params, 11021), label, sizeof label);
    EXPECT_STREQ("16", label);
    // The effect's rectangle over the whole frame on the region page's view: the menu's full width
    // and half height at the top-left, then the corner handles dragged to the frame's corners (the
    // bottom-right one past it, in the view's margin: a release is clamped to the frame).
    click_tab(pages, 2);
    HWND view = GetDlgItem(pages.region, 1177);
    ASSERT_NE(nullptr, view);
    SendMessageA(view, WM_COMMAND, 32785, 0);
    SendMessageA(view, WM_COMMAND, 32782, 0);  // (0, 1, 351, 144)
    drag(view, {0, 1}, {0, 0});          // (0, 0, 351, 145)
    drag(view, {351, 145}, {380, 300});  // (0, 0, 352, 288)

    AviFile* in = AVI_open_input_file(wine_path(src).c_str(), 1);
    ASSERT_NE(nullptr, in) << "AVI_errno " << AVI_errno;
    EXPECT_EQ(kW, in->width);
    EXPECT_EQ(kH, in->height);
    const int frames = in->frame_count;
    EXPECT_EQ(100, frames);
    const std::string bytes = read_text(src);
    AviFile* writer = AVI_open_output_file(wine_path(out).c_str());
    ASSERT_NE(nullptr, writer) << "AVI_errno " << AVI_errno;
    AVI_set_video(writer, kW, kH, 25.0, "\0\0\0\0");
    {
        Feeder feeder(api);
        for (int i = 0; i < frames; ++i) {
            const AviVideoEntry& e = in->video_entries[i];
            ASSERT_EQ(uint32_t(kSize), e.length) << "picture " << i;
            ASSERT_LE(size_t(e.pos) + e.length, bytes.size());
            const std::vector<uint8_t> picture(bytes.begin() + e.pos, bytes.begin() + e.pos + e.length);
            const std::vector<uint8_t> done = feeder.Process(picture);
            if (i == 0) {  // the panel's settings reached the core: mosaic 16 over the whole frame
                EXPECT_EQ(expected(picture, {7},
                                   [](videofx::SlotTable& t) {
                                       t[6].enabled = 1;
                                       t[6].byte_params[0] = 16;
                                       t[6].region_x = t[6].region_y = 0;
                                       t[6].region_width = kW;
                                       t[6].region_height = kH;
                                   }),
                          done);
            }
            ASSERT_EQ(0, AVI_write_frame(writer, done.data(), (int)done.size())) << "picture " << i;
        }
    }
    AVI_close(in);
    ASSERT_EQ(0, AVI_close(writer)) << "AVI_errno " << AVI_errno;

    for (const auto& [avi, rgb] : {std::pair{src, src_rgb}, std::pair{out, out_rgb}}) {
        const std::string decode = "ffmpeg -nostdin -v error -y -i '" + avi + "' -f rawvideo -pix_fmt rgb24 '" + rgb + "'";
        ASSERT_EQ(0, std::system(decode.c_str())) << decode;
    }
    const std::string a = read_text(src_rgb), b = read_text(out_rgb);
    const size_t picture = size_t(3) * kW * kH;
    ASSERT_EQ(size_t(frames) * picture, a.size());
    ASSERT_EQ(a.size(), b.size());
    // Per 16 x 16 block and channel: the output's spread and mean, the source's spread and its average
    // (truncated, as the mosaic fills a block).
    std::vector<double> source_spread;
    int flat_faults = 0, mean_faults = 0;
    double worst_spread = 0, worst_mean = 0;
    for (int f = 0; f < frames; ++f)
        for (int by = 0; by < kH; by += 16)
            for (int bx = 0; bx < kW; bx += 16)
                for (int c = 0; c < 3; ++c) {
                    double s_sum = 0, s_sq = 0, o_sum = 0, o_sq = 0;
                    for (int y = by; y < by + 16; ++y)
                        for (int x = bx; x < bx + 16; ++x) {
                            const size_t at = f * picture + (size_t(y) * kW + x) * 3 + c;
                            const double sv = (uint8_t)a[at], ov = (uint8_t)b[at];
                            s_sum += sv;
                            s_sq += sv * sv;
                            o_sum += ov;
                            o_sq += ov * ov;
                        }
                    const double s_mean = s_sum / 256, o_mean = o_sum / 256;
                    source_spread.push_back(std::sqrt(std::max(0.0, s_sq / 256 - s_mean * s_mean)));
                    const double o_spread = std::sqrt(std::max(0.0, o_sq / 256 - o_mean * o_mean));
                    const double mosaic = std::floor(s_mean);
                    worst_spread = std::max(worst_spread, o_spread);
                    worst_mean = std::max(worst_mean, std::fabs(o_mean - mosaic));
                    if (o_spread > 3) ++flat_faults;
                    if (std::fabs(o_mean - mosaic) > 4) ++mean_faults;
                }
    std::nth_element(source_spread.begin(), source_spread.begin() + source_spread.size() / 2, source_spread.end());
    const double median = source_spread[source_spread.size() / 2];
    EXPECT_GE(median, 20.0) << "the source must have detail for the mosaic to remove";
    EXPECT_EQ(0, flat_faults) << "worst block spread " << worst_spread;
    EXPECT_EQ(0, mean_faults) << "worst block mean off by " << worst_mean;
    std::printf("end to end: %d pictures, source block spread median %.1f, output worst spread %.2f, "
                "worst mean difference %.2f\n", frames, median, worst_spread, worst_mean);
    if (!HasFailure())  // kept for a look otherwise
        for (const std::string& f : {src, out, src_rgb, out_rgb}) std::remove(f.c_str());
}

}  // namespace
