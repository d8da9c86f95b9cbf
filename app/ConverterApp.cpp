#include "ConverterApp.h"
#include "ConverterDlg.h"
#include "app/core/program_paths.h"

CConverterApp theApp;

bool register_filter_dll(const char* name) {
    char module[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    module[n < sizeof module ? n : sizeof module - 1] = 0;
    const std::string path = filter_dll_path(module, name ? name : "");
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) return false;
    typedef HRESULT(WINAPI * RegisterServer)();
    RegisterServer entry = reinterpret_cast<RegisterServer>(reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
    const bool registered = entry && entry() == 0;
    FreeLibrary(library);
    return registered;
}

CConverterApp::CConverterApp() : CWinApp("Orvane多媒体MP4转换器") {
    // The RealMedia splitter is optional: the program runs without it.
    register_filter_dll("RealMediaSplitter.ax");
}

BOOL CConverterApp::InitInstance() {
    // Texts of the window-free layers (library binders, decoders) become this program's message boxes.
    AfxInstallMessageSeam();
    AfxEnableControlContainer();
    Enable3dControls();
    CConverterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
