#include "videofx/panel/VideoAboutPage.h"
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"

BEGIN_MESSAGE_MAP(CVideoAboutPage, CSkinDialog)
    ON_BN_CLICKED(IDC_ABOUT_CLOSE, OnClose)
END_MESSAGE_MAP()

void CVideoAboutPage::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ABOUT_NOTICE, m_notice);
    DDX_Control(dx, IDC_ABOUT_RIGHTS, m_rights);
    DDX_Control(dx, IDC_ABOUT_WEB, m_web);
    DDX_Control(dx, IDC_ABOUT_MAIL, m_mail);
    DDX_Control(dx, IDC_ABOUT_TITLE, m_title);
    DDX_Control(dx, IDC_ABOUT_CLOSE, m_close);
}

BOOL CVideoAboutPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableEasyMove(FALSE);
    SetBackBitmap(IDB_BRISVANE_BACKGROUND);
    for (CLinkStatic* link : {&m_web, &m_mail}) {
        link->SetLinkColours(0xFF0000, 0x0000FF, 0x0000FF);
        link->SetUnderlineMode(1);
    }
    m_web.SetLinkTarget(kMakerWeb);
    m_mail.SetLinkTarget(kMakerMail);
    m_title.SetBkColor(0xF84444);
    m_title.SetTextColor(0x020204);
    m_title.SetFontName("楷体");
    m_title.SetFontSize(16);
    m_title.SetBackBitmap(IDB_BRISVANE_BACKGROUND);
    m_title.m_nBackStyle = 17;
    m_title.SetFont3D(TRUE, 0);
    m_rights.SetBkColor(0x94A844);
    m_rights.SetTextColor(0x980000);
    m_rights.SetFontName("楷体");
    m_rights.SetTransparent(TRUE);
    m_rights.SetFontSize(12);
    m_notice.SetBkColor(0x94A844);
    m_notice.SetTextColor(0x980000);
    m_notice.SetTransparent(TRUE);
    m_notice.SetFontSize(12);
    m_close.LoadIcons(IDI_CLOSE, 0);
    m_close.OffsetColour(0, 30, TRUE);
    m_close.SetTooltipText("关闭Orvane视频处理器窗口");
    m_close.DropBackgroundCache(TRUE);
    m_close.SetColour(1, 0x0000FF, TRUE);
    m_close.SetColour(3, 0xFF0000, TRUE);
    return TRUE;
}

void CVideoAboutPage::OnClose() { brisvane::close_panel_to_host(); }
