#include "AboutDlg.h"
#include "UiColour.h"
#include "app/res/resource.h"
#include "controls/skin/SkinDraw.h"
#include "engine/settings/settings.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CConverterAboutDlg::CConverterAboutDlg() : CSkinDialog(IDD_CONVERTER_ABOUT) {}

BEGIN_MESSAGE_MAP(CConverterAboutDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_ABOUT_BACK, OnBack)
END_MESSAGE_MAP()

void CConverterAboutDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_ABOUT_BACK, m_back);
    DDX_Control(dx, IDC_ABOUT_WEB, m_web);
    DDX_Control(dx, IDC_ABOUT_MAIL, m_mail);
    DDX_Control(dx, IDC_ABOUT_NOTICE, m_notice);
    DDX_Control(dx, IDC_ABOUT_PRODUCT, m_product);
}

BOOL CConverterAboutDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetBackBitmap(129);
    m_web.SetLinkColours(0xFF0000, 0xFF00FF, 0x0000FF);
    m_web.SetLinkTarget("http://www.delmora.example/");
    m_web.SetUnderlineMode(1);
    m_mail.SetLinkTarget("mailto:support@delmora.example");
    m_mail.SetUnderlineMode(1);
    m_product.SetTextColor(0).SetBkColor((COLORREF)cfg_ui_color).SetFontName("黑体").SetFontSize(16).SetFont3D(TRUE, 0);
    m_product.SetBackBitmap(129);
    m_notice.SetTextColor(0).SetFontName("楷体").SetFontSize(12).SetFont3D(TRUE, 1).SetTransparent(TRUE);
    m_back.LoadIcons(IDI_BACK, 0);
    m_back.OffsetColour(0, 30);
    m_back.SetTooltipText("关闭窗口并返回");
    m_back.SetColour(1, 0x0202FF);
    m_back.SetColour(3, 0x050505);
    colour_button_faces(m_back, (COLORREF)cfg_ui_color);
    return TRUE;
}

LRESULT CConverterAboutDlg::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP || msg == WM_NCLBUTTONDBLCLK) && skin_ready &&
        (wp == HTCLOSE || wp == HTMINBUTTON || wp == HTMENU)) {
        if (wp == HTCLOSE) OnOK();
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
    case WM_NCACTIVATE: skin_paint_window(this, AfxGetApp()->LoadIcon(IDR_MAINFRAME)); break;
    default: break;
    }
    return result;
}
