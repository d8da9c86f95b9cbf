// The MP4 page of the main dialog's tab control (dialog 179): video codec, frame size, custom width and
// height, and AAC sound.
#pragma once
#include "app/pages/page_models.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/skin/SkinDialog.h"

class CMp4SettingsPage : public CSkinDialog {
public:
    CMp4SettingsPage();
    // As C3gpSettingsPage::SaveSettings; refuses a width or height outside 10..1000.
    bool SaveSettings(bool write);
    void ApplyUiColor();
    settings_pages::PageMp4Model m_model;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnCodecChange();
    afx_msg void OnChannelsChange();
    afx_msg void OnShowWindow(BOOL show, UINT status);
    DECLARE_MESSAGE_MAP()

private:
    CSkinComboBox m_codec, m_size, m_sizeAdjust, m_aacType, m_aacBitrate, m_aacRate, m_aacQuality, m_channels, m_mono;
};
