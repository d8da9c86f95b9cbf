#include "LinkStatic.h"
#include "controls/skin_core/link_rules.h"

BEGIN_MESSAGE_MAP(CLinkStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CLinkStatic::CLinkStatic() = default;

CLinkStatic::~CLinkStatic() {
    if (m_hCursor) ::DestroyCursor(m_hCursor);
}

// ---- settings ----

void CLinkStatic::SetLinkTarget(const CString& target) {
    m_strTarget = target;
    if (!m_hWnd) return;
    FitWindow();
    if (m_tip.m_hWnd) m_tip.UpdateTipText(m_strTarget, this, 1);
}

void CLinkStatic::SetLinkColours(COLORREF link, COLORREF visited, COLORREF hover) {
    m_crLink = link;
    m_crVisited = visited;
    m_crHover = hover == (COLORREF)-1 ? ::GetSysColor(COLOR_HIGHLIGHT) : hover;
    if (m_hWnd) Invalidate();
}

void CLinkStatic::SetVisited(BOOL visited) {
    m_bVisited = visited;
    if (m_hWnd) Invalidate();
}

void CLinkStatic::SetUnderlineMode(int mode) {
    if (mode == m_nUnderline) return;
    if (m_hWnd) {
        SetFont(mode == 1 ? &m_fontUnderline : &m_fontPlain);
        Invalidate();
    }
    m_nUnderline = mode;
}

COLORREF CLinkStatic::CurrentColour() const {
    if (m_bHovering) return m_crHover;
    return m_bVisited ? m_crVisited : m_crLink;
}

// ---- set-up ----

void CLinkStatic::PreSubclassWindow() {
    ModifyStyle(0, SS_NOTIFY);
    CString text;
    GetWindowText(text);
    if (m_strTarget.IsEmpty()) m_strTarget = text;
    if (text.IsEmpty()) SetWindowText(m_strTarget);
    HFONT font = GetFont();
    if (!font) font = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    if (!font) font = (HFONT)::GetStockObject(ANSI_VAR_FONT);
    LOGFONTA lf{};
    ::GetObjectA(font, sizeof lf, &lf);
    m_fontPlain.DeleteObject();
    m_fontPlain.CreateFontIndirect(&lf);
    lf.lfUnderline = TRUE;
    m_fontUnderline.DeleteObject();
    m_fontUnderline.CreateFontIndirect(&lf);
    FitWindow();
    LoadDefaultCursor();
    // The hover mode starts with the plain font.
    const int mode = m_nUnderline;
    m_nUnderline = -2;
    SetUnderlineMode(mode);
    if (!m_tip.m_hWnd && m_tip.Create(this)) {
        CRect client;
        GetClientRect(&client);
        m_tip.AddTool(this, m_strTarget, &client, 1);
    }
    CStatic::PreSubclassWindow();
}

void CLinkStatic::LoadDefaultCursor() {
    if (m_hCursor) return;
    // The help program's hand, where there is one; the system's hand otherwise.
    char path[MAX_PATH];
    UINT n = ::GetWindowsDirectoryA(path, MAX_PATH);
    if (n && n + sizeof "\\winhlp32.exe" <= MAX_PATH) {
        lstrcatA(path, "\\winhlp32.exe");
        if (HMODULE help = ::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            if (HCURSOR hand = ::LoadCursorA(help, MAKEINTRESOURCEA(106))) m_hCursor = (HCURSOR)::CopyIcon((HICON)hand);
            ::FreeLibrary(help);
        }
    }
    if (!m_hCursor) {
        if (HCURSOR hand = ::LoadCursorA(nullptr, (LPCSTR)IDC_HAND)) m_hCursor = (HCURSOR)::CopyIcon((HICON)hand);
    }
}

void CLinkStatic::FitWindow() {
    if (!m_bAdjustToFit || !m_hWnd) return;
    CString text;
    GetWindowText(text);
    CWindowDC dc(this);
    CFont* old = dc.SelectObject(m_fontUnderline.m_hObject ? &m_fontUnderline : CFont::FromHandle(GetFont()));
    CSize extent = dc.GetTextExtent(text);
    dc.SelectObject(old);
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    if (CWnd* parent = GetParent()) parent->ScreenToClient(&window);
    skin::Size size{extent.cx + window.Width() - client.Width(), extent.cy + window.Height() - client.Height()};
    skin::Rect fitted = skin::fit_link_window(skin::Rect{window.left, window.top, window.right, window.bottom}, size,
                                              GetStyle());
    SetWindowPos(nullptr, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CLinkStatic::DestroyWindow() {
    if (m_hWnd) KillTimer(kHoverTimer);
    return CStatic::DestroyWindow();
}

BOOL CLinkStatic::PreTranslateMessage(MSG* msg) {
    if (m_tip.m_hWnd) m_tip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

// ---- opening ----

namespace {
// The default value of a key of HKEY_CLASSES_ROOT (at most 260 bytes); false when there is none.
bool class_value(const char* key, char* value) {
    LONG size = MAX_PATH;
    value[0] = 0;
    return ::RegQueryValueA(HKEY_CLASSES_ROOT, key, value, &size) == ERROR_SUCCESS;
}
}  // namespace

int CLinkStatic::OpenTarget(const char* target, int show) {
    int result = (int)(INT_PTR)AfxShellExecute(nullptr, "open", target, nullptr, nullptr, show);
    if (result > 32) return result;
    char file_class[MAX_PATH], command[MAX_PATH];
    if (!class_value(".htm", file_class)) return result;
    std::string key = std::string(file_class) + "\\shell\\open\\command";
    if (!class_value(key.c_str(), command)) return result;
    return (int)AfxWinExec(skin::browser_command(command, target).c_str(), (UINT)show);
}

void CLinkStatic::OnClicked() {
    m_bHovering = FALSE;
    int result = OpenTarget(m_strTarget, SW_SHOW);
    if (result > 32) {
        SetVisited(TRUE);
        return;
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
    AfxMessageBox(skin::link_error_text(result).c_str(), MB_ICONEXCLAMATION);
}

// ---- looks ----

HBRUSH CLinkStatic::CtlColor(CDC* dc, UINT) {
    dc->SetTextColor(CurrentColour());
    dc->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

void CLinkStatic::OnMouseMove(UINT, CPoint) {
    if (!m_bHovering) {
        m_bHovering = TRUE;
        if (m_nUnderline == -1) SetFont(&m_fontUnderline);
        Invalidate();
        SetTimer(kHoverTimer, 100);
    }
    Default();
}

void CLinkStatic::OnTimer(UINT_PTR id) {
    if (id == kHoverTimer) {
        DWORD pos = ::GetMessagePos();
        CPoint p((short)LOWORD(pos), (short)HIWORD(pos));
        ScreenToClient(&p);
        CRect client;
        GetClientRect(&client);
        if (!client.PtInRect(p)) {
            m_bHovering = FALSE;
            KillTimer(kHoverTimer);
            if (m_nUnderline != 1) SetFont(&m_fontPlain);
            client.bottom += 10;
            InvalidateRect(&client);
        }
    }
    Default();
}

BOOL CLinkStatic::OnSetCursor(CWnd*, UINT, UINT) {
    if (!m_hCursor) return FALSE;
    ::SetCursor(m_hCursor);
    return TRUE;
}

BOOL CLinkStatic::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}
