// The six pages of the effects window but the about page: the equaliser, the chain and the three pages
// of effect parameters.
#pragma once
#include <vector>
#include "afxwin.h"
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/list/SkinListCtrl.h"
#include "controls/skin/SkinDialog.h"
#include "controls/tip/BalloonTip.h"
#include "soundfx/core/eq_preset_table.h"
#include "soundfx/window/SkinSliderCtrl.h"
#include "soundfx/window/TextureButton.h"

// The pages' common ground: skinned background, the slider members by id, label colours by group.
class CEffectsPage : public CSkinDialog {
public:
    CEffectsPage(UINT id, int page, CWnd* parent);
    ~CEffectsPage() override;
    // Every slider from the state (the pages' refresh, also on show and hide).
    void RefreshFromState();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT type);
    DECLARE_MESSAGE_MAP()

    struct Group {
        int group, first_label, last_label;
        COLORREF label, channel;
        std::vector<int> sliders;
        int extra_labels[8];
    };
    virtual const std::vector<Group>& Groups() const = 0;
    virtual void RefreshExtras() {}
    virtual void OnExtraCommand(int, int) {}
    CSkinSliderCtrl* Slider(int id);
    void DefaultButton(int id);

    int m_page;
    CBrush m_brush;
    std::vector<std::pair<int, CSkinSliderCtrl*>> m_sliders;
    std::vector<std::pair<int, CSkinButton*>> m_buttons;
};

class CEffectsPage1 : public CEffectsPage {
public:
    explicit CEffectsPage1(CWnd* parent = nullptr);
    ~CEffectsPage1() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const std::vector<Group>& Groups() const override;
    void RefreshExtras() override;
    void OnExtraCommand(int id, int code) override;
    BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;
    CComboBox m_shape;
};

class CEffectsPage2 : public CEffectsPage {
public:
    explicit CEffectsPage2(CWnd* parent = nullptr);
    ~CEffectsPage2() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const std::vector<Group>& Groups() const override;
    void RefreshExtras() override;
    void OnExtraCommand(int id, int code) override;
    CSkinButton m_lowPass;
};

class CEffectsPage3 : public CEffectsPage {
public:
    explicit CEffectsPage3(CWnd* parent = nullptr);
    ~CEffectsPage3() override;

protected:
    const std::vector<Group>& Groups() const override;
};

class CEqualizerPage : public CSkinDialog {
public:
    explicit CEqualizerPage(CWnd* parent = nullptr);
    ~CEqualizerPage() override;
    void LayoutBands();
    void RefreshFromState();
    // The page shows the engine's equaliser page state (a record put in place, tolmmix_set).
    void ShowEngineState();
    soundfx::EqPresetTable& Presets() { return m_presets; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnBands10();
    afx_msg void OnBands15();
    afx_msg void OnBands25();
    afx_msg void OnBands31();
    afx_msg void OnSecondLevel();
    afx_msg void OnPresetSelChange();
    afx_msg void OnSavePreset();
    afx_msg void OnDeletePreset();
    DECLARE_MESSAGE_MAP()

    void ChooseBands(int n);
    void FillCombo();
    void ApplyPreset(int slot);
    int SliderId(int band) const { return band == 0 ? 3068 : 3003 + 2 * band; }
    int LabelId(int band) const { return 3004 + 2 * band; }

    soundfx::EqPresetTable m_presets;
    CSkinSliderCtrl m_pregain;
    CSkinButton m_linked, m_secondLevel;
    CTextureButton m_bands10, m_bands15;
    CSkinButton m_bands25, m_bands31;
    CSkinComboBox m_combo;
    CSkinButton m_save, m_delete;
    CSkinLabel m_scale[6], m_pregainLabel, m_frame;
    CSkinLabel m_bandLabels[31];
    CSkinSliderCtrl m_bandSliders[31];
    CBalloonTip m_tip;
    int m_nBandCount = 10;
    int m_nSliderWidth = 0, m_nSliderHeight = 0;
    int m_gainDb[32] = {};
    CBrush m_brush;
};

class CSoundChainPage : public CSkinDialog {
public:
    explicit CSoundChainPage(CWnd* parent = nullptr);
    ~CSoundChainPage() override;
    // Buttons from the on bytes; the 16 rows in id order, each looking as its effect's on byte says.
    void RefreshFromState();
    // The rows become the processing order's ids (a record put in place); each row keeps its look.
    void ShowOrder();
    // The echo and equaliser toggles follow their on bytes (tolmmix_setecho, tolmmix_setiir).
    void SyncToggles();
    void LayoutHostButtons(int mode, bool from_setdisp);
    CSkinListCtrl m_list;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg void OnMoveUp();
    afx_msg void OnMoveDown();
    afx_msg void OnListClick(NMHDR* hdr, LRESULT* result);
    afx_msg void OnLoad();
    afx_msg void OnSave();
    afx_msg void OnPlay();
    afx_msg void OnStop();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT type);
    DECLARE_MESSAGE_MAP()

    void Toggle(int id);
    void InsertRow(int row, int id);
    void PaintRow(int row, int id, bool on);
    void StoreOrder();
    void Notify(int code, bool hide);

    CSkinButton m_toggles[16];
    CSkinButton m_up, m_down, m_load, m_saveHost, m_play, m_stop;
    CSkinLabel m_title, m_strip, m_grid, m_arrows;
    int m_nSelected = -1;
    CBrush m_brush;
};
