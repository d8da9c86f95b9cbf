// Application object, threads, and this module's resource handle.
#include "afximpl.h"
#include "afxdisp.h"

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resource_handle = nullptr;

// The module (program or DLL) this copy of the framework is linked into.
HINSTANCE this_module() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         (LPCSTR)&this_module, &module);
    return module ? module : ::GetModuleHandleA(nullptr);
}
}  // namespace

HINSTANCE AfxGetResourceHandle() {
    if (!g_resource_handle) g_resource_handle = this_module();
    return g_resource_handle;
}

void AfxSetResourceHandle(HINSTANCE instance) { g_resource_handle = instance; }

HINSTANCE AfxGetInstanceHandle() { return this_module(); }

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type) {
    HINSTANCE resources = AfxGetResourceHandle();
    if (::FindResourceA(resources, name, type)) return resources;
    HINSTANCE own = this_module();
    if (own != resources && ::FindResourceA(own, name, type)) return own;
    return resources;
}

namespace {
// The pre-translate hook of this module on a thread is held by the modeless dialogs that live on it: it
// is removed with the last of them, so no hook of a module outlives its windows (or the module).
LRESULT CALLBACK pretranslate_hook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE && !AfxOwnPumpActive()) {
        MSG* msg = (MSG*)lp;
        // Only windows of this module answer the walk; a handled message reaches nobody else.
        try {
            if (msg->hwnd && AfxPreTranslateMessage(msg)) msg->message = WM_NULL;
        } catch (...) {
        }
    }
    return ::CallNextHookEx(AfxThread().pretranslate_hook, code, wp, lp);
}
}  // namespace

AfxOwnPump::AfxOwnPump() { ++AfxThread().own_pump; }
AfxOwnPump::~AfxOwnPump() { --AfxThread().own_pump; }
BOOL AfxOwnPumpActive() { return AfxThread().own_pump > 0; }

void AfxInstallPreTranslateHook() {
    AfxThreadState& state = AfxThread();
    if (!state.pretranslate_hook)
        state.pretranslate_hook =
            ::SetWindowsHookExA(WH_GETMESSAGE, pretranslate_hook, nullptr, ::GetCurrentThreadId());
    if (state.pretranslate_hook) ++state.hook_holders;
}

void AfxReleasePreTranslateHook() {
    AfxThreadState& state = AfxThread();
    if (state.hook_holders <= 0 || --state.hook_holders > 0) return;
    ::UnhookWindowsHookEx(state.pretranslate_hook);
    state.pretranslate_hook = nullptr;
}

BOOL AfxPumpMessage(int* quit_code) {
    MSG msg;
    AfxOwnPump own;
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
        if (quit_code) *quit_code = got == 0 ? (int)msg.wParam : -1;
        return FALSE;
    }
    CWinThread* running = AfxThread().running_thread;
    BOOL handled = running ? running->PreTranslateMessage(&msg) : AfxPreTranslateMessage(&msg);
    if (!handled) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    // Idle: free the temporary wrappers, unless this loop runs inside a handler (a nested modal
    // loop), whose caller may still hold some.
    if (!AfxInsideHandler() && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) AfxFreeTempMaps();
    return TRUE;
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

CWinApp::CWinApp(const char* app_name) : m_pszAppName(app_name) {
    g_app = this;
    m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinThread::~CWinThread() {
    if (m_hThread) ::CloseHandle(m_hThread);
}

DWORD WINAPI CWinThread::ThreadEntry(LPVOID self_ptr) {
    CWinThread* self = static_cast<CWinThread*>(self_ptr);
    DWORD code = 0;
    try {
        if (self->m_pfnThreadProc) {
            code = self->m_pfnThreadProc(self->m_pThreadParams);
        } else if (self->InitInstance()) {
            code = self->Run();
        } else {
            code = self->ExitInstance();
        }
    } catch (...) {
        code = (DWORD)-1;
    }
    AfxTermThread();
    if (self->m_bAutoDelete) delete self;
    return code;
}

BOOL CWinThread::CreateThread(DWORD flags, UINT stack_size, LPSECURITY_ATTRIBUTES sa) {
    m_hThread = ::CreateThread(sa, stack_size, ThreadEntry, this, flags, &m_nThreadID);
    return m_hThread != nullptr;
}

BOOL CWinThread::PreTranslateMessage(MSG* msg) { return AfxPreTranslateMessage(msg); }

int CWinThread::Run() {
    CWinThread* outer = AfxThread().running_thread;
    AfxThread().running_thread = this;
    while (AfxPumpMessage()) {
    }
    AfxThread().running_thread = outer;
    return ExitInstance();
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stack_size, DWORD flags,
                           LPSECURITY_ATTRIBUTES sa) {
    CWinThread* thread = new CWinThread(proc, param);
    if (!thread->CreateThread(flags | CREATE_SUSPENDED, stack_size, sa)) {
        delete thread;
        return nullptr;
    }
    thread->SetThreadPriority(priority);
    if (!(flags & CREATE_SUSPENDED)) thread->ResumeThread();
    return thread;
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR cmd_line, int show) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = cmd_line;
    app->m_nCmdShow = show;
    int code;
    if (!app->InitInstance()) {
        code = app->ExitInstance();
    } else {
        code = app->Run();
    }
    AfxOleTerm();
    AfxFreeTempMaps();
    return code;
}
