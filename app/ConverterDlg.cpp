#include "ConverterDlg.h"
#include "AboutDlg.h"
#include "app/res/resource.h"
#include "controls/skin/SkinDraw.h"
#include "app/settings/ini_file.h"
#include "controls/res/skin_res.h"

namespace {
const UINT kClockTimer = 1000;
}

CConverterDlg::CConverterDlg(CWnd* parent) : CSkinDialog(IDD_CONVERTER_DIALOG, parent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

BEGIN_MESSAGE_MAP(CConverterDlg, CSkinDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
    ON_BN_CLICKED(IDC_EXIT, OnExit)
    ON_COMMAND(IDCANCEL, OnExit)
END_MESSAGE_MAP()

BOOL CConverterDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (HMENU sys = GetSystemMenuHandle(FALSE); sys && !about.IsEmpty()) {
        AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, about);
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    // The skin bitmaps before the dialog shows: its frame and caption buttons are the skin's.
    skin_reload_bitmaps();
    EnableEasyMove();
    SetBackBitmap(IDB_SKIN_BACKGROUND);
    // The scheme first, then the settings: the saved UI colour must win over the scheme's.
    skin_set_scheme(1);
    load_program_settings();
    skin_set_ui_color((COLORREF)cfg_ui_color);
    m_videoWnd.CreateHidden(this);
    OnTimer(kClockTimer);
    SetTimer(kClockTimer, 1000);
    return TRUE;
}

LRESULT CConverterDlg::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Clicks on the skin's caption buttons never reach the default handling (it would close unasked).
    if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP || msg == WM_NCLBUTTONDBLCLK) && skin_ready &&
        (wp == HTCLOSE || wp == HTMINBUTTON || wp == HTMENU)) {
        if (msg == WM_NCLBUTTONDOWN && wp == HTCLOSE) OnExit();
        else if (msg == WM_NCLBUTTONDOWN && wp == HTMINBUTTON) ShowWindow(SW_MINIMIZE);
        return 0;
    }
    LRESULT result = CSkinDialog::DefWindowProc(msg, wp, lp);
    if (!::IsWindow(m_hWnd) || !skin_ready) return result;
    switch (msg) {
    case WM_NCHITTEST:
        if (int hit = skin_caption_hit(m_hWnd, CPoint(lp))) return hit;
        break;
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        skin_paint_window(this, m_hIcon);
        break;
    default:
        break;
    }
    return result;
}

void CConverterDlg::OnSysCommand(UINT id, LPARAM lp) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
        return;
    }
    CSkinDialog::OnSysCommand(id, lp);
}

void CConverterDlg::OnPaint() {
    if (!IsIconic()) {
        CSkinDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    CRect rect;
    GetClientRect(&rect);
    int x = (rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CConverterDlg::OnQueryDragIcon() { return (HCURSOR)m_hIcon; }

void CConverterDlg::OnTimer(UINT_PTR id) {
    if (id != kClockTimer) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString text;
    text.Format("%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    SetDlgItemText(IDC_CLOCK, text);
}

void CConverterDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CConverterDlg::OnExit() {
    KillTimer(kClockTimer);
    cfg_ui_color = (int)skin_ui_color;
    save_program_ui_color();
    EndDialog(IDOK);
}
