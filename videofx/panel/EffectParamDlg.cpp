#include "videofx/panel/EffectParamDlg.h"
#include <cstdio>
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"

using brisvane::table;

const CEffectParamDlg::SliderInfo CEffectParamDlg::kSliders[kSliderCount] = {
    {11007, 11010, 1, 0, 255, 64, 176, 128, 0x00FFFF, 0x2020FF, 0x0000FF},
    {11008, 11011, 1, 1, 255, 64, 176, 128, 0x00FFFF, 0x20FF20, 0x00FF00},
    {11009, 11012, 1, 2, 255, 64, 176, 128, 0x00FFFF, 0xFF2020, 0xFF0000},
    {11014, 11013, 2, 0, 200, 80, 120, 100, 0x00FFFF, 0xFF2020, 0xFF0000},
    {11016, 11015, 2, 1, 200, 80, 120, 100, 0xFFFF00, 0x2020FF, 0x0000FF},
    {11018, 11017, 3, 0, 200, 80, 120, 100, 0x00FFFF, 0xFF2020, 0xFF0000},
    {11020, 11019, 3, 1, 200, 80, 120, 100, 0xFFFF00, 0x2020FF, 0x0000FF},
    {11022, 11021, 7, 0, 30, 5, 10, 5, 0xFFFF00, 0x2020FF, 0x0000FF},
    {11024, 11023, 8, 0, 200, 50, 120, 1, 0xFFFF00, 0x2020FF, 0x0000FF},
    {11026, 11025, 9, 0, 30, 5, 10, 1, 0xFFFF00, 0x2020FF, 0x0000FF},
    {11028, 11027, 10, 0, 200, 50, 100, 1, 0xFFFF00, 0x2020FF, 0x0000FF},
    {11030, 11029, 13, 0, 5, 2, 3, 2, 0xFFFF00, 0x2020FF, 0x0000FF},
    {11032, 11031, 14, 0, 5, 2, 3, 2, 0xFFFF00, 0x2020FF, 0x0000FF},
};

BEGIN_MESSAGE_MAP(CEffectParamDlg, CSkinDialog)
    ON_WM_HSCROLL()
    ON_WM_SHOWWINDOW()
    ON_CBN_SELCHANGE(IDC_BLINDS_MODE, OnBlindsMode)
    ON_CBN_SELCHANGE(IDC_EXPAND_MODE, OnExpandMode)
END_MESSAGE_MAP()

void CEffectParamDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    for (int i = 0; i < kSliderCount; ++i) {
        DDX_Control(dx, kSliders[i].slider, m_sliders[i]);
        DDX_Control(dx, kSliders[i].label, m_labels[i]);
    }
    DDX_Control(dx, IDC_BLINDS_MODE, m_blindsMode);
    DDX_Control(dx, IDC_EXPAND_MODE, m_expandMode);
}

BOOL CEffectParamDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableEasyMove(FALSE);
    SetBackBitmap(IDB_BRISVANE_BACKGROUND);
    for (int i = 0; i < kSliderCount; ++i) {
        const SliderInfo& s = kSliders[i];
        m_sliders[i].SetRange(1, s.max, TRUE);
        m_sliders[i].ClearSel(TRUE);
        m_sliders[i].SetSelection(s.band_low, s.band_high);
        m_sliders[i].SetThumbColour(s.thumb);
        m_sliders[i].SetSelectionColour(s.selection);
        m_sliders[i].SetChannelColour(s.channel);
        m_sliders[i].SetPos(s.first);
    }
    const char* blinds[] = {"水平百页窗", "垂直百页窗"};
    const char* expand[] = {"水平中间展开", "垂直中间展开", "从右到左展开", "从上到下展开", "自右下角向左上角进入",
                            "自左上角向右下角展开"};
    for (CSkinComboBox* combo : {&m_blindsMode, &m_expandMode}) {
        combo->ClearItems();
        combo->ResetContent();
        combo->SetTextColour(0x37FFFF);
        combo->SetBackColour(0xC08020);
    }
    for (const char* t : blinds) m_blindsMode.AddString(t);
    for (const char* t : expand) m_expandMode.AddString(t);
    for (int i = 0; i < kSliderCount; ++i) {
        m_labels[i].SetFontName("楷体");
        m_labels[i].SetFontSize(12);
        char text[16];
        std::snprintf(text, sizeof text, kSliders[i].effect >= 13 ? "%d秒" : "%d", kSliders[i].first);
        m_labels[i].SetText(text);
    }
    return TRUE;
}

void CEffectParamDlg::Show(int index, int value) {
    m_sliders[index].SetPos(value);
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    m_labels[index].SetText(text);
}

void CEffectParamDlg::OnHScroll(UINT code, UINT position, CScrollBar* bar) {
    const int id = bar ? bar->GetDlgCtrlID() : 0;
    for (int i = 0; i < kSliderCount; ++i) {
        if (kSliders[i].slider != id) continue;
        const int value = m_sliders[i].GetPos();
        const SliderInfo& s = kSliders[i];
        table().with_slots([&](videofx::SlotTable& slots) {
            slots[videofx::slot_of(s.effect)].byte_params[s.param] = (uint8_t)value;
            return 0;
        });
        char text[16];
        std::snprintf(text, sizeof text, "%d", value);
        m_labels[i].SetText(text);
    }
    CSkinDialog::OnHScroll(code, position, bar);
}

void CEffectParamDlg::ControlsFromTable() {
    for (int i = 0; i < kSliderCount; ++i) {
        const SliderInfo& s = kSliders[i];
        Show(i, table().slot(videofx::slot_of(s.effect)).byte_params[s.param]);
    }
    m_blindsMode.SetCurSel(table().slot(videofx::slot_of(13)).byte_params[1]);
    m_expandMode.SetCurSel(table().slot(videofx::slot_of(14)).byte_params[1]);
}

void CEffectParamDlg::ResetControls() {
    for (int i = 0; i < kSliderCount; ++i) Show(i, kSliders[i].first);
}

void CEffectParamDlg::OnShowWindow(BOOL show, UINT status) {
    CSkinDialog::OnShowWindow(show, status);
    ControlsFromTable();
}

void CEffectParamDlg::OnBlindsMode() {
    const int sel = m_blindsMode.GetCurSel();
    table().with_slots([&](videofx::SlotTable& slots) {
        slots[videofx::slot_of(13)].byte_params[1] = (uint8_t)sel;
        return 0;
    });
}

void CEffectParamDlg::OnExpandMode() {
    const int sel = m_expandMode.GetCurSel();
    table().with_slots([&](videofx::SlotTable& slots) {
        slots[videofx::slot_of(14)].byte_params[1] = (uint8_t)sel;
        return 0;
    });
}
