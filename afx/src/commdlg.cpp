// The common dialogs and the seam they pass through.
#include "afximpl.h"
#include "afxdlgs.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The file name of a path and the dot before its extension (NULL: none), over whole characters.
const char* file_name_of(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; p = ::CharNextA(p))
        if (*p == '\\' || *p == '/') name = p + 1;
    return name;
}

const char* extension_dot(const char* name) {
    const char* dot = nullptr;
    for (const char* p = name; *p; p = ::CharNextA(p))
        if (*p == '.') dot = p;
    return dot;
}

}  // namespace

// ---- the seam ----

namespace {
AfxDialogHook g_dialog_hook = nullptr;
void* g_dialog_context = nullptr;

const char* kind_name(AfxDialogKind kind) {
    switch (kind) {
    case AfxFileOpenDialog: return "file open";
    case AfxFileSaveDialog: return "file save";
    case AfxColourDialog: return "colour";
    default: return "font";
    }
}

// The request's title and what it starts from, for the log.
void describe(AfxDialogKind kind, void* request, CString* title, CString* start) {
    char buf[64];
    switch (kind) {
    case AfxFileOpenDialog:
    case AfxFileSaveDialog: {
        OPENFILENAMEA* ofn = (OPENFILENAMEA*)request;
        *title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
        *start = ofn->lpstrFile ? ofn->lpstrFile : "";
        break;
    }
    case AfxColourDialog:
        snprintf(buf, sizeof buf, "0x%06X", (unsigned)((CHOOSECOLORA*)request)->rgbResult);
        *start = buf;
        break;
    case AfxFontDialog: {
        CHOOSEFONTA* cf = (CHOOSEFONTA*)request;
        *start = cf->lpLogFont ? cf->lpLogFont->lfFaceName : "";
        break;
    }
    }
}

// Puts an answer from outside into the request; FALSE when it does not fit.
BOOL take_value(AfxDialogKind kind, void* request, const char* value) {
    switch (kind) {
    case AfxFileOpenDialog:
    case AfxFileSaveDialog: {
        OPENFILENAMEA* ofn = (OPENFILENAMEA*)request;
        size_t n = strlen(value);
        if (!ofn->lpstrFile || n + 2 > ofn->nMaxFile) return FALSE;
        memcpy(ofn->lpstrFile, value, n);
        ofn->lpstrFile[n] = ofn->lpstrFile[n + 1] = 0;
        const char* name = file_name_of(value);
        ofn->nFileOffset = (WORD)(name - value);
        const char* dot = extension_dot(name);
        ofn->nFileExtension = (WORD)(dot ? dot + 1 - value : n);
        if (ofn->lpstrFileTitle && ofn->nMaxFileTitle) lstrcpynA(ofn->lpstrFileTitle, name, ofn->nMaxFileTitle);
        return TRUE;
    }
    case AfxColourDialog:
        ((CHOOSECOLORA*)request)->rgbResult = (COLORREF)strtoul(value, nullptr, 0);
        return TRUE;
    case AfxFontDialog: {
        CHOOSEFONTA* cf = (CHOOSEFONTA*)request;
        if (!cf->lpLogFont) return FALSE;
        lstrcpynA(cf->lpLogFont->lfFaceName, value, LF_FACESIZE);
        return TRUE;
    }
    }
    return FALSE;
}

BOOL run_real_dialog(AfxDialogKind kind, void* request) {
    switch (kind) {
    case AfxFileOpenDialog: return ::GetOpenFileNameA((OPENFILENAMEA*)request);
    case AfxFileSaveDialog: return ::GetSaveFileNameA((OPENFILENAMEA*)request);
    case AfxColourDialog: return ::ChooseColorA((CHOOSECOLORA*)request);
    case AfxFontDialog: return ::ChooseFontA((CHOOSEFONTA*)request);
    }
    return FALSE;
}
}  // namespace

AfxDialogHook AfxSetDialogHook(AfxDialogHook hook, void* context) {
    AfxDialogHook old = g_dialog_hook;
    g_dialog_hook = hook;
    g_dialog_context = context;
    return old;
}

int AfxRunCommonDialog(HWND owner, AfxDialogKind kind, void* request) {
    if (g_dialog_hook) return g_dialog_hook(owner, kind, request, g_dialog_context) == IDOK ? IDOK : IDCANCEL;
    CString title, start;
    describe(kind, request, &title, &start);
    CString what = CString(kind_name(kind)) + ": " + start;
    if (AfxLogToEnvironment("TARMELO_MODAL_LOG", {title, what})) {
        const char* value = getenv("TARMELO_DIALOG_VALUE");
        // "@FILE": the answer is FILE's first line, read anew for every dialog, so a test can give
        // each one its own; a line "*" lets the real dialog run for the test to drive with keys.
        char line[MAX_PATH * 2];
        if (value && value[0] == '@') {
            FILE* f = fopen(value + 1, "r");
            value = f && fgets(line, sizeof line, f) ? line : nullptr;
            if (f) fclose(f);
            if (value) line[strcspn(line, "\r\n")] = 0;
            if (value && !strcmp(value, "*")) return run_real_dialog(kind, request) ? IDOK : IDCANCEL;
        }
        const char* answer = getenv("TARMELO_MODAL_ANSWER");
        int button = answer && *answer ? atoi(answer) : (value ? IDOK : IDCANCEL);
        if (button != IDOK || !value) return IDCANCEL;
        return take_value(kind, request, value) ? IDOK : IDCANCEL;
    }
    return run_real_dialog(kind, request) ? IDOK : IDCANCEL;
}

// ---- the classes ----

HWND CCommonDialog::owner_window() const {
    if (m_pOwner && ::IsWindow(m_pOwner->m_hWnd)) return m_pOwner->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main && ::IsWindow(main->m_hWnd) ? main->m_hWnd : ::GetActiveWindow();
}

CFileDialog::CFileDialog(BOOL open, const char* default_ext, const char* file_name, DWORD flags,
                         const char* filter, CWnd* parent)
    : CCommonDialog(parent), m_bOpenFileDialog(open) {
    memset(&m_ofn, 0, sizeof m_ofn);
    memset(m_szFileName, 0, sizeof m_szFileName);
    memset(m_szFileTitle, 0, sizeof m_szFileTitle);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.Flags = flags | OFN_EXPLORER;
    if (default_ext) {
        m_strDefExt = default_ext;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (file_name) lstrcpynA(m_szFileName, file_name, sizeof m_szFileName);
    if (filter) {
        // "a|b|c|d||" becomes "a\0b\0c\0d\0\0".
        std::string f(filter);
        for (char& c : f)
            if (c == '|') c = 0;
        f.push_back(0);
        f.push_back(0);
        m_strFilter = CString(f);
        m_ofn.lpstrFilter = m_strFilter.GetString();
    }
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.hwndOwner = owner_window();
    m_szFileName[sizeof m_szFileName - 1] = 0;
    return AfxRunCommonDialog(m_ofn.hwndOwner, m_bOpenFileDialog ? AfxFileOpenDialog : AfxFileSaveDialog, &m_ofn);
}

CString CFileDialog::GetFileName() const { return CString(file_name_of(m_szFileName)); }

CString CFileDialog::GetFileExt() const {
    const char* dot = extension_dot(file_name_of(m_szFileName));
    return dot ? CString(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const {
    const char* name = file_name_of(m_szFileName);
    const char* dot = extension_dot(name);
    return dot ? CString(name, (int)(dot - name)) : CString(name);
}

COLORREF* CColorDialog::GetSavedCustomColors() {
    static COLORREF custom[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    return custom;
}

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : CCommonDialog(parent) {
    memset(&m_cc, 0, sizeof m_cc);
    m_cc.lStructSize = sizeof m_cc;
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = flags;
    if ((m_cc.rgbResult = initial) != 0) m_cc.Flags |= CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal() {
    m_cc.hwndOwner = owner_window();
    return AfxRunCommonDialog(m_cc.hwndOwner, AfxColourDialog, &m_cc);
}

CFontDialog::CFontDialog(const LOGFONTA* initial, DWORD flags, CDC* printer, CWnd* parent) : CCommonDialog(parent) {
    memset(&m_cf, 0, sizeof m_cf);
    memset(&m_lf, 0, sizeof m_lf);
    m_cf.lStructSize = sizeof m_cf;
    m_cf.lpLogFont = &m_lf;
    m_cf.Flags = flags;
    if (initial) {
        m_lf = *initial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    if (printer) {
        m_cf.hDC = printer->m_hDC;
        m_cf.Flags |= CF_PRINTERFONTS;
    }
}

INT_PTR CFontDialog::DoModal() {
    m_cf.hwndOwner = owner_window();
    return AfxRunCommonDialog(m_cf.hwndOwner, AfxFontDialog, &m_cf);
}
