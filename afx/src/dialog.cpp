// CDialog: modal and modeless dialogs from templates of this module's resources, data exchange.
#include "afxwin.h"
#include "afximpl.h"
#include <cstdio>
#include <cstdlib>
#include <climits>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND wnd, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return FALSE;
    CDialog* dlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(wnd));
    if (!dlg) return TRUE;
    try {
        return dlg->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

HRSRC CDialog::FindTemplate(HINSTANCE* module) const {
    *module = AfxGetResourceHandle();
    return ::FindResourceA(*module, m_lpszTemplateName, (LPCSTR)RT_DIALOG);
}

BOOL CDialog::Create(UINT template_id, CWnd* parent) {
    m_lpszTemplateName = MAKEINTRESOURCEA(template_id);
    m_pParentWnd = parent;
    HINSTANCE module;
    HRSRC res = FindTemplate(&module);
    HGLOBAL tmpl = res ? ::LoadResource(module, res) : nullptr;
    if (!tmpl) return FALSE;
    m_bModal = false;
    AfxHookWindowCreate(this);
    HWND wnd = ::CreateDialogIndirectParamA(module, (LPCDLGTEMPLATEA)::LockResource(tmpl),
                                            parent ? parent->m_hWnd : nullptr, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    // A modeless dialog may live under a loop this module does not run.
    if (wnd && m_hWnd == wnd && !m_bHoldsPreTranslateHook) {
        AfxInstallPreTranslateHook();
        m_bHoldsPreTranslateHook = true;
    }
    return wnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE module;
    HRSRC res = FindTemplate(&module);
    HGLOBAL tmpl = res ? ::LoadResource(module, res) : nullptr;
    if (!tmpl) return -1;

    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!parent && AfxGetMainWnd() && AfxGetMainWnd() != this) parent = AfxGetMainWnd()->m_hWnd;
    if (parent) parent = ::GetAncestor(parent, GA_ROOT);
    bool parent_enabled = parent && ::IsWindowEnabled(parent);
    if (parent_enabled) ::EnableWindow(parent, FALSE);

    m_bModal = true;
    m_bModalDone = false;
    m_nModalResult = -1;
    AfxHookWindowCreate(this);
    HWND wnd = ::CreateDialogIndirectParamA(module, (LPCDLGTEMPLATEA)::LockResource(tmpl), parent, AfxDlgProc, 0);
    AfxUnhookWindowCreate();

    if (wnd) {
        if (!m_bModalDone) ::ShowWindow(wnd, SW_SHOWNORMAL);
        // The modal loop: every message passes the PreTranslateMessage walk first; a WM_QUIT ends the
        // dialog and is posted again for the loop outside.
        int quit_code = 0;
        while (!m_bModalDone && ::IsWindow(wnd)) {
            if (!AfxPumpMessage(&quit_code)) {
                if (quit_code >= 0) ::PostQuitMessage(quit_code);
                break;
            }
        }
    }
    if (parent_enabled) ::EnableWindow(parent, TRUE);
    if (parent && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(parent);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (m_bModal) {
        m_bModalDone = true;
        if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL save) {
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return !dx.m_failed;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hWnd && ::IsDialogMessageA(m_hWnd, msg))
        return TRUE;
    return FALSE;
}

// ---- dialog data exchange ----

HWND CDataExchange::PrepareCtrl(int id) { return ::GetDlgItem(m_pDlgWnd->m_hWnd, id); }

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    control.SubclassDlgItem(id, dx->m_pDlgWnd);
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND ctl = dx->PrepareCtrl(id);
    if (!ctl) return;
    if (dx->m_bSaveAndValidate) {
        int n = ::GetWindowTextLengthA(ctl);
        char* buf = value.GetBuffer(n + 1);
        value.ReleaseBuffer(::GetWindowTextA(ctl, buf, n + 1));
    } else {
        ::SetWindowTextA(ctl, value);
    }
}

template <typename T>
static void ddx_number(CDataExchange* dx, int id, T& value, const char* out_format, bool (*parse)(const char*, T*)) {
    HWND ctl = dx->PrepareCtrl(id);
    if (!ctl) return;
    char buf[64];
    if (dx->m_bSaveAndValidate) {
        ::GetWindowTextA(ctl, buf, sizeof buf);
        T parsed;
        if (parse(buf, &parsed)) {
            value = parsed;
        } else {
            AfxMessageBox("请输入一个数字。");
            dx->Fail();
        }
    } else {
        snprintf(buf, sizeof buf, out_format, value);
        ::SetWindowTextA(ctl, buf);
    }
}

static bool parse_int(const char* s, int* out) {
    char* end;
    long v = strtol(s, &end, 10);
    while (*end == ' ') ++end;
    if (end == s || *end || v < INT_MIN || v > INT_MAX) return false;
    *out = (int)v;
    return true;
}

static bool parse_uint(const char* s, UINT* out) {
    char* end;
    unsigned long v = strtoul(s, &end, 10);
    while (*end == ' ') ++end;
    if (end == s || *end || v > UINT_MAX) return false;
    *out = (UINT)v;
    return true;
}

static bool parse_double(const char* s, double* out) {
    char* end;
    double v = strtod(s, &end);
    while (*end == ' ') ++end;
    if (end == s || *end) return false;
    *out = v;
    return true;
}

void DDX_Text(CDataExchange* dx, int id, int& value) { ddx_number(dx, id, value, "%d", parse_int); }
void DDX_Text(CDataExchange* dx, int id, UINT& value) { ddx_number(dx, id, value, "%u", parse_uint); }
void DDX_Text(CDataExchange* dx, int id, double& value) { ddx_number(dx, id, value, "%.15g", parse_double); }

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND ctl = dx->PrepareCtrl(id);
    if (!ctl) return;
    if (dx->m_bSaveAndValidate) value = (int)::SendMessageA(ctl, BM_GETCHECK, 0, 0);
    else ::SendMessageA(ctl, BM_SETCHECK, (WPARAM)value, 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND ctl = dx->PrepareCtrl(id);
    if (!ctl) return;
    // The group runs from this button to the next control with WS_GROUP.
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND b = ctl; b; b = ::GetWindow(b, GW_HWNDNEXT), ++index) {
        if (b != ctl && (::GetWindowLongA(b, GWL_STYLE) & WS_GROUP)) break;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageA(b, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageA(b, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    HWND ctl = dx->PrepareCtrl(id);
    if (!ctl) return;
    if (dx->m_bSaveAndValidate) index = (int)::SendMessageA(ctl, CB_GETCURSEL, 0, 0);
    else ::SendMessageA(ctl, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int min_value, int max_value) {
    if (!dx->m_bSaveAndValidate || (value >= min_value && value <= max_value)) return;
    char text[128];
    snprintf(text, sizeof text, "请输入一个 %d 到 %d 之间的整数。", min_value, max_value);
    AfxMessageBox(text);
    dx->Fail();
}
