#include "Mp4SettingsPage.h"
#include "SettingsPageControls.h"
#include "app/res/resource.h"
#include "app/res/settings_pages_res.h"
#include "app/settings/ini_file.h"
#include "base/program_folder.h"
#include "engine/settings/settings.h"

using namespace settings_pages;

CMp4SettingsPage::CMp4SettingsPage() : CSkinDialog(IDD_MP4_PAGE) {}

BEGIN_MESSAGE_MAP(CMp4SettingsPage, CSkinDialog)
    ON_CBN_SELCHANGE(IDC_MP4_CODEC, OnCodecChange)
    ON_CBN_SELCHANGE(IDC_MP4_AAC_CHANNELS, OnChannelsChange)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

void CMp4SettingsPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_MP4_CODEC, m_codec);
    DDX_Control(dx, IDC_MP4_SIZE, m_size);
    DDX_Control(dx, IDC_MP4_SIZE_ADJUST, m_sizeAdjust);
    DDX_Control(dx, IDC_MP4_AAC_TYPE, m_aacType);
    DDX_Control(dx, IDC_MP4_AAC_BITRATE, m_aacBitrate);
    DDX_Control(dx, IDC_MP4_AAC_RATE, m_aacRate);
    DDX_Control(dx, IDC_MP4_AAC_QUALITY, m_aacQuality);
    DDX_Control(dx, IDC_MP4_AAC_CHANNELS, m_channels);
    DDX_Control(dx, IDC_MP4_AAC_MONO, m_mono);
    DDX_CBIndex(dx, IDC_MP4_CODEC, m_model.codec);
    DDX_CBIndex(dx, IDC_MP4_SIZE, m_model.size_choice);
    DDX_CBIndex(dx, IDC_MP4_SIZE_ADJUST, m_model.size_adjust);
    DDX_Text(dx, IDC_MP4_WIDTH, m_model.width);
    DDX_Text(dx, IDC_MP4_HEIGHT, m_model.height);
    DDX_CBIndex(dx, IDC_MP4_AAC_TYPE, m_model.aac_type);
    DDX_CBIndex(dx, IDC_MP4_AAC_BITRATE, m_model.aac_bitrate);
    DDX_CBIndex(dx, IDC_MP4_AAC_RATE, m_model.aac_sample_rate);
    DDX_CBIndex(dx, IDC_MP4_AAC_QUALITY, m_model.aac_quality);
    DDX_CBIndex(dx, IDC_MP4_AAC_CHANNELS, m_model.channels);
    DDX_CBIndex(dx, IDC_MP4_AAC_MONO, m_model.channel_mode);
}

BOOL CMp4SettingsPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetBackBitmap(129);
    EnableEasyMove(FALSE);
    name_page(*this, IDD_MP4_PAGE);
    m_model.load();
    m_model.was_shown = false;
    fill_combo(m_codec, video_codec_items(), m_model.codec);
    fill_combo(m_size, m_model.size_items(), m_model.size_choice);
    fill_combo(m_sizeAdjust, size_adjust_items(), m_model.size_adjust);
    fill_combo(m_aacType, aac_type_items(), m_model.aac_type);
    fill_combo(m_aacBitrate, aac_bitrate_items(), m_model.aac_bitrate);
    fill_combo(m_aacRate, aac_sample_rate_items(), m_model.aac_sample_rate);
    fill_combo(m_aacQuality, aac_quality_items(), m_model.aac_quality);
    fill_combo(m_channels, channel_items(), m_model.channels);
    fill_combo(m_mono, mono_mode_items(), m_model.channel_mode);
    UpdateData(FALSE);
    m_mono.EnableWindow(m_model.channel_mode_enabled());
    ApplyUiColor();
    return TRUE;
}

void CMp4SettingsPage::ApplyUiColor() {
    const COLORREF ui = (COLORREF)cfg_ui_color;
    for (CSkinComboBox* c : {&m_codec, &m_size, &m_sizeAdjust, &m_aacType, &m_aacBitrate, &m_aacRate, &m_aacQuality,
                             &m_channels, &m_mono})
        colour_combo(*c, ui);
    if (m_hWnd) Invalidate();
}

void CMp4SettingsPage::OnCodecChange() {
    UpdateData(TRUE);
    m_model.codec_changed();
    fill_combo(m_size, m_model.size_items(), m_model.size_choice);
}

void CMp4SettingsPage::OnChannelsChange() {
    m_model.channels = m_channels.GetCurSel();
    m_mono.EnableWindow(m_model.channel_mode_enabled());
}

void CMp4SettingsPage::OnShowWindow(BOOL, UINT) {
    Default();
    m_model.was_shown = true;
}

bool CMp4SettingsPage::SaveSettings(bool write) {
    if (!m_hWnd) return true;
    UpdateData(TRUE);
    IniSettingsStore store(program_folder());
    return accept_save(m_model.save(write, store));
}
