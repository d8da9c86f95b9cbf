// brisvane.dll: the tolmvideo_* entry points over the effect table, and the panel. The panel belongs
// to the thread that called tolmvideo_begin; an export called on another thread posts its window
// steps to that thread (without a panel they are skipped; the table steps always run), so no export
// ever waits for the panel's thread.
#include "videofx/brisvane.h"
#include <mutex>
#include "afxseam.h"
#include "controls/skin/SkinUiColour.h"
#include "skinlib/module/SkinlibModule.h"
#include "videofx/panel/VideoEffectDlg.h"
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"

COLORREF g_skin_colour_a = 0x20E1E1, g_skin_colour_b = 0xC66020;

void skin_set_scheme(int scheme) {
    static const COLORREF kSchemes[4][3] = {
        {0x20E1E1, 0xC66020, 0x602410},
        {0xFFC020, 0x008020, 0x006008},
        {0x20C0FF, 0xA89410, 0x746008},
        {0x10DA80, 0xC928B1, 0x981B5F},
    };
    const COLORREF* c = scheme >= 1 && scheme <= 4 ? kSchemes[scheme - 1] : nullptr;
    g_skin_colour_a = c ? c[0] : 0xFFFFFF;
    g_skin_colour_b = c ? c[1] : 0x606060;
    skin_ui_color = c ? c[2] : 0x404040;
}

namespace brisvane {
namespace {

HINSTANCE g_instance = nullptr;
CVideoEffectDlg* g_effect_panel = nullptr;
bool g_panel_alive = false;  // guarded by the table's lock
DWORD g_panel_thread = 0;
std::mutex g_order_mutex;
std::vector<int> g_order = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

bool on_panel_thread() { return ::GetCurrentThreadId() == g_panel_thread; }

// Runs a window step now on the panel's thread, posts it from any other; nothing without a panel.
void window_step(PanelStep step, LPARAM arg) {
    CVideoEffectDlg* p = g_effect_panel;
    if (!p || !p->m_hWnd) return;
    if (on_panel_thread())
        ::SendMessageA(p->m_hWnd, WM_PANEL_STEP, step, arg);
    else
        ::PostMessageA(p->m_hWnd, WM_PANEL_STEP, step, arg);
}

void destroy_panel() {
    CVideoEffectDlg* p = g_effect_panel;
    if (!p) return;
    table().with_slots([](videofx::SlotTable&) {
        g_panel_alive = false;
        return 0;
    });
    g_effect_panel = nullptr;
    if (p->m_hWnd) {
        ::CloseWindow(p->m_hWnd);
        p->DestroyWindow();
    }
    delete p;
}

void hand_preview(const PictureView& frame, void*) {
    if (!g_panel_alive || !g_effect_panel) return;
    if (!g_effect_panel->m_bRefreshPreview.exchange(0)) return;
    if (g_panel_shown == 1) g_effect_panel->HandPreview(frame.width, frame.height, frame.data);
}

}  // namespace

std::atomic<uint8_t> g_panel_shown{0};
std::atomic<HWND> g_host_window{nullptr};

videofx::EffectTable& table() {
    static videofx::EffectTable the_table;
    return the_table;
}

void set_chain_order(const std::vector<int>& ids) {
    std::lock_guard<std::mutex> hold(g_order_mutex);
    g_order = ids;
}

std::vector<int> chain_order() {
    std::lock_guard<std::mutex> hold(g_order_mutex);
    return g_order;
}

CVideoEffectDlg* panel() { return g_effect_panel; }
HINSTANCE instance() { return g_instance; }

void close_panel_to_host() {
    if (CVideoEffectDlg* p = g_effect_panel) p->ShowWindow(SW_HIDE);
    g_panel_shown = 0;
    if (HWND host = g_host_window) ::SendMessageA(host, WM_HOST_NOTIFY, 9999, 18);
}

}  // namespace brisvane

using namespace brisvane;

// The library's application object: the table is reset as at load by its own construction.
class CVideoEffectApp : public CWinApp {
public:
    CVideoEffectApp() : CWinApp(nullptr) { table(); }
};
static CVideoEffectApp the_app;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
    // The framework's per-thread state lives in this module's TLS slot: free it with the thread and the
    // library.
    if (reason == DLL_THREAD_DETACH) AfxTermThread();
    if (reason == DLL_PROCESS_DETACH) AfxTermModule();
    return TRUE;
}

extern "C" int __cdecl tolmvideo_begin(void) {
    table().begin();
    if (!g_effect_panel) {
        // The panel's resources and skinned classes are this library's own.
        AfxSetResourceHandle(g_instance);
        skinlib_use_brisvane();
        AfxInstallMessageSeam();
        auto* p = new CVideoEffectDlg(nullptr);
        g_effect_panel = p;
        g_panel_thread = ::GetCurrentThreadId();
        if (!p->Create(IDD_VIDEO_PANEL, nullptr)) {
            g_effect_panel = nullptr;
            delete p;
        } else {
            table().with_slots([](videofx::SlotTable&) {
                g_panel_alive = true;
                return 0;
            });
            ::SetForegroundWindow(p->m_hWnd);
            ::SetWindowPos(p->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    }
    window_step(kStepShow, 0);
    g_panel_shown = 0;
    return 0;
}

extern "C" int __cdecl tolmvideo_close(void) {
    if (g_effect_panel) {
        if (on_panel_thread()) {
            destroy_panel();
        } else {
            // The window belongs to the panel's thread: mark it gone now, destroy it there.
            table().with_slots([](videofx::SlotTable&) {
                g_panel_alive = false;
                return 0;
            });
            CVideoEffectDlg* p = g_effect_panel;
            g_effect_panel = nullptr;
            if (p->m_hWnd) ::PostMessageA(p->m_hWnd, WM_PANEL_STEP, kStepClose, (LPARAM)p);
        }
    }
    table().close();
    return 0;
}

static void size_call(int width, int height, bool reset) {
    const uint32_t off = table().set_frame_size(width, height, reset == 1 ? 1 : 0);
    if (reset == 1)
        window_step(kStepReset, 0);
    else if (off)
        window_step(kStepFitted, (LPARAM)off);
    window_step(kStepSizes, 0);
}

extern "C" int __cdecl tolmvideo_init(int width, int height, int show, bool reset) {
    size_call(width, height, reset);
    g_panel_shown = show == 1 ? 1 : 0;
    window_step(kStepShow, show == 1);
    return 0;
}

extern "C" void __cdecl tolmvideo_setwh(int width, int height, bool reset) { size_call(width, height, reset); }

extern "C" int __cdecl tolmvideo_change(uint8_t* frame, int size) {
    if (!table().any_enabled()) return size;
    return table().change(frame, size, chain_order(), hand_preview, nullptr);
}

extern "C" void __cdecl tolmvideo_text(bool on) { table().set_enabled(videofx::kTextOverlay, (uint8_t)on); }
extern "C" void __cdecl tolmvideo_picture(bool on) { table().set_enabled(videofx::kPictureOverlay, (uint8_t)on); }

extern "C" void __cdecl tolmvideo_setdisp(bool show) {
    if (show == 1) {
        g_panel_shown = 1;
        window_step(kStepShow, 1);
    } else {
        window_step(kStepShow, 0);
        g_panel_shown = 0;
    }
}

extern "C" bool __cdecl tolmvideo_gettextflag(void) { return table().text_flag(); }
extern "C" bool __cdecl tolmvideo_getpicflag(void) { return table().picture_flag(); }
extern "C" bool __cdecl tolmvideo_gettextvalid(void) { return table().text_valid(); }
extern "C" bool __cdecl tolmvideo_getpicvalid(void) { return table().picture_valid(); }
extern "C" bool __cdecl tolmvideo_getdisp(void) { return g_panel_shown == 1; }

extern "C" HWND __cdecl tolmvideo_handle(HWND host) {
    g_host_window = host;
    return host;
}
