#include "ColorSetDlg.h"
#include "app/res/resource.h"
#include "controls/skin/SkinDraw.h"
#include "engine/main_window/main_window.h"
#include "engine/settings/settings.h"

namespace {
void colour_all_states(CSkinButton& b, COLORREF c) {
    b.m_crNormalFace = b.m_crFocusFace = b.m_crHoverFace = c;
    for (BYTE state : {0, 2, 4}) b.SetColour(state, c, FALSE);
    if (b.m_hWnd) b.Invalidate();
}
}  // namespace

CColorSetDlg::CColorSetDlg() : CSkinDialog(IDD_COLOR_SET) {}

BEGIN_MESSAGE_MAP(CColorSetDlg, CSkinDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_HSCROLL()
    ON_BN_CLICKED(IDC_COLOR_PRESET0, OnPreset0)
    ON_BN_CLICKED(IDC_COLOR_PRESET1, OnPreset1)
    ON_BN_CLICKED(IDC_COLOR_PRESET2, OnPreset2)
    ON_BN_CLICKED(IDC_COLOR_PRESET3, OnPreset3)
    ON_BN_CLICKED(IDC_COLOR_CUSTOM, OnCustom)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_COLOR_R, OnReleased)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_COLOR_G, OnReleased)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_COLOR_B, OnReleased)
END_MESSAGE_MAP()

void CColorSetDlg::DoDataExchange(CDataExchange* dx) {
    for (int i = 0; i < 3; ++i) {
        DDX_Control(dx, IDC_COLOR_R + i, m_sliders[i]);
        DDX_Control(dx, IDC_COLOR_R_VALUE + i, m_values[i]);
    }
    for (int i = 0; i < 5; ++i) DDX_Control(dx, IDC_COLOR_PRESET0 + i, m_buttons[i]);
}

BOOL CColorSetDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetBackBitmap(129);
    EnableEasyMove();
    const COLORREF channel[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int i = 0; i < 3; ++i) {
        m_sliders[i].SetRange(0, 255);
        m_sliders[i].SetThumbColour(channel[i]);
        m_sliders[i].SetChannelColour(channel[i]);
        m_values[i].SetFontName("楷体").SetTextColor(channel[i]);
    }
    m_colours[0] = RGB(12, 48, 112);
    m_colours[1] = RGB(8, 72, 8);
    m_colours[2] = RGB(72, 56, 8);
    m_colours[3] = RGB(8, 56, 56);
    m_colours[4] = (COLORREF)cfg_ui_color;
    for (int i = 0; i < 5; ++i) {
        m_buttons[i].SetTooltipText("选择颜色效果");
        colour_all_states(m_buttons[i], m_colours[i]);
    }
    return TRUE;
}

void CColorSetDlg::Press(int button) {
    for (int i = 0; i < 5; ++i) m_buttons[i].SetPressed(i == button);
}

void CColorSetDlg::Sync() {
    const COLORREF ui = (COLORREF)cfg_ui_color;
    const int parts[3] = {GetRValue(ui), GetGValue(ui), GetBValue(ui)};
    for (int i = 0; i < 3; ++i) {
        CString text;
        text.Format("%d", parts[i]);
        m_values[i].SetText(text);
        m_sliders[i].SetPos(parts[i]);
        m_values[i].RedrawWindow();
    }
}

void CColorSetDlg::Apply() {
    Sync();
    if (m_hMainWnd) ::SendMessageA(m_hMainWnd, WM_DLG_NOTIFY, 8886, 1);
    RedrawWindow();
}

void CColorSetDlg::OnShowWindow(BOOL show, UINT status) {
    Default();
    if (!show) return;
    (void)status;
    int match = 4;
    for (int i = 0; i < 4; ++i)
        if ((COLORREF)cfg_ui_color == m_colours[i]) match = i;
    m_colours[4] = (COLORREF)cfg_ui_color;
    if (match == 4) colour_all_states(m_buttons[4], m_colours[4]);
    Press(match);
    Sync();
}

void CColorSetDlg::Choose(int button) {
    cfg_ui_color = (int)m_colours[button];
    Press(button);
    Apply();
}

void CColorSetDlg::OnHScroll(UINT, UINT, CScrollBar* bar) {
    if (!bar) return;
    for (int i = 0; i < 3; ++i) {
        if (bar->m_hWnd != m_sliders[i].m_hWnd) continue;
        const int pos = m_sliders[i].GetPos();
        int parts[3] = {GetRValue((COLORREF)cfg_ui_color), GetGValue((COLORREF)cfg_ui_color),
                        GetBValue((COLORREF)cfg_ui_color)};
        parts[i] = pos;
        Press(4);
        colour_all_states(m_buttons[4], RGB(parts[0], parts[1], parts[2]));
        CString text;
        text.Format("%d", pos);
        m_values[i].SetText(text);
    }
}

void CColorSetDlg::OnReleased(NMHDR*, LRESULT* result) {
    cfg_ui_color = (int)RGB(m_sliders[0].GetPos(), m_sliders[1].GetPos(), m_sliders[2].GetPos());
    m_colours[4] = (COLORREF)cfg_ui_color;
    Apply();
    *result = 0;
}

void CColorSetDlg::Hide() {
    m_bVisible = false;
    ShowWindow(SW_HIDE);
}

void CColorSetDlg::OnCancel() { Hide(); }

LRESULT CColorSetDlg::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // The skinned caption has a close button only; it hides the dialog.
    if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP || msg == WM_NCLBUTTONDBLCLK) && skin_ready &&
        (wp == HTCLOSE || wp == HTMINBUTTON || wp == HTMENU)) {
        if (msg == WM_NCLBUTTONDOWN && wp == HTCLOSE && m_bVisible) Hide();
        return 0;
    }
    LRESULT result = CSkinDialog::DefWindowProc(msg, wp, lp);
    if (!::IsWindow(m_hWnd) || !skin_ready) return result;
    switch (msg) {
    case WM_NCHITTEST:
        if (skin_caption_hit(m_hWnd, CPoint(lp)) == HTCLOSE) return HTCLOSE;
        break;
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_NCACTIVATE: skin_paint_window(this, nullptr); break;
    default: break;
    }
    return result;
}
