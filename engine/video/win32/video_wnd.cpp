#include "engine/video/video_wnd.h"
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>
#include "engine/video/video_rects.h"

namespace {

// Window steps the interface thread runs for the playback thread (WM_VIDEO_WND_STEP's wParam).
enum Step : WPARAM { kStepShow = 1, kStepSubclass, kStepRestore, kStepHide };

// The five overlay formats in the order they are tried; pictures are always written as YUY2.
const DWORD kOverlayFourccs[] = {MAKEFOURCC('Y', 'U', 'Y', '2'), MAKEFOURCC('U', 'Y', 'V', 'Y'),
                                 MAKEFOURCC('R', 'G', 'B', '8'), MAKEFOURCC('V', '4', '2', '2'),
                                 MAKEFOURCC('M', 'S', 'V', 'C')};
constexpr DWORD kYuy2 = MAKEFOURCC('Y', 'U', 'Y', '2');

// The attached video dialog and, while open, the window in use.
HWND g_dialog = nullptr;
HWND g_window = nullptr;

// DirectDraw objects, made, used and released on the playback thread.
IDirectDraw7* g_ddraw = nullptr;
IDirectDrawSurface7* g_dd_primary = nullptr;
IDirectDrawClipper* g_dd_clipper = nullptr;
IDirectDrawSurface7* g_dd_overlay = nullptr;  // the picture surface: the overlay or the off-screen one
std::atomic<int> g_path{int(VideoWndPath::kClosed)};
int g_surface_width = 0, g_surface_height = 0;
std::atomic<int> g_live{0};
std::atomic<bool> g_force_failure{false}, g_force_yuy2_refused{false};

// The window's own YUY2 picture and its size.
std::vector<uint8_t> g_picture;
int g_picture_width = 0, g_picture_height = 0;

// Display read at set-up.
int g_screen_width = 0, g_screen_height = 0, g_screen_depth = 0;

// Placement given to video_wnd_open, the dialog's own style and the click states. The placement and
// style are written by the playback thread before its window steps and read by the window procedure
// afterwards; the states are changed by the window procedure alone (and reset by the open step).
RECT g_placement = {};
LONG g_own_style = 0;
std::atomic<int> g_size_state{0}, g_style_state{0};
WNDPROC g_old_proc = nullptr;

struct ShowArgs {
    std::string title;
};

template <class T>
void release(T*& object) {
    if (!object) return;
    object->Release();
    object = nullptr;
    --g_live;
}

// Runs a window step on the thread that owns the dialog and waits for it.
void run_step(Step step, LPARAM args = 0) {
    if (g_dialog) SendMessageA(g_dialog, WM_VIDEO_WND_STEP, step, args);
}

int screen_width() { return g_screen_width > 0 ? g_screen_width : GetSystemMetrics(SM_CXSCREEN); }
int screen_height() { return g_screen_height > 0 ? g_screen_height : GetSystemMetrics(SM_CYSCREEN); }

// Sizes are set as the normal position of a normally shown window, then repainted.
void place(HWND hwnd, const RECT& rect) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd, &wp);
    wp.flags = 0;
    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = rect;
    SetWindowPlacement(hwnd, &wp);
    InvalidateRect(hwnd, nullptr, TRUE);
}

RECT whole_screen() { return RECT{0, 0, screen_width(), screen_height()}; }
RECT half_placement() {
    RECT r = g_placement;
    r.right = r.left + (g_placement.right - g_placement.left) / 2;
    r.bottom = r.top + (g_placement.bottom - g_placement.top) / 2;
    return r;
}

// Size state 1, 2, 3 or 0 (the whole screen).
void set_size(HWND hwnd, int state) {
    switch (state) {
    case 1:
    case 3: place(hwnd, g_placement); break;
    case 2: place(hwnd, half_placement()); break;
    default: place(hwnd, whole_screen()); state = 0; break;
    }
    g_size_state = state;
}

// Style: 1 the dialog's own, 2 a popup grown by 2 pixels on every side, 0 a thick frame; always
// top-most, shown, frame changed and repainted.
void set_style(HWND hwnd, int state) {
    RECT r;
    GetWindowRect(hwnd, &r);
    LONG style = 0;
    switch (state) {
    case 1: style = g_own_style; break;
    case 2:
        style = WS_POPUP;
        InflateRect(&r, 2, 2);
        break;
    default: style = WS_THICKFRAME; state = 0; break;
    }
    SetWindowLongA(hwnd, GWL_STYLE, style | WS_VISIBLE);
    SetWindowPos(hwnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    InvalidateRect(hwnd, nullptr, TRUE);
    g_style_state = state;
}

// An empty YUY2 picture is black.
void fill_black(uint8_t* p, size_t bytes) {
    for (size_t i = 0; i + 1 < bytes; i += 2) p[i] = 16, p[i + 1] = 128;
}

// The picture surface at width x height: a YUY2 overlay (overlay path) or an off-screen YUY2 surface,
// or an off-screen 32-bit RGB one when YUY2 is refused. Sets g_path; false when none can be made.
bool make_picture_surface(int width, int height, bool overlay) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    if (overlay) {
        desc.ddsCaps.dwCaps = DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY;
        desc.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
        for (DWORD fourcc : kOverlayFourccs) {
            if (g_force_yuy2_refused) break;
            desc.ddpfPixelFormat.dwFourCC = fourcc;
            if (SUCCEEDED(g_ddraw->CreateSurface(&desc, &g_dd_overlay, nullptr))) {
                ++g_live;
                g_path = int(VideoWndPath::kOverlay);
                return true;
            }
            g_dd_overlay = nullptr;
        }
        return false;
    }
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (!g_force_yuy2_refused) {
        desc.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
        desc.ddpfPixelFormat.dwFourCC = kYuy2;
        if (SUCCEEDED(g_ddraw->CreateSurface(&desc, &g_dd_overlay, nullptr))) {
            ++g_live;
            g_path = int(VideoWndPath::kOffscreenYuy2);
            return true;
        }
        g_dd_overlay = nullptr;
    }
    // 32-bit X8R8G8B8, filled by our own conversion.
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwFourCC = 0;
    desc.ddpfPixelFormat.dwRGBBitCount = 32;
    desc.ddpfPixelFormat.dwRBitMask = 0x00FF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0x0000FF00;
    desc.ddpfPixelFormat.dwBBitMask = 0x000000FF;
    if (SUCCEEDED(g_ddraw->CreateSurface(&desc, &g_dd_overlay, nullptr))) {
        ++g_live;
        g_path = int(VideoWndPath::kOffscreenRgb);
        return true;
    }
    g_dd_overlay = nullptr;
    return false;
}

// DirectDraw for the window with a width x height picture surface; false on any failure (what was
// made is left for ddov_release).
bool ddraw_setup(HWND hwnd, int width, int height) {
    if (!hwnd || width < 2 || height < 2) return false;
    if (g_force_failure) return false;
    void* object = nullptr;
    if (FAILED(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr)) || !object) return false;
    g_ddraw = static_cast<IDirectDraw7*>(object);
    ++g_live;
    if (FAILED(g_ddraw->SetCooperativeLevel(hwnd, DDSCL_NORMAL))) return false;

    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (FAILED(g_ddraw->CreateSurface(&desc, &g_dd_primary, nullptr))) {
        g_dd_primary = nullptr;
        return false;
    }
    ++g_live;
    if (FAILED(g_ddraw->CreateClipper(0, &g_dd_clipper, nullptr))) {
        g_dd_clipper = nullptr;
        return false;
    }
    ++g_live;
    if (FAILED(g_dd_clipper->SetHWnd(0, hwnd)) || FAILED(g_dd_primary->SetClipper(g_dd_clipper))) return false;

    // The display: 8 bits a pixel cannot show the picture.
    DDSURFACEDESC2 mode = {};
    mode.dwSize = sizeof(mode);
    if (FAILED(g_ddraw->GetDisplayMode(&mode))) return false;
    g_screen_width = int(mode.dwWidth);
    g_screen_height = int(mode.dwHeight);
    g_screen_depth = int(mode.ddpfPixelFormat.dwRGBBitCount);
    if (g_screen_depth != 16 && g_screen_depth != 24 && g_screen_depth != 32) return false;

    // An overlay where the driver scales overlays; otherwise (or when it takes none of the formats) an
    // off-screen surface blitted into the window.
    const int w = width & ~1, h = height & ~1;
    if (ddov_has_overlay_stretch() && make_picture_surface(w, h, true)) {
    } else if (!make_picture_surface(w, h, false)) {
        return false;
    }
    g_surface_width = w;
    g_surface_height = h;
    return true;
}

// Copies (or, for an RGB surface, converts) the picture into the locked surface, within both sizes.
void copy_picture(const DDSURFACEDESC2& locked) {
    const int w = std::min(g_picture_width & ~1, g_surface_width), h = std::min(g_picture_height & ~1, g_surface_height);
    const size_t picture_stride = size_t(g_picture_width & ~1) * 2;
    auto* surface = static_cast<uint8_t*>(locked.lpSurface);
    if (VideoWndPath(g_path.load()) == VideoWndPath::kOffscreenRgb) {
        yuy2_to_bgrx(g_picture.data(), w, h, int(picture_stride), surface, int(locked.lPitch));
        return;
    }
    for (int y = 0; y < h; ++y)
        std::memcpy(surface + size_t(locked.lPitch) * size_t(y), g_picture.data() + picture_stride * size_t(y),
                    size_t(w) * 2);
}

}  // namespace

LRESULT video_wnd_handle_step(WPARAM wparam, LPARAM lparam) {
    HWND hwnd = g_dialog;
    if (!hwnd) return 0;
    switch (wparam) {
    case kStepShow: {
        const auto* args = reinterpret_cast<const ShowArgs*>(lparam);
        SetWindowTextA(hwnd, args->title.c_str());
        ShowWindow(hwnd, SW_SHOW);
        MoveWindow(hwnd, g_placement.left, g_placement.top, g_placement.right - g_placement.left,
                   g_placement.bottom - g_placement.top, TRUE);
        g_size_state = 0;
        g_style_state = 0;
        return 1;
    }
    case kStepSubclass:
        if (!g_own_style) g_own_style = GetWindowLongA(hwnd, GWL_STYLE) & ~WS_VISIBLE;
        if (!g_old_proc) {
            g_old_proc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(video_wnd_proc)));
        }
        SetForegroundWindow(hwnd);
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SendMessageA(hwnd, WM_VIDEO_WND_SET, kVideoWndStyle, 1);
        return 1;
    case kStepRestore:
        if (g_old_proc) {
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_old_proc));
            g_old_proc = nullptr;
        }
        return 1;
    case kStepHide: ShowWindow(hwnd, SW_HIDE); return 1;
    }
    return 0;
}

void video_wnd_attach(HWND video_dialog) {
    if (video_dialog != g_dialog) g_own_style = 0;
    g_dialog = video_dialog;
}
HWND video_wnd_dialog() { return g_dialog; }

int video_wnd_open(int x, int y, int width, int height, const char* path) {
    if (g_window) ddov_release();
    if (!g_dialog) return -2;
    g_placement = RECT{x, y, x + width, y + height};
    ShowArgs args;
    args.title = std::string("Delmora播放") + (path ? path : "");
    run_step(kStepShow, reinterpret_cast<LPARAM>(&args));
    g_window = g_dialog;
    if (!ddraw_setup(g_window, width, height) || !video_wnd_picture(width, height)) {
        ddov_release();
        return -2;
    }
    run_step(kStepSubclass);
    return 0;
}

uint8_t* video_wnd_picture(int width, int height) {
    if (!g_window || width < 2 || height < 2) return nullptr;
    const size_t bytes = yuy2_picture_bytes(width, height);
    if (g_picture.size() < bytes) {
        try {
            g_picture.resize(bytes);
        } catch (...) {
            return nullptr;
        }
    }
    if (width != g_picture_width || height != g_picture_height) fill_black(g_picture.data(), bytes);
    g_picture_width = width;
    g_picture_height = height;
    return g_picture.data();
}

int video_wnd_put_rgb24(int width, int height, const uint8_t* pixels, int flag) {
    if (!g_window) return -3;
    uint8_t* picture = video_wnd_picture(width, height);
    if (!picture) return width < 2 || height < 2 ? -1 : -2;
    return rgb24_to_yuy2(width, height, pixels, picture, flag);
}

int video_wnd_put_yuy2(int width, int height, const uint8_t* yuy2) {
    if (!g_window) return -3;
    if (!yuy2) return -1;
    uint8_t* picture = video_wnd_picture(width, height);
    if (!picture) return width < 2 || height < 2 ? -1 : -2;
    std::memcpy(picture, yuy2, yuy2_picture_bytes(width, height));
    return 0;
}

int video_wnd_put_yuy2(int width, int height, const uint8_t* yuy2, int stride) {
    if (!g_window) return -3;
    const size_t row = size_t(width & ~1) * 2;
    if (!yuy2 || stride < 0 || size_t(stride) < row) return -1;
    uint8_t* picture = video_wnd_picture(width, height);
    if (!picture) return width < 2 || height < 2 ? -1 : -2;
    for (int y = 0; y < (height & ~1); ++y) std::memcpy(picture + size_t(y) * row, yuy2 + size_t(y) * size_t(stride), row);
    return 0;
}

int video_wnd_show_frame() {
    if (!g_window || !g_dd_overlay || !g_dd_primary) return 0;
    // A picture of another size: the surface is re-made at its size; when that fails the old one is
    // kept and the picture copied within it.
    const int pw = g_picture_width & ~1, ph = g_picture_height & ~1;
    if ((pw != g_surface_width || ph != g_surface_height) && pw >= 2 && ph >= 2) {
        const bool overlay = VideoWndPath(g_path.load()) == VideoWndPath::kOverlay;
        IDirectDrawSurface7* old = g_dd_overlay;
        const int old_path = g_path;
        g_dd_overlay = nullptr;
        if (make_picture_surface(pw, ph, overlay)) {
            if (overlay) old->UpdateOverlay(nullptr, g_dd_primary, nullptr, DDOVER_HIDE, nullptr);
            release(old);
            g_surface_width = pw;
            g_surface_height = ph;
        } else {
            g_dd_overlay = old;
            g_path = old_path;
        }
    }

    DDSURFACEDESC2 locked = {};
    locked.dwSize = sizeof(locked);
    HRESULT hr = g_dd_overlay->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    if (hr == DDERR_SURFACELOST && SUCCEEDED(g_dd_overlay->Restore()))
        hr = g_dd_overlay->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    if (FAILED(hr)) return -11;
    if (!g_picture.empty()) copy_picture(locked);
    g_dd_overlay->Unlock(nullptr);

    DDCAPS caps = {};
    caps.dwSize = sizeof(caps);
    if (FAILED(g_ddraw->GetCaps(&caps, nullptr))) return -2;
    const bool overlay = VideoWndPath(g_path.load()) == VideoWndPath::kOverlay;
    VideoDisplayRules rules;
    if (overlay) {
        rules.min_stretch = int(caps.dwMinOverlayStretch);
        if (caps.dwCaps & DDCAPS_ALIGNSIZEDEST) rules.align_dest = int(caps.dwAlignSizeDest);
        if (caps.dwCaps & DDCAPS_ALIGNSIZESRC) rules.align_src = int(caps.dwAlignSizeSrc);
    }
    RECT client;
    POINT origin = {0, 0};
    if (GetClientRect(g_window, &client) && ClientToScreen(g_window, &origin)) {
        VideoRect c, source, dest;
        c.left = origin.x, c.top = origin.y;
        c.right = origin.x + client.right, c.bottom = origin.y + client.bottom;
        const int sw = std::min(pw, g_surface_width), sh = std::min(ph, g_surface_height);
        if (IsWindowVisible(g_window) &&
            video_display_rects(c, screen_width(), screen_height(), sw, sh, rules, &source, &dest)) {
            RECT s = {source.left, source.top, source.right, source.bottom};
            RECT d = {dest.left, dest.top, dest.right, dest.bottom};
            if (overlay) {
                g_dd_overlay->UpdateOverlay(&s, g_dd_primary, &d, DDOVER_SHOW, nullptr);
            } else {
                hr = g_dd_primary->Blt(&d, g_dd_overlay, &s, DDBLT_WAIT, nullptr);
                if (hr == DDERR_SURFACELOST && SUCCEEDED(g_dd_primary->Restore()))
                    g_dd_primary->Blt(&d, g_dd_overlay, &s, DDBLT_WAIT, nullptr);
            }
        }
    }
    video_wnd_pump();
    return 0;
}

void video_wnd_pump() {
    if (!g_window) return;
    MSG msg;
    while (PeekMessageA(&msg, g_window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT CALLBACK video_wnd_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_SIZE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second click steps as well
        // 0 -> the opening placement, 1 -> half, 2 -> the opening placement, 3 -> the whole screen.
        set_size(hwnd, (g_size_state + 1) % 4);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: set_style(hwnd, (g_style_state + 1) % 3); return 0;
    case WM_VIDEO_WND_SET:
        if (wparam == kVideoWndStyle) {
            set_style(hwnd, lparam == 1 ? 1 : lparam == 2 ? 0 : 2);
        } else if (wparam == kVideoWndSize) {
            set_size(hwnd, lparam >= 1 && lparam <= 3 ? int(lparam) : 0);
        }
        return 0;
    case WM_VIDEO_WND_STEP: return video_wnd_handle_step(wparam, lparam);
    case WM_ERASEBKGND:
        // A blitted picture stays until the next one (a pause keeps it on the screen); only the overlay
        // path, whose picture the display lays over the window, lets the background be painted.
        if (VideoWndPath(g_path.load()) != VideoWndPath::kOverlay) return 1;
        break;
    case WM_CLOSE:
    case WM_DESTROY: return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

void ddov_release() {
    if (g_ddraw && g_window) {
        g_ddraw->RestoreDisplayMode();
        g_ddraw->SetCooperativeLevel(g_window, DDSCL_NORMAL);
    }
    if (g_dd_overlay && VideoWndPath(g_path.load()) == VideoWndPath::kOverlay && g_dd_primary)
        g_dd_overlay->UpdateOverlay(nullptr, g_dd_primary, nullptr, DDOVER_HIDE, nullptr);
    release(g_dd_overlay);
    if (g_dd_primary) g_dd_primary->SetClipper(nullptr);
    release(g_dd_clipper);
    release(g_dd_primary);
    release(g_ddraw);
    g_path = int(VideoWndPath::kClosed);
    g_surface_width = g_surface_height = 0;
    std::vector<uint8_t>().swap(g_picture);
    g_picture_width = g_picture_height = 0;
    if (g_window) run_step(kStepRestore);
    g_window = nullptr;
}

void video_wnd_hide() { run_step(kStepHide); }

bool ddov_has_overlay_stretch() {
    if (!g_ddraw) return false;
    DDCAPS caps = {};
    caps.dwSize = sizeof(caps);
    if (FAILED(g_ddraw->GetCaps(&caps, nullptr))) return false;
    return (caps.dwCaps & DDCAPS_OVERLAY) && (caps.dwCaps & DDCAPS_OVERLAYSTRETCH);
}

DWORD ddov_color_match(IDirectDrawSurface7* surface, COLORREF colour) {
    if (!surface) return 0;
    HDC dc = nullptr;
    COLORREF kept = CLR_INVALID;
    if (SUCCEEDED(surface->GetDC(&dc))) {
        kept = GetPixel(dc, 0, 0);
        SetPixel(dc, 0, 0, colour);
        surface->ReleaseDC(dc);
    }
    DWORD value = 0;
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    if (SUCCEEDED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) {
        std::memcpy(&value, desc.lpSurface, sizeof(value));
        const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
        if (bits < 32) value &= (DWORD(1) << bits) - 1;
        surface->Unlock(nullptr);
    }
    if (kept != CLR_INVALID && SUCCEEDED(surface->GetDC(&dc))) {
        SetPixel(dc, 0, 0, kept);
        surface->ReleaseDC(dc);
    }
    return value;
}

VideoWndPath video_wnd_path() { return VideoWndPath(g_path.load()); }
int video_wnd_size_state() { return g_size_state; }
int video_wnd_style_state() { return g_style_state; }
int ddov_live_objects() { return g_live; }
void ddov_force_failure(bool fail) { g_force_failure = fail; }
void ddov_force_yuy2_refused(bool refuse) { g_force_yuy2_refused = refuse; }
