// One source, built into two DLLs with a different PROBE_VARIANT each.
#include "module_probe.h"
#include "controls/skin/SkinDraw.h"
#include "afx/src/afximpl.h"

const char* CModuleProbe::Variant() const { return PROBE_VARIANT; }

namespace {
HINSTANCE g_instance = nullptr;

int copy_text(const CString& text, char* buffer, int size) {
    if (!buffer || size <= 0) return -1;
    lstrcpynA(buffer, text, size);
    return text.GetLength();
}
}  // namespace

#ifdef PROBE_SETS_HANDLE_IN_DLLMAIN
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        AfxSetResourceHandle(instance);
    }
    if (reason == DLL_THREAD_DETACH) AfxTermThread();
    if (reason == DLL_PROCESS_DETACH) AfxTermModule();
    return TRUE;
}
#endif

namespace {
// A window of this module on a thread of its own: created, painted, pumped and destroyed, with
// temporary wrappers and the module's hooks on that thread.
DWORD WINAPI window_thread(LPVOID) {
    CModuleProbe probe;
    if (!probe.Create(IDD_PROBE)) return 1;
    probe.ShowWindow(SW_SHOWNA);
    CWnd::FromHandle(::GetDesktopWindow());
    HDC dc = probe.GetDC();
    if (dc) probe.ReleaseDC(dc);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    probe.DestroyWindow();
    return AfxRegisterWndClass(0)[0] ? 0 : 2;
}
}  // namespace

extern "C" {

const char* __cdecl probe_variant() {
    CModuleProbe probe;
    return probe.Variant();
}

int __cdecl probe_string(char* buffer, int size) {
    CString text;
    text.LoadString(IDS_PROBE_NAME);
    return copy_text(text, buffer, size);
}

HINSTANCE __cdecl probe_resource_handle() { return AfxGetResourceHandle(); }

HINSTANCE __cdecl probe_dllmain_instance() { return g_instance; }

// Creates this module's dialog 100 modeless and reports its caption.
int __cdecl probe_dialog_caption(char* buffer, int size) {
    CModuleProbe probe;
    if (!probe.Create(IDD_PROBE)) return -1;
    CString caption;
    probe.GetWindowText(caption);
    probe.DestroyWindow();
    return copy_text(caption, buffer, size);
}

int __cdecl probe_hook_installed() {
    AfxModalHook hook = AfxSetModalHook(nullptr, nullptr);
    AfxSetModalHook(hook, nullptr);
    return hook != nullptr;
}

unsigned __cdecl probe_skin(int scheme, int* background_width) {
    skin_set_scheme(scheme);
    skin_reload_bitmaps();
    if (background_width) *background_width = (int)skin_bmp_background.GetSize().cx;
    return (unsigned)skin_ui_color;
}

// Runs window_thread to its end; 0 when all went well.
int __cdecl probe_thread_window() {
    HANDLE thread = ::CreateThread(nullptr, 0, window_thread, nullptr, 0, nullptr);
    if (!thread) return -1;
    ::WaitForSingleObject(thread, INFINITE);
    DWORD code = 3;
    ::GetExitCodeThread(thread, &code);
    ::CloseHandle(thread);
    return (int)code;
}

int __cdecl probe_thread_states() { return AfxLiveThreadStates(); }

// Leaves framework state and a hold on this module's message hook on the calling thread, as a
// modeless dialog of a host thread would until its release.
void __cdecl probe_hold_hook() {
    CWnd::FromHandle(::GetDesktopWindow());
    AfxInstallPreTranslateHook();
}

}  // extern "C"
