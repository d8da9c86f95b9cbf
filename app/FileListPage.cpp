#include "FileListPage.h"
#include "app/UiColour.h"
#include "app/res/resource.h"
#include "controls/skin/SkinDraw.h"
#include "engine/main_window/main_window.h"
#include "engine/settings/settings.h"

CFileListPage::CFileListPage() : CSkinDialog(IDD_FILE_PAGE) {}

BEGIN_MESSAGE_MAP(CFileListPage, CSkinDialog)
    ON_BN_CLICKED(IDC_FILE_ADD, OnAdd)
    ON_BN_CLICKED(IDC_FILE_DELETE, OnDelete)
    ON_BN_CLICKED(IDC_FILE_SAVE, OnSave)
    ON_BN_CLICKED(IDC_FILE_REFRESH, OnRefresh)
    ON_NOTIFY(NM_DBLCLK, IDC_FILE_LIST, OnListDblClk)
    ON_NOTIFY(NM_CLICK, IDC_FILE_LIST, OnListClick)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

void CFileListPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_FILE_LIST, m_list);
    DDX_Control(dx, IDC_FILE_ADD, m_btnAdd);
    DDX_Control(dx, IDC_FILE_DELETE, m_btnDelete);
    DDX_Control(dx, IDC_FILE_SAVE, m_btnSave);
    DDX_Control(dx, IDC_FILE_REFRESH, m_btnRefresh);
    DDX_Control(dx, IDC_FILE_CAPTION1, m_caption1);
    DDX_Control(dx, IDC_FILE_CAPTION2, m_caption2);
}

BOOL CFileListPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetBackBitmap(129);
    EnableEasyMove(FALSE);
    was_shown = false;
    m_list.ModifyStyle(LVS_TYPEMASK, LVS_REPORT);
    m_list.m_nBandStyle = 21;
    // Inserted at position 0 one after another, so they end in reverse order of insertion.
    static const struct {
        const char* heading;
        int width;
    } columns[] = {{"其它", 40}, {"通道", 40}, {"采样率", 60}, {"帧速率", 60}, {"高度", 40}, {"宽度", 60},
                   {"时间", 40}, {"类型", 60}, {"大小", 60}, {"文件名称", 200}, {"序号", 36}};
    for (const auto& c : columns) m_list.InsertColumn(0, c.heading, LVCFMT_LEFT, c.width);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_list.CreateSkinScrollBars();
    m_btnAdd.LoadIcons(IDI_ADD, 0);
    m_btnDelete.LoadIcons(IDI_DELETE, 0);
    m_btnSave.LoadIcons(IDI_SAVE, 0);
    m_btnRefresh.LoadIcons(IDI_DISC, 0);
    m_btnAdd.SetTooltipText("添加多媒体文件记录");
    m_btnDelete.SetTooltipText("删除多媒体文件记录");
    m_btnSave.SetTooltipText("保存多媒体文件记录");
    m_btnRefresh.SetTooltipText("光盘刷新");
    for (CSkinLabel* label : {&m_caption1, &m_caption2}) {
        label->SetBkColor(0x10A810).SetTextColor(0x020202).SetFontName("宋体").SetTransparent(TRUE).SetFontSize(12)
            .SetFont3D(TRUE, 1);
    }
    ApplyUiColor();
    return TRUE;
}

void CFileListPage::ApplyUiColor() {
    const COLORREF ui = (COLORREF)cfg_ui_color;
    m_list.m_crBand = color_lighten(ui, 54);
    m_list.SetBkColor(ui);
    m_list.SetTextBkColor(skin_color_main);
    m_list.SetTextColor(skin_color_accent);
    for (CSkinButton* b : {&m_btnAdd, &m_btnDelete, &m_btnSave, &m_btnRefresh}) colour_button_faces(*b, ui);
    if (m_hWnd) Invalidate();
}

void CFileListPage::Notify(int sub_code) {
    if (HWND main = g_main_hwnd.load()) ::SendMessageA(main, WM_DLG_NOTIFY, 8888, sub_code);
}

void CFileListPage::OnAdd() { Notify(1); }

void CFileListPage::OnDelete() {
    // With nothing selected the main dialog says so.
    Notify(2);
}

void CFileListPage::OnSave() { Notify(3); }

void CFileListPage::OnRefresh() { Notify(4); }

void CFileListPage::OnListDblClk(NMHDR*, LRESULT* result) {
    if (m_list.GetSelectedCount() > 0) Notify(11);
    *result = 0;
}

void CFileListPage::OnListClick(NMHDR*, LRESULT* result) {
    if (m_list.GetSelectedCount() > 0 && m_list.GetNextItem(-1, LVNI_SELECTED) >= 0) Notify(100);
    *result = 0;
}

void CFileListPage::OnShowWindow(BOOL, UINT) {
    Default();
    was_shown = true;
}
