// One source, built into two DLLs with a different PROBE_VARIANT each.
#include "module_probe.h"
#include "controls/skin/SkinDraw.h"

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
    return TRUE;
}
#endif

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

}  // extern "C"
