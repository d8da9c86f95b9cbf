// The graphic equaliser page: band sliders for 10, 15, 25 or 31 bands, linked tuning, pre-gain,
// second level and named presets kept in "tolmeqset.eq".
#include <algorithm>
#include <cmath>
#include <cstring>
#include "soundfx/core/eq_tables.h"
#include "soundfx/core/slider_map.h"
#include "soundfx/olumbra_shell.h"
#include "soundfx/window/Pages.h"
#include "soundfx/window/SoundFxDlg.h"

using soundfx::EngineState;
namespace slider = soundfx::slider;

BEGIN_MESSAGE_MAP(CEqualizerPage, CSkinDialog)
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_BN_CLICKED(3069, OnBands10)
    ON_BN_CLICKED(3070, OnBands15)
    ON_BN_CLICKED(3071, OnBands25)
    ON_BN_CLICKED(3072, OnBands31)
    ON_BN_CLICKED(3073, OnSecondLevel)
    ON_CBN_SELCHANGE(3081, OnPresetSelChange)
    ON_BN_CLICKED(3082, OnSavePreset)
    ON_BN_CLICKED(3083, OnDeletePreset)
END_MESSAGE_MAP()

namespace {

// Gain of every channel of a band (band -1: the pre-gain).
void set_band_gain(EngineState& s, double db, int band) {
    for (int c = 0; c < 2; ++c) s.effects.eq.set_band_gain(db, band, c);
}

}  // namespace

CEqualizerPage::CEqualizerPage(CWnd* parent) : CSkinDialog(3001, parent) {}
CEqualizerPage::~CEqualizerPage() = default;

void CEqualizerPage::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, 3087, m_pregain);
    DDX_Control(dx, 3084, m_linked);
    DDX_Control(dx, 3073, m_secondLevel);
    DDX_Control(dx, 3069, m_bands10);
    DDX_Control(dx, 3070, m_bands15);
    DDX_Control(dx, 3071, m_bands25);
    DDX_Control(dx, 3072, m_bands31);
    DDX_Control(dx, 3081, m_combo);
    DDX_Control(dx, 3082, m_save);
    DDX_Control(dx, 3083, m_delete);
    for (int i = 0; i < 6; ++i) DDX_Control(dx, 3075 + i, m_scale[i]);
    DDX_Control(dx, 3095, m_pregainLabel);
    DDX_Control(dx, 3003, m_frame);
    for (int k = 0; k < 31; ++k) {
        DDX_Control(dx, SliderId(k), m_bandSliders[k]);
        DDX_Control(dx, LabelId(k), m_bandLabels[k]);
    }
}

BOOL CEqualizerPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetBackBitmap(3005);
    EnableEasyMove(TRUE);
    m_brush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    m_nBandCount = olumbra::engine().edit([](EngineState& s) { return s.effects.eq.band_count(); });
    RECT r;
    m_bandSliders[0].GetWindowRect(&r);
    m_nSliderWidth = r.right - r.left + 4;
    m_nSliderHeight = r.bottom - r.top;

    m_save.LoadIcons(3012, 0);
    m_delete.LoadIcons(3011, 0);
    for (CSkinButton* b : {&m_save, &m_delete}) b->OffsetColour(0, 30);
    m_save.SetTooltipText("保存");
    for (CSkinButton* b : {&m_secondLevel, &m_linked}) {
        b->LoadIcons(3019, 3020);
        b->OffsetColour(0, 30);
        b->SetColour(1, 0x0000FF);
        b->SetColour(3, 0xFF0000);
        b->SetPressed(FALSE);
    }
    m_pregain.SetRange(0, 24);
    m_pregain.SetPos(12);
    m_pregain.SetSelection(6, 18);
    m_pregain.SetThumbColour(0x18E8E8);
    m_pregain.SetSelectionColour(0xF22017);
    m_pregain.SetChannelColour(0x18E820);
    m_pregain.m_bMarksAcross = 1;

    CSkinButton* bands[4] = {&m_bands10, &m_bands15, &m_bands25, &m_bands31};
    for (CSkinButton* b : bands) {
        b->LoadIcons(3002, 3003);
        b->OffsetColour(0, 30);
        b->SetColour(1, 0x0000FF);
        b->SetColour(3, 0xFF0000);
        b->SetPressed(FALSE);
    }
    m_bands10.GenerateTexture(7, 30, 60, 20, 0xC49B05);
    m_bands15.GenerateTexture(7, 30, 60, 20, 0xC49B05);
    m_bands10.SetPressed(TRUE);

    m_frame.SetBkColor(0x082008);
    m_frame.m_nBackStyle = 6;
    for (CSkinLabel& l : m_bandLabels) l.SetFontName("楷体").SetTransparent(TRUE).SetFontSize(10);
    const COLORREF scale_colours[6] = {0x00FF00, 0xFF0000, 0x0000FF, 0x00FF00, 0xFF0000, 0x0000FF};
    for (int i = 0; i < 6; ++i) m_scale[i].SetFontName("楷体").SetTransparent(TRUE).SetFontSize(12).SetTextColor(scale_colours[i]);
    m_pregainLabel.SetTextColor(0xC02020).SetTransparent(TRUE);

    m_presets.load(olumbra::preset_path());
    FillCombo();
    std::fill(std::begin(m_gainDb), std::end(m_gainDb), 0);
    LayoutBands();
    if (m_tip.Create(this)) {
        HICON icon = (HICON)::LoadImageA(AfxFindResourceHandle(MAKEINTRESOURCEA(3024), (LPCSTR)RT_GROUP_ICON),
                                         MAKEINTRESOURCEA(3024), IMAGE_ICON, 16, 16, 0);
        m_tip.AddTool(&m_combo, "请通过下拉框选择转换方式 快速转换时无视频显示和无声音", icon);
    }
    return TRUE;
}

BOOL CEqualizerPage::PreTranslateMessage(MSG* msg) {
    if (m_tip.m_hWnd) m_tip.RelayEvent(msg);
    return CSkinDialog::PreTranslateMessage(msg);
}

void CEqualizerPage::FillCombo() {
    // The skinned combo keeps the item texts itself: both lists are emptied, or a refill would draw
    // the old names over the new items.
    m_combo.ClearItems();
    m_combo.ResetContent();
    for (int i = 0;; ++i) {
        const int slot = m_presets.nth_with_bands(i, m_nBandCount);
        if (slot < 0) break;
        m_combo.AddString(m_presets.at(slot).name);
    }
    m_combo.SetCurSel(0);
}

void CEqualizerPage::LayoutBands() {
    const int n = std::clamp(m_nBandCount, 10, 31);
    const int rate = olumbra::engine().edit([](EngineState& s) { return s.format.rate; });
    for (int k = 9; k < 31; ++k) {
        m_bandSliders[k].ShowWindow(SW_HIDE);
        m_bandSliders[k].EnableWindow(FALSE);
        m_bandLabels[k].ShowWindow(SW_HIDE);
    }
    for (int i = 3; i < 6; ++i) m_scale[i].ShowWindow(SW_HIDE);
    m_bands10.EnableWindow(TRUE);
    for (CSkinButton* b : {(CSkinButton*)&m_bands15, &m_bands25, &m_bands31}) b->EnableWindow(rate >= 44100);

    RECT a;
    m_frame.GetWindowRect(&a);
    ScreenToClient(&a);
    const int aw = a.right - a.left, ah = a.bottom - a.top;
    int W = m_nSliderWidth, H = m_nSliderHeight;
    if (n == 10) W += 4, H += 26;
    RECT lr;
    m_bandLabels[0].GetWindowRect(&lr);
    const int LW = lr.right - lr.left, LH = lr.bottom - lr.top;
    int columns, y0, pitch, x0;
    if (n > 24) {
        const int m = n == 25 ? 20 : 15;
        columns = n == 25 ? 13 : 16;
        y0 = (ah - 2 * LH - 2 * H) / 2 + a.top;
        pitch = (aw - 2 * m) / columns;
        x0 = a.left + pitch / 2 + m;
    } else {
        const int m = n < 15 ? 20 : 15;
        columns = n;
        y0 = (ah - LH - H) / 2 + a.top;
        pitch = (aw - 2 * m) / n;
        x0 = a.left + pitch / 4 + m;
    }
    m_scale[2].MoveWindow(8, y0 + 4, 20, 12);
    m_scale[1].MoveWindow(8, y0 + H / 2 - 6, 20, 12);
    m_scale[0].MoveWindow(8, y0 + H - 12, 20, 12);
    if (n > 15) {
        m_scale[5].MoveWindow(8, y0 + LH + H + 4, 20, 12);
        m_scale[4].MoveWindow(8, y0 + H / 2 + LH + H - 6, 20, 12);
        m_scale[3].MoveWindow(8, y0 + 2 * H + LH - 12, 20, 12);
        for (int i = 3; i < 6; ++i) m_scale[i].ShowWindow(SW_SHOW);
    }
    const soundfx::EqBand* table = soundfx::eq_table(rate == 48000 ? 48000 : 44100, n);
    int low = 0, mid = 0, high = 0, top = 0;
    for (int k = 0; k < n; ++k) {
        const float f = table ? table[k].freq : 1000.0f;
        COLORREF label, selection, channel;
        if (f < 800) {
            label = 0x20FF20;
            selection = RGB((60 - low) & 0xFF, (60 - low) & 0xFF, 255);
            channel = RGB((60 - low) & 0xFF, 255, (60 - low) & 0xFF);
            low += 4;
        } else if (f < 4000) {
            label = 0xFF0000;
            selection = RGB(255, (60 - mid) & 0xFF, (60 - mid) & 0xFF);
            channel = RGB((90 - mid) & 0xFF, (90 - mid) & 0xFF, 255);
            mid += 10;
        } else if (f < 8000) {
            label = 0x0000FF;
            selection = RGB((90 - high) & 0xFF, 255, (90 - high) & 0xFF);
            channel = RGB(255, (90 - high) & 0xFF, (90 - high) & 0xFF);
            high += 10;
        } else {
            label = 0xFFFFFF;
            selection = RGB((60 - top) & 0xFF, 225, 225);
            channel = RGB((225 - top) & 0xFF, (225 - top) & 0xFF, (225 - top) & 0xFF);
            top += 10;
        }
        CSkinSliderCtrl& s = m_bandSliders[k];
        s.SetRange(0, 50);
        s.SetPos(25);
        s.SetSelection(15, 35);
        s.SetThumbColour(0x00FFFF);
        s.SetSelectionColour(selection);
        s.SetChannelColour(channel);
        const bool second_row = n > 24 && k >= columns;
        const int column = second_row ? k - columns : k;
        const int sy = second_row ? y0 + LH + H : y0;
        s.MoveWindow(x0 + column * pitch, sy, W, H);
        m_bandLabels[k].SetTextColor(label);
        m_bandLabels[k].MoveWindow(x0 + column * pitch - (LW - W) / 3 - 2, second_row ? y0 + 2 * H + LH - 4 : y0 + H - 4,
                                   LW, LH);
        m_bandLabels[k].SetText(table ? table[k].label : "");
        s.EnableWindow(TRUE);
        s.ShowWindow(SW_SHOW);
        s.DropBackground();
        m_bandLabels[k].ShowWindow(SW_SHOW);
    }
    std::fill(std::begin(m_gainDb), std::end(m_gainDb), 0);
    olumbra::engine().edit([&](EngineState& s) {
        s.eq_page.band_count = n;
        for (int k = 0; k < 31; ++k) s.eq_page.band_position[k] = 25;
        return 0;
    });
    Invalidate();
}

void CEqualizerPage::OnVScroll(UINT, UINT, CScrollBar* bar) {
    if (!bar) return;
    const int id = ::GetDlgCtrlID(bar->m_hWnd);
    int k = -1;
    for (int b = 0; b < 31; ++b)
        if (SliderId(b) == id) k = b;
    if (k < 0 || k >= m_nBandCount) return;
    const int p = m_bandSliders[k].GetPos();
    const bool linked = m_linked.IsPressed() != FALSE;
    int positions[31];
    for (int b = 0; b < 31; ++b) positions[b] = -1;
    olumbra::engine().edit([&](EngineState& s) {
        if (!linked) {
            const float g = slider::band_gain(p);
            set_band_gain(s, g, k);
            m_gainDb[k] = int(g);
        } else {
            const slider::LinkedTuning t = slider::linked_tuning(m_gainDb, m_nBandCount, k, p);
            for (int b = 0; b < m_nBandCount; ++b) {
                if (!std::isnan(t.gain[b])) set_band_gain(s, t.gain[b], b);
                positions[b] = t.position[b];
            }
        }
        s.eq_page.band_position[k] = p;
        for (int b = 0; b < 31; ++b)
            if (b != k && positions[b] >= 0) s.eq_page.band_position[b] = positions[b];
        return 0;
    });
    for (int b = 0; b < m_nBandCount; ++b)
        if (b != k && positions[b] >= 0) m_bandSliders[b].SetPos(positions[b]);
}

void CEqualizerPage::OnHScroll(UINT, UINT, CScrollBar* bar) {
    if (!bar || ::GetDlgCtrlID(bar->m_hWnd) != 3087) return;
    const int p = m_pregain.GetPos();
    olumbra::engine().edit([&](EngineState& s) {
        set_band_gain(s, slider::pregain_db(p), -1);
        s.eq_page.pregain_position = p;
        return 0;
    });
}

void CEqualizerPage::ChooseBands(int n) {
    m_nBandCount = n;
    olumbra::engine().edit([&](EngineState& s) {
        s.effects.eq.set_band_count(n);
        return 0;
    });
    m_bands10.SetPressed(n == 10);
    m_bands15.SetPressed(n == 15);
    m_bands25.SetPressed(n == 25);
    m_bands31.SetPressed(n == 31);
    FillCombo();
    LayoutBands();
}

void CEqualizerPage::OnBands10() { ChooseBands(10); }
void CEqualizerPage::OnBands15() { ChooseBands(15); }
void CEqualizerPage::OnBands25() { ChooseBands(25); }
void CEqualizerPage::OnBands31() { ChooseBands(31); }

void CEqualizerPage::OnSecondLevel() {
    const bool on = m_secondLevel.IsPressed() != FALSE;
    olumbra::engine().edit([&](EngineState& s) {
        s.effects.eq.second_level = on;
        return 0;
    });
    Invalidate();
}

void CEqualizerPage::ApplyPreset(int slot) {
    if (slot < 0) slot = 0;
    const soundfx::EqPreset& preset = m_presets.at(slot);
    const int bands = std::clamp<int>(preset.band_count, 0, 31);
    olumbra::engine().edit([&](EngineState& s) {
        for (int b = 0; b < bands; ++b) {
            set_band_gain(s, preset.gains[b], b);
            s.eq_page.band_position[b] = slider::band_position(preset.gains[b]);
        }
        std::memcpy(s.eq_page.preset_name, preset.name, sizeof s.eq_page.preset_name);
        return 0;
    });
    for (int b = 0; b < bands; ++b) {
        m_gainDb[b] = preset.gains[b];
        m_bandSliders[b].SetPos(slider::band_position(preset.gains[b]));
    }
    Invalidate();
}

void CEqualizerPage::OnPresetSelChange() {
    int slot = m_presets.nth_with_bands(m_combo.GetCurSel(), m_nBandCount);
    if (slot < 0) {
        m_combo.SetCurSel(0);
        slot = 0;
    }
    ApplyPreset(slot);
}

void CEqualizerPage::OnSavePreset() {
    const int current = m_presets.nth_with_bands(m_combo.GetCurSel(), m_nBandCount);
    CPresetSaveDlg dlg(this, current >= 0 ? m_presets.at(current).name : "", &m_presets);
    dlg.DoModal();
    if (dlg.m_nSaved != 1) return;
    int gains[31];
    for (int b = 0; b < 31; ++b) gains[b] = int(20 - 0.8 * m_bandSliders[b].GetPos());
    int slot = -1;
    const auto result = m_presets.add(std::string(dlg.m_strName), m_nBandCount, gains, &slot);
    if (result == soundfx::EqPresetTable::AddResult::Full) {
        MessageBox("音效模式已满，无法保存", "音效保存", MB_OK | MB_ICONWARNING);
        return;
    }
    if (result != soundfx::EqPresetTable::AddResult::Added) return;
    m_combo.AddString(m_presets.at(slot).name);
    m_combo.SetCurSel(m_combo.GetCount() - 1);
    m_presets.save(olumbra::preset_path());
}

void CEqualizerPage::OnDeletePreset() {
    const int index = m_combo.GetCurSel();
    if (index < 0) return;
    const int slot = m_presets.nth_with_bands(index, m_nBandCount);
    if (slot < 0) return;
    if (m_presets.at(slot).builtin) {
        MessageBox("内置音效，无法删除", "音效删除", MB_OK);
        return;
    }
    char question[128];
    snprintf(question, sizeof question, "确认删除音效%s 吗", m_presets.at(slot).name);
    if (MessageBox(question, "音效删除", MB_YESNO) != IDYES) return;
    m_presets.remove(slot);
    // The list is filled again: the combo's own texts follow only a whole refill.
    FillCombo();
    m_presets.save(olumbra::preset_path());
    ApplyPreset(m_presets.nth_with_bands(0, m_nBandCount));
}

void CEqualizerPage::RefreshFromState() {
    if (!m_hWnd) return;
    m_secondLevel.SetPressed(FALSE);
    m_linked.SetPressed(FALSE);
    m_pregain.SetPos(12);
    std::fill(std::begin(m_gainDb), std::end(m_gainDb), 0);
    const int rate = olumbra::engine().edit([](EngineState& s) { return s.rate_in; });
    const bool eq_rate = rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000;
    // The equaliser is reset only at the rates it runs at; elsewhere it keeps its curve.
    if (!eq_rate) return;
    m_nBandCount = 10;
    olumbra::engine().edit([](EngineState& s) {
        s.effects.eq.set_band_count(10);
        s.eq_page.reset();
        return 0;
    });
    m_bands10.SetPressed(TRUE);
    m_bands15.SetPressed(FALSE);
    m_bands25.SetPressed(FALSE);
    m_bands31.SetPressed(FALSE);
    FillCombo();
    LayoutBands();
}

void CEqualizerPage::ShowEngineState() {
    if (!m_hWnd) return;
    soundfx::EqPageState page;
    olumbra::engine().edit([&](EngineState& s) {
        page = s.eq_page;
        return 0;
    });
    if (page.band_count != m_nBandCount) {
        m_nBandCount = page.band_count;
        m_bands10.SetPressed(m_nBandCount == 10);
        m_bands15.SetPressed(m_nBandCount == 15);
        m_bands25.SetPressed(m_nBandCount == 25);
        m_bands31.SetPressed(m_nBandCount == 31);
        FillCombo();
        LayoutBands();
        olumbra::engine().edit([&](EngineState& s) {
            s.eq_page = page;
            return 0;
        });
    }
    for (int b = 0; b < 31; ++b) {
        m_bandSliders[b].SetPos(page.band_position[b]);
        m_gainDb[b] = slider::band_gain_stored(page.band_position[b]);
    }
    m_pregain.SetPos(page.pregain_position);
    const int index = [&] {
        for (int i = 0;; ++i) {
            const int slot = m_presets.nth_with_bands(i, m_nBandCount);
            if (slot < 0) return 0;
            if (std::strcmp(m_presets.at(slot).name, page.preset_name) == 0) return i;
        }
    }();
    m_combo.SetCurSel(index);
}
