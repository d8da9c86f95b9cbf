// Application and thread objects.
#pragma once

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;
    CWinThread(AFX_THREADPROC proc, LPVOID param) : m_pfnThreadProc(proc), m_pThreadParams(param) {}
    ~CWinThread() override;
    BOOL CreateThread(DWORD flags = 0, UINT stack_size = 0, LPSECURITY_ATTRIBUTES sa = nullptr);
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }
    virtual BOOL InitInstance() { return FALSE; }
    virtual int Run();
    virtual int ExitInstance() { return 0; }
    virtual BOOL PreTranslateMessage(MSG* msg);

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;
    CWnd* m_pMainWnd = nullptr;

private:
    static DWORD WINAPI ThreadEntry(LPVOID self);
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
};

// Starts a worker thread with CreateThread (never std::thread: Win32 calls need a Wine thread block).
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stack_size = 0, DWORD flags = 0, LPSECURITY_ATTRIBUTES sa = nullptr);

class CWinApp : public CWinThread {
public:
    explicit CWinApp(const char* app_name = nullptr);
    ~CWinApp() override;
    void Enable3dControls() {}
    void SetDialogBkColor() {}
    HICON LoadIcon(UINT id) const { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)); }
    HICON LoadStandardIcon(const char* id) const { return ::LoadIconA(nullptr, id); }
    HCURSOR LoadStandardCursor(const char* id) const { return ::LoadCursorA(nullptr, id); }

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    const char* m_pszAppName = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
inline void AfxEnableControlContainer() {}
// Framework entry used by WinMain of a program module.
int AfxWinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmd_line, int show);
