// The video window under Wine and Xvfb, as playback drives it: the video dialog lives on this
// (interface) thread, a second Win32 thread stands in for the playback thread and makes, uses and
// releases the DirectDraw objects. Checked: the capability check and the path taken, the shown picture
// against a screenshot of the window, clicks through xdotool and message 1057, repeated plays without
// leaks, a forced DirectDraw failure, pictures of other sizes, and the colour match of a surface.
#include "tests/support/gtest_winelib.h"
#include <windows.h>
#include <winternl.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "engine/video/video_wnd.h"
#include "engine/video/win32/video_wnd_dlg.h"
#include "tests/support/gdi_count.h"
#include "tests/support/media_test_tools.h"

// Exported by kernel32 but not declared in Wine's headers.
extern "C" BOOL WINAPI GetProcessHandleCount(HANDLE process, PDWORD count);

namespace {

// This process's handles: GetProcessHandleCount, or where Wine answers 0 there, the entries of the
// system's handle table that belong to this process. -1 when neither can be read.
long process_handle_count() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count) return long(count);
    std::vector<uint8_t> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status =
            NtQuerySystemInformation(SystemHandleInformation, buffer.data(), ULONG(buffer.size()), &needed);
        if (status == NTSTATUS(0xC0000004) /* length mismatch */ && buffer.size() < (64u << 20)) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
            continue;
        }
        if (status != 0) return -1;
        break;
    }
    const auto* info = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    const ULONG pid = GetCurrentProcessId();
    long n = 0;
    for (ULONG i = 0; i < info->Count; ++i)
        if (info->Handle[i].OwnerPid == pid) ++n;
    return n;
}

// A Win32 thread that runs one job at a time while the calling thread handles its messages (the
// worker's window steps are messages to this thread's dialog).
class Worker {
public:
    Worker() {
        wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &Worker::main, this, 0, nullptr);
    }
    ~Worker() {
        run(nullptr);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        CloseHandle(wake_);
        CloseHandle(done_);
    }
    void run(std::function<void()> job) {
        job_ = std::move(job);
        SetEvent(wake_);
        for (;;) {
            const DWORD r = MsgWaitForMultipleObjects(1, &done_, FALSE, 20000, QS_ALLINPUT);
            if (r == WAIT_OBJECT_0) return;
            if (r == WAIT_TIMEOUT) {
                ADD_FAILURE() << "the worker's job did not end";
                return;
            }
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }

private:
    static DWORD WINAPI main(void* self) {
        auto* w = static_cast<Worker*>(self);
        for (;;) {
            WaitForSingleObject(w->wake_, INFINITE);
            if (!w->job_) {
                SetEvent(w->done_);
                return 0;
            }
            w->job_();
            SetEvent(w->done_);
        }
    }
    HANDLE thread_ = nullptr, wake_ = nullptr, done_ = nullptr;
    std::function<void()> job_;
};

void pump(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (int(until - GetTickCount()) > 0);
}

// Handles messages until `done` holds, for at most 5 seconds; returns whether it came to hold.
bool pump_until(const std::function<bool()>& done) {
    for (int i = 0; i < 250; ++i) {
        if (done()) return true;
        pump(20);
    }
    return done();
}

// A width x height B,G,R test picture of the image layout: red rising to the right, green rising
// downwards, blue by `shift` (smooth, so that the window's scaling costs little).
constexpr int kWidth = 320, kHeight = 240;
std::vector<uint8_t> test_picture(int width, int height, int shift = 0) {
    const int stride = (3 * width + 3) & ~3;
    std::vector<uint8_t> p(size_t(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* px = &p[size_t(stride) * y + 3 * x];
            px[0] = uint8_t(40 + 160 * shift);
            px[1] = uint8_t(y * 255 / (height - 1));
            px[2] = uint8_t(x * 255 / (width - 1));
        }
    return p;
}

// The same picture as packed R,G,B (what ImageMagick gives back).
std::vector<uint8_t> packed_rgb(const std::vector<uint8_t>& bgr, int width, int height) {
    const int stride = (3 * width + 3) & ~3;
    std::vector<uint8_t> out(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) out[(size_t(y) * width + x) * 3 + c] = bgr[size_t(stride) * y + 3 * x + 2 - c];
    return out;
}

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += double(int(a[i]) - int(b[i])) * double(int(a[i]) - int(b[i]));
    if (sum == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 * double(a.size()) / sum);
}

// The window's client area on the screen.
RECT client_on_screen(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    POINT o = {0, 0};
    ClientToScreen(hwnd, &o);
    OffsetRect(&r, o.x, o.y);
    return r;
}

// A screenshot of the client area scaled to width x height, as packed R,G,B; empty on failure.
std::vector<uint8_t> client_shot(HWND hwnd, int width, int height) {
    const RECT r = client_on_screen(hwnd);
    const std::string shot = media_test::fresh_path("video_wnd_shot.png");
    char command[512];
    std::snprintf(command, sizeof(command),
                  "import -window root -crop %dx%d+%d+%d +repage png:- | convert png:- -resize %dx%d! '%s'",
                  int(r.right - r.left), int(r.bottom - r.top), int(r.left), int(r.top), width, height, shot.c_str());
    int status = -1;
    media_test::run(command, &status);
    if (status != 0) return {};
    return media_test::magick_rgb(shot);
}

// The best PSNR of the client area against `expected` over a few screenshots (the X server may show
// the picture a moment after the blit returned).
double shown_psnr(HWND hwnd, const std::vector<uint8_t>& expected, int width, int height) {
    double best = 0;
    for (int i = 0; i < 10 && best < 35; ++i) {
        if (i) pump(100);
        best = std::max(best, psnr(client_shot(hwnd, width, height), expected));
    }
    return best;
}

class VideoWnd : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dialog_ = new CVideoWndDlg;
        ASSERT_TRUE(dialog_->CreateHidden());
        worker_ = new Worker;
    }
    static void TearDownTestSuite() {
        delete worker_;
        dialog_->DestroyWindow();
        delete dialog_;
    }
    void TearDown() override {
        ddov_force_failure(false);
        ddov_force_yuy2_refused(false);
        worker_->run([] { ddov_release(); });
        video_wnd_hide();
        EXPECT_EQ(0, ddov_live_objects());
    }
    HWND hwnd() const { return dialog_->m_hWnd; }

    // Opens the window at (100, 100) for a width x height picture on the worker; returns the result.
    int open(int width = kWidth, int height = kHeight) {
        int result = 99;
        worker_->run([&] { result = video_wnd_open(100, 100, width, height, "C:\\视频\\bars.mpg"); });
        return result;
    }
    int show(const std::vector<uint8_t>& picture, int width = kWidth, int height = kHeight) {
        int result = 99;
        worker_->run([&] {
            result = video_wnd_put_rgb24(width, height, picture.data(), 1);
            if (result == 0) result = video_wnd_show_frame();
        });
        return result;
    }

    static CVideoWndDlg* dialog_;
    static Worker* worker_;
};
CVideoWndDlg* VideoWnd::dialog_ = nullptr;
Worker* VideoWnd::worker_ = nullptr;

// Wine's DirectDraw reports no overlay, so the picture goes through an off-screen YUY2 surface; the
// dialog is titled, shown at the placement and subclassed, and releasing puts its procedure back.
TEST_F(VideoWnd, NoOverlayOnWineSoTheOffscreenPathIsTaken) {
    const LONG_PTR own_proc = GetWindowLongPtrA(hwnd(), GWLP_WNDPROC);
    ASSERT_EQ(0, open());
    bool overlay = true;
    worker_->run([&] { overlay = ddov_has_overlay_stretch(); });
    EXPECT_FALSE(overlay);
    EXPECT_EQ(VideoWndPath::kOffscreenYuy2, video_wnd_path());
    EXPECT_EQ(4, ddov_live_objects()) << "DirectDraw, primary surface, clipper, picture surface";
    char title[256] = {};
    GetWindowTextA(hwnd(), title, sizeof(title));
    EXPECT_STREQ("Delmora播放C:\\视频\\bars.mpg", title);
    EXPECT_TRUE(IsWindowVisible(hwnd()));
    EXPECT_NE(0, GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT r;
    GetWindowRect(hwnd(), &r);
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(100, r.top);
    EXPECT_EQ(100 + kWidth, r.right);
    EXPECT_EQ(100 + kHeight, r.bottom);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(video_wnd_proc), GetWindowLongPtrA(hwnd(), GWLP_WNDPROC));
    EXPECT_EQ(1, video_wnd_style_state()) << "message 1057 with 8888 and 1 at the opening";

    worker_->run([] { ddov_release(); });
    EXPECT_EQ(0, ddov_live_objects());
    EXPECT_EQ(VideoWndPath::kClosed, video_wnd_path());
    EXPECT_EQ(own_proc, GetWindowLongPtrA(hwnd(), GWLP_WNDPROC));
    int after = 99;
    worker_->run([&] { after = video_wnd_show_frame(); });
    EXPECT_EQ(0, after) << "no window open";
}

// The picture on the screen is the picture given, scaled into the client area: through the YUY2
// surface, through the RGB surface when YUY2 is refused, and after the picture's size changed.
TEST_F(VideoWnd, ShownPictureMatchesTheScreen) {
    struct Case {
        const char* name;
        bool refuse_yuy2;
        int width, height;  // the picture shown into a window opened for 320 x 240
        VideoWndPath path;
    };
    const Case kCases[] = {
        {"yuy2 surface", false, kWidth, kHeight, VideoWndPath::kOffscreenYuy2},
        {"rgb surface", true, kWidth, kHeight, VideoWndPath::kOffscreenRgb},
        {"smaller picture", false, 160, 120, VideoWndPath::kOffscreenYuy2},
        {"odd-sized picture", false, 251, 181, VideoWndPath::kOffscreenYuy2},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ddov_force_yuy2_refused(c.refuse_yuy2);
        ASSERT_EQ(0, open());
        EXPECT_EQ(c.path, video_wnd_path());
        // The first case shows two pictures, to see the second replace the first.
        for (int shift = 0; shift < (&c == kCases ? 2 : 1); ++shift) {
            const std::vector<uint8_t> picture = test_picture(c.width, c.height, shift);
            ASSERT_EQ(0, show(picture, c.width, c.height));
            // The even part is shown: compare against the picture without an odd last column or row.
            const int w = c.width & ~1, h = c.height & ~1;
            std::vector<uint8_t> even = packed_rgb(picture, c.width, c.height), cut;
            for (int y = 0; y < h; ++y) cut.insert(cut.end(), &even[size_t(y) * c.width * 3], &even[(size_t(y) * c.width + w) * 3]);
            const double db = shown_psnr(hwnd(), cut, w, h);
            EXPECT_GE(db, 35.0) << "shift " << shift;
            std::printf("%s, picture %d: PSNR %.1f dB\n", c.name, shift, db);
        }
        worker_->run([] { ddov_release(); });
        ddov_force_yuy2_refused(false);
    }
}

// Left clicks step the size: the opening placement, half, the opening placement, the whole screen,
// and the fifth back to the opening placement. Right clicks step the style: popup grown by 2 pixels,
// thick frame, the dialog's own style.
TEST_F(VideoWnd, ClicksStepSizesAndStyles) {
    ASSERT_EQ(0, open());
    ASSERT_EQ(0, show(test_picture(kWidth, kHeight)));
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    struct Step {
        int state;
        RECT rect;
    };
    const Step kLeft[] = {{1, {100, 100, 420, 340}}, {2, {100, 100, 260, 220}}, {3, {100, 100, 420, 340}},
                          {0, {0, 0, sw, sh}},       {1, {100, 100, 420, 340}}};
    auto click = [&](int button) {
        const RECT r = client_on_screen(hwnd());
        char command[160];
        std::snprintf(command, sizeof(command), "xdotool mousemove %d %d click %d", int(r.left + r.right) / 2,
                      int(r.top + r.bottom) / 2, button);
        int status = -1;
        media_test::run(command, &status);
        EXPECT_EQ(0, status) << command;
    };
    for (size_t i = 0; i < sizeof(kLeft) / sizeof(kLeft[0]); ++i) {
        const Step& s = kLeft[i];
        click(1);
        RECT r = {};
        EXPECT_TRUE(pump_until([&] {
            GetWindowRect(hwnd(), &r);
            return video_wnd_size_state() == s.state && EqualRect(&r, &s.rect);
        })) << "left click " << i + 1 << ": state " << video_wnd_size_state() << ", rect " << r.left << "," << r.top
            << "," << r.right << "," << r.bottom;
    }

    // Style state is 1 after the opening; right clicks go 2, 0, 1.
    RECT before;
    GetWindowRect(hwnd(), &before);
    click(3);
    EXPECT_TRUE(pump_until([&] { return video_wnd_style_state() == 2; }));
    LONG style = GetWindowLongA(hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CAPTION);
    RECT grown;
    GetWindowRect(hwnd(), &grown);
    EXPECT_EQ(before.left - 2, grown.left);
    EXPECT_EQ(before.bottom + 2, grown.bottom);
    click(3);
    EXPECT_TRUE(pump_until([&] { return video_wnd_style_state() == 0; }));
    style = GetWindowLongA(hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_NE(LONG(WS_CAPTION), style & WS_CAPTION);
    click(3);
    EXPECT_TRUE(pump_until([&] { return video_wnd_style_state() == 1; }));
    EXPECT_EQ(LONG(WS_CAPTION), GetWindowLongA(hwnd(), GWL_STYLE) & WS_CAPTION) << "the dialog's own style";
    EXPECT_NE(0, GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// Message 1057 sets the size (9999) and the style (8888) by its last parameter.
TEST_F(VideoWnd, Message1057SetsSizeAndStyle) {
    ASSERT_EQ(0, open());
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        WPARAM what;
        LPARAM value;
        int state;
        RECT rect;        // size cases
        DWORD has, lacks;  // style cases
    };
    const Case kCases[] = {
        {kVideoWndSize, 2, 2, {100, 100, 260, 220}, 0, 0},
        {kVideoWndSize, 3, 3, {100, 100, 420, 340}, 0, 0},
        {kVideoWndSize, 7, 0, {0, 0, sw, sh}, 0, 0},
        {kVideoWndSize, 1, 1, {100, 100, 420, 340}, 0, 0},
        {kVideoWndStyle, 2, 0, {}, WS_THICKFRAME, WS_CAPTION},
        {kVideoWndStyle, 5, 2, {}, WS_POPUP, WS_CAPTION},
        {kVideoWndStyle, 1, 1, {}, WS_CAPTION, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.what << " " << c.value);
        SendMessageA(hwnd(), WM_VIDEO_WND_SET, c.what, c.value);
        if (c.what == kVideoWndSize) {
            EXPECT_EQ(c.state, video_wnd_size_state());
            RECT r;
            GetWindowRect(hwnd(), &r);
            EXPECT_TRUE(EqualRect(&r, &c.rect)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        } else {
            EXPECT_EQ(c.state, video_wnd_style_state());
            const DWORD style = DWORD(GetWindowLongA(hwnd(), GWL_STYLE));
            EXPECT_EQ(c.has, style & c.has);
            if (c.lacks) {
                EXPECT_NE(c.lacks, style & c.lacks);
            }
            EXPECT_NE(0, GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        }
    }
}

// Twenty plays: GDI objects and process handles end where they began, and no DirectDraw object is
// left after any release.
TEST_F(VideoWnd, TwentyPlaysLeaveNothingBehind) {
    const std::vector<uint8_t> picture = test_picture(kWidth, kHeight);
    // One play first, so that what Wine makes once per process is there before counting.
    ASSERT_EQ(0, open());
    ASSERT_EQ(0, show(picture));
    worker_->run([] { ddov_release(); });
    pump(50);
    const int gdi_before = gdi_object_count();
    const long handles_before = process_handle_count();
    ASSERT_GT(handles_before, 0);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(0, open()) << "play " << i;
        for (int frame = 0; frame < 2; ++frame) ASSERT_EQ(0, show(test_picture(kWidth, kHeight, frame)));
        worker_->run([] { ddov_release(); });
        ASSERT_EQ(0, ddov_live_objects()) << "play " << i;
    }
    pump(50);
    EXPECT_EQ(gdi_before, gdi_object_count());
    EXPECT_EQ(handles_before, process_handle_count());
    std::printf("GDI objects %d, handles %ld\n", gdi_before, handles_before);
}

// A DirectDraw failure (forced by the test hook) gives -2 to the caller with nothing left made and the
// window not subclassed; the next open works again.
TEST_F(VideoWnd, ForcedDirectDrawFailureReturnsMinusTwo) {
    const LONG_PTR own_proc = GetWindowLongPtrA(hwnd(), GWLP_WNDPROC);
    ddov_force_failure(true);
    EXPECT_EQ(-2, open());
    EXPECT_EQ(0, ddov_live_objects());
    EXPECT_EQ(VideoWndPath::kClosed, video_wnd_path());
    EXPECT_EQ(own_proc, GetWindowLongPtrA(hwnd(), GWLP_WNDPROC));
    int shown = 99;
    worker_->run([&] { shown = video_wnd_show_frame(); });
    EXPECT_EQ(0, shown);
    ddov_force_failure(false);
    EXPECT_EQ(0, open());
    EXPECT_EQ(4, ddov_live_objects());
    // Sizes below 2 x 2 cannot be shown either.
    EXPECT_EQ(-2, open(1, 240));
    EXPECT_EQ(0, ddov_live_objects());
}

// The pixel value of a colour on a 32-bit X8R8G8B8 surface is 0x00RRGGBB, and the pixel it wrote is put back.
TEST(VideoWndColour, ColourMatchGivesTheSurfacePixelValue) {
    void* object = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr));
    auto* dd = static_cast<IDirectDraw7*>(object);
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = desc.dwHeight = 8;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 32;
    desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0xFF00;
    desc.ddpfPixelFormat.dwBBitMask = 0xFF;
    IDirectDrawSurface7* surface = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &surface, nullptr));
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x123456;
    ASSERT_EQ(DD_OK, surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    EXPECT_EQ(0xFF0000u, ddov_color_match(surface, RGB(255, 0, 0)));
    EXPECT_EQ(0x0000FFu, ddov_color_match(surface, RGB(0, 0, 255)));
    EXPECT_EQ(0x102030u, ddov_color_match(surface, RGB(0x10, 0x20, 0x30)));
    DDSURFACEDESC2 locked = {};
    locked.dwSize = sizeof(locked);
    ASSERT_EQ(DD_OK, surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(0x123456u, *static_cast<const DWORD*>(locked.lpSurface) & 0xFFFFFF) << "pixel (0, 0) put back";
    surface->Unlock(nullptr);
    EXPECT_EQ(0u, ddov_color_match(nullptr, RGB(1, 2, 3)));
    surface->Release();
    dd->Release();
}

}  // namespace
