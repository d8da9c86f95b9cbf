// The 3GP page of the main dialog's tab control (dialog 148): output folder, merge mode, key-frame
// interval, 3GP frame size and AMR sound. Its Save button asks the main dialog to save every page.
#pragma once
#include "app/pages/page_models.h"
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/skin/SkinDialog.h"
#include "controls/slider/SkinSliderCtrl.h"

class C3gpSettingsPage : public CSkinDialog {
public:
    C3gpSettingsPage();
    // Copies the controls into the settings, and writes their keys when `write`; nothing when the page
    // was never shown. True unless the page refused.
    bool SaveSettings(bool write);
    void ApplyUiColor();
    settings_pages::Page3gpModel m_model;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnChooseFolder();
    afx_msg void OnSaveAll();
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    DECLARE_MESSAGE_MAP()

private:
    void ShowKeyframeLabel();
    CSkinButton m_btnFolder, m_btnSave;
    CSkinComboBox m_merge, m_size, m_sizeAdjust, m_amrRate, m_amrMono;
    CSkinSliderCtrl m_keyframe;
    CSkinLabel m_keyframeLabel;
};
