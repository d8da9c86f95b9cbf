// The one seam through which every modal question passes (see afxseam.h).
#include "afximpl.h"
#include "base/message_seam.h"
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {
AfxModalHook g_hook = nullptr;
void* g_hook_context = nullptr;

}  // namespace

// The out-of-process seams: a test that drives the program names a log file in the environment; each
// question or launch adds a line of tab-separated fields. False when no log is named.
bool AfxLogToEnvironment(const char* variable, std::initializer_list<const char*> fields) {
    const char* log = getenv(variable);
    if (!log || !*log) return false;
    if (FILE* f = fopen(log, "a")) {
        const char* separator = "";
        for (const char* field : fields) {
            fprintf(f, "%s%s", separator, field ? field : "");
            separator = "\t";
        }
        fprintf(f, "\n");
        fclose(f);
    }
    return true;
}

namespace {

bool answer_from_environment(const char* text, const char* caption, UINT type, int* answer) {
    if (!AfxLogToEnvironment("TARMELO_MODAL_LOG", {caption, text})) return false;
    const char* reply = getenv("TARMELO_MODAL_ANSWER");
    *answer = reply && *reply ? atoi(reply) : seam::first_button(type);
    return true;
}
}  // namespace

AfxModalHook AfxSetModalHook(AfxModalHook hook, void* context) {
    AfxModalHook old = g_hook;
    g_hook = hook;
    g_hook_context = context;
    return old;
}

int AfxShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (g_hook) return g_hook(owner, text, caption, type, g_hook_context);
    int answer;
    if (answer_from_environment(text, caption, type, &answer)) return answer;
    return ::MessageBoxA(owner, text, caption, type);
}

int AfxMessageBox(const char* text, UINT type, UINT) {
    CWinApp* app = AfxGetApp();
    CWnd* main = AfxGetMainWnd();
    HWND owner = main && ::IsWindow(main->m_hWnd) ? main->m_hWnd : ::GetActiveWindow();
    char caption[MAX_PATH] = "";
    if (app && app->m_pszAppName) {
        lstrcpynA(caption, app->m_pszAppName, sizeof caption);
    } else {
        // Like MFC: the module's file name without folder and extension.
        char path[MAX_PATH];
        DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
        path[n < sizeof path ? n : sizeof path - 1] = 0;
        const char* base = path;
        for (const char* p = path; *p; p = ::CharNextA(p)) if (*p == '\\' || *p == '/') base = p + 1;
        lstrcpynA(caption, base, sizeof caption);
        for (char* p = caption; *p; p = ::CharNextA(p)) if (*p == '.') { *p = 0; break; }
    }
    return AfxShowMessageBox(owner, text, caption, type);
}

int AfxMessageBox(UINT prompt_id, UINT type, UINT help_id) {
    CString text;
    text.LoadString(prompt_id);
    return AfxMessageBox(text, type, help_id);
}

namespace {
// Reports of the window-free layers become message boxes of this module.
int report_as_message_box(const char* text, const char* caption, unsigned style, void*) {
    if (!caption) return AfxMessageBox(text, style, 0);
    return AfxShowMessageBox(nullptr, text, caption, style);
}
}  // namespace

void AfxInstallMessageSeam() { seam::set_reporter(report_as_message_box, nullptr); }

namespace {
AfxShellHook g_shell_hook = nullptr;
void* g_shell_context = nullptr;

// TRUE when a seam took the launch (a hook, or the log a test asked for).
BOOL shell_seam(const char* verb, const char* target, const char* parameters) {
    if (g_shell_hook) return g_shell_hook(verb, target, parameters, g_shell_context);
    return AfxLogToEnvironment("TARMELO_SHELL_LOG", {verb, target, parameters});
}
}  // namespace

AfxShellHook AfxSetShellHook(AfxShellHook hook, void* context) {
    AfxShellHook old = g_shell_hook;
    g_shell_hook = hook;
    g_shell_context = context;
    return old;
}

HINSTANCE AfxShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                          const char* directory, int show) {
    if (shell_seam(verb, file, parameters)) return (HINSTANCE)(INT_PTR)33;
    return ::ShellExecuteA(owner, verb, file, parameters, directory, show);
}

BOOL AfxShellExecuteEx(SHELLEXECUTEINFOA* info) {
    if (!info) return FALSE;
    if (shell_seam(info->lpVerb, info->lpFile, info->lpParameters)) {
        info->hInstApp = (HINSTANCE)(INT_PTR)33;
        return TRUE;
    }
    return ::ShellExecuteExA(info);
}

UINT AfxWinExec(const char* command, UINT show) {
    if (shell_seam("", command, "")) return 33;
    return ::WinExec(command, show);
}
