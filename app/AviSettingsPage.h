// The AVI page of the main dialog's tab control (dialog 149): video codec and frame size for the run,
// and MP3 sound (mode, coding type and its rates, channels).
#pragma once
#include "app/pages/page_models.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/skin/SkinDialog.h"

class CAviSettingsPage : public CSkinDialog {
public:
    CAviSettingsPage();
    // As C3gpSettingsPage::SaveSettings; refuses a VBR maximum below the minimum and an ABR rate
    // outside 80..320.
    bool SaveSettings(bool write);
    void ApplyUiColor();
    settings_pages::PageAviModel m_model;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnModeChange();
    afx_msg void OnCodingTypeChange();
    afx_msg void OnChannelsChange();
    afx_msg void OnShowWindow(BOOL show, UINT status);
    DECLARE_MESSAGE_MAP()

private:
    void FillRates();
    void EnableCoding();
    CSkinComboBox m_codec, m_size, m_sizeAdjust, m_mode, m_codingType, m_cbr, m_vbrMin, m_vbrMax, m_vbrQuality, m_channels,
        m_mono;
};
