#include "videofx/panel/EffectRegionDlg.h"
#include <cstdio>
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"

using brisvane::table;

BEGIN_MESSAGE_MAP(CEffectRegionDlg, CSkinDialog)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_REGION_WHOLE, OnWholeFrame)
    ON_BN_CLICKED(IDC_REGION_RECT, OnRegion)
    ON_CBN_SELCHANGE(IDC_REGION_EFFECT, OnSelectEffect)
    ON_MESSAGE(WM_PREVIEW_NOTIFY, OnViewNotify)
END_MESSAGE_MAP()

void CEffectRegionDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_REGION_EFFECT, m_effect);
    DDX_Control(dx, IDC_REGION_WHOLE, m_whole);
    DDX_Control(dx, IDC_REGION_RECT, m_rect);
    DDX_Control(dx, IDC_REGION_STATUS, m_status);
    DDX_Control(dx, IDC_REGION_TEXT, m_regionText);
}

BOOL CEffectRegionDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableEasyMove(FALSE);
    SetBackBitmap(IDB_BRISVANE_BACKGROUND);
    m_whole.LoadIcons(IDI_ON, 0);
    m_whole.SetTooltipText("整个视频调整");
    m_rect.LoadIcons(IDI_OFF, 0);
    m_rect.SetTooltipText("局部视频调整");
    m_effect.ClearItems();
    m_effect.ResetContent();
    m_effect.SetTextColour(0x20FFFF);
    m_effect.SetBackColour(0xC08020);
    for (int i = 0; i < 12; ++i) m_effect.AddString(videofx::find_effect(SlotOfItem(i) + 1)->name);
    m_nSlot = 0;
    m_effect.SetCurSel(0);
    const bool whole = table().slot(0).whole_frame == 1;
    m_whole.SetPressed(whole);
    m_rect.SetPressed(!whole);
    m_status.SetFontName("楷体");
    m_regionText.SetFontName("楷体");
    m_pView = mypicscrollview::CreateOver(this, IDC_REGION_VIEW_AREA);
    if (m_pView) {
        m_pView->m_noBackground = 1;
        m_pView->NewPicture(table().frame_width(), table().frame_height());
        HandView();
    }
    return TRUE;
}

void CEffectRegionDlg::HandView() {
    if (!m_pView) return;
    const videofx::EffectSlot s = table().slot(m_nSlot);
    m_pView->m_effectIndex = m_nSlot;
    m_pView->SetRect({s.region_x, s.region_y, s.region_width, s.region_height});
    m_pView->Invalidate(FALSE);
}

void CEffectRegionDlg::ShowStatus() {
    const videofx::EffectSlot s = table().slot(m_nSlot);
    char text[200];
    std::snprintf(text, sizeof text, s.enabled == 1 ? "%s已使用" : "%s未使用", s.name);
    m_status.SetTextColor(s.enabled == 1 ? 0xFF0000 : 0x0000FF);
    m_status.SetText(text);
}

void CEffectRegionDlg::ShowRegionText(bool long_form) {
    const videofx::EffectSlot s = table().slot(m_nSlot);
    char text[200];
    if (s.whole_frame == 1)
        std::snprintf(text, sizeof text, "整个视频大小");
    else if (long_form)
        std::snprintf(text, sizeof text, "局部 起点[%d,%d] 宽:%d 高:%d id=%d", s.region_x, s.region_y, s.region_width,
                      s.region_height, m_nSlot);
    else
        std::snprintf(text, sizeof text, "局部 起点[%d,%d] 宽:%d 高:%d", s.region_x, s.region_y, s.region_width,
                      s.region_height);
    m_regionText.EnableWindow(s.whole_frame != 1);
    m_regionText.SetText(text);
}

void CEffectRegionDlg::OnShowWindow(BOOL show, UINT status) {
    CSkinDialog::OnShowWindow(show, status);
    if (!show) return;
    m_nSlot = 0;
    for (int i = 0; i < videofx::kSlotCount; ++i)
        if (table().slot(i).enabled == 1) {
            m_nSlot = i;
            break;
        }
    if (m_nSlot == 10 || m_nSlot == 11 || m_nSlot > 13) m_nSlot = 0;
    m_effect.SetCurSel(ItemOfSlot(m_nSlot));
    SetVideoSize();
    HandView();
    ShowStatus();
    const bool whole = table().slot(m_nSlot).whole_frame == 1;
    m_whole.SetPressed(whole);
    m_rect.SetPressed(!whole);
    ShowRegionText(false);
}

void CEffectRegionDlg::OnWholeFrame() {
    const bool whole = m_whole.IsPressed() == 1;
    table().with_slots([&](videofx::SlotTable& slots) {
        slots[m_nSlot].whole_frame = whole ? 1 : 0;
        return 0;
    });
    m_rect.SetPressed(!whole);
    ShowRegionText(false);
    if (m_pView) m_pView->Invalidate(FALSE);
}

void CEffectRegionDlg::OnRegion() {
    const bool rect = m_rect.IsPressed() == 1;
    table().with_slots([&](videofx::SlotTable& slots) {
        slots[m_nSlot].whole_frame = rect ? 0 : 1;
        return 0;
    });
    m_whole.SetPressed(!rect);
    ShowRegionText(false);
    if (m_pView) m_pView->Invalidate(FALSE);
}

void CEffectRegionDlg::OnSelectEffect() {
    const int item = m_effect.GetCurSel();
    if (item < 0) return;
    m_nSlot = SlotOfItem(item);
    ShowStatus();
    SetVideoSize();
    HandView();
    const bool whole = table().slot(m_nSlot).whole_frame == 1;
    m_whole.SetPressed(whole);
    m_rect.SetPressed(!whole);
    ShowRegionText(true);
}

LRESULT CEffectRegionDlg::OnViewNotify(WPARAM code, LPARAM) {
    if (code != 8888 || !m_pView) return 0;
    const videofx::preview::Rect r = m_pView->GetRect();
    table().with_slots([&](videofx::SlotTable& slots) {
        slots[m_nSlot].region_x = r.x;
        slots[m_nSlot].region_y = r.y;
        slots[m_nSlot].region_width = r.width;
        slots[m_nSlot].region_height = r.height;
        return 0;
    });
    m_pView->m_noBackground = 1;
    m_pView->Invalidate(FALSE);
    ShowRegionText(false);
    return 0;
}

void CEffectRegionDlg::SetVideoSize() {
    if (!m_pView) return;
    const int w = table().frame_width(), h = table().frame_height();
    if (m_pView->ExtentWidth() == w && m_pView->ExtentHeight() == h) return;
    m_pView->NewPicture(w, h);
    HandView();
}

void CEffectRegionDlg::SetPreviewFrame(int width, int height, const uint8_t* frame) {
    if (m_pView) m_pView->CopyFrameLocked(width, height, frame);
}
