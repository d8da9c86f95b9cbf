#include "AviSettingsPage.h"
#include "SettingsPageControls.h"
#include "app/res/resource.h"
#include "app/res/settings_pages_res.h"
#include "app/settings/ini_file.h"
#include "base/program_folder.h"
#include "engine/settings/settings.h"

using namespace settings_pages;

CAviSettingsPage::CAviSettingsPage() : CSkinDialog(IDD_AVI_PAGE) {}

BEGIN_MESSAGE_MAP(CAviSettingsPage, CSkinDialog)
    ON_CBN_SELCHANGE(IDC_AVI_MP3_MODE, OnModeChange)
    ON_CBN_SELCHANGE(IDC_AVI_MP3_TYPE, OnCodingTypeChange)
    ON_CBN_SELCHANGE(IDC_AVI_MP3_CHANNELS, OnChannelsChange)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

void CAviSettingsPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_AVI_CODEC, m_codec);
    DDX_Control(dx, IDC_AVI_SIZE, m_size);
    DDX_Control(dx, IDC_AVI_SIZE_ADJUST, m_sizeAdjust);
    DDX_Control(dx, IDC_AVI_MP3_MODE, m_mode);
    DDX_Control(dx, IDC_AVI_MP3_TYPE, m_codingType);
    DDX_Control(dx, IDC_AVI_CBR, m_cbr);
    DDX_Control(dx, IDC_AVI_VBR_MIN, m_vbrMin);
    DDX_Control(dx, IDC_AVI_VBR_MAX, m_vbrMax);
    DDX_Control(dx, IDC_AVI_VBR_QUALITY, m_vbrQuality);
    DDX_Control(dx, IDC_AVI_MP3_CHANNELS, m_channels);
    DDX_Control(dx, IDC_AVI_MP3_MONO, m_mono);
    DDX_CBIndex(dx, IDC_AVI_CODEC, m_model.codec);
    DDX_CBIndex(dx, IDC_AVI_SIZE, m_model.size_choice);
    DDX_CBIndex(dx, IDC_AVI_SIZE_ADJUST, m_model.size_adjust);
    DDX_Text(dx, IDC_AVI_WIDTH, m_model.width);
    DDX_Text(dx, IDC_AVI_HEIGHT, m_model.height);
    DDX_CBIndex(dx, IDC_AVI_MP3_MODE, m_model.mode);
    DDX_Text(dx, IDC_AVI_SAMPLE_RATE, m_model.sample_rate);
    DDX_CBIndex(dx, IDC_AVI_MP3_TYPE, m_model.coding_type);
    DDX_CBIndex(dx, IDC_AVI_CBR, m_model.cbr);
    DDX_CBIndex(dx, IDC_AVI_VBR_MIN, m_model.vbr_min);
    DDX_CBIndex(dx, IDC_AVI_VBR_MAX, m_model.vbr_max);
    DDX_CBIndex(dx, IDC_AVI_VBR_QUALITY, m_model.vbr_quality);
    DDX_Text(dx, IDC_AVI_ABR, m_model.abr);
    DDX_CBIndex(dx, IDC_AVI_MP3_CHANNELS, m_model.channels);
    DDX_CBIndex(dx, IDC_AVI_MP3_MONO, m_model.channel_mode);
}

BOOL CAviSettingsPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetBackBitmap(129);
    EnableEasyMove(FALSE);
    name_page(*this, IDD_AVI_PAGE);
    m_model.load();
    m_model.was_shown = false;
    fill_combo(m_codec, video_codec_items(), m_model.codec);
    fill_combo(m_size, full_size_items(), m_model.size_choice);
    fill_combo(m_sizeAdjust, size_adjust_items(), m_model.size_adjust);
    fill_combo(m_mode, mp3_mode_items(), m_model.mode);
    fill_combo(m_codingType, mp3_coding_type_items(), m_model.coding_type);
    fill_combo(m_vbrQuality, mp3_vbr_quality_items(), m_model.vbr_quality);
    fill_combo(m_channels, channel_items(), m_model.channels);
    fill_combo(m_mono, mono_mode_items(), m_model.channel_mode);
    FillRates();
    UpdateData(FALSE);
    EnableCoding();
    m_mono.EnableWindow(m_model.channel_mode_enabled());
    ApplyUiColor();
    return TRUE;
}

void CAviSettingsPage::FillRates() {
    fill_combo(m_cbr, m_model.rate_items(), m_model.cbr);
    fill_combo(m_vbrMin, m_model.rate_items(), m_model.vbr_min);
    fill_combo(m_vbrMax, m_model.rate_items(), m_model.vbr_max);
}

void CAviSettingsPage::EnableCoding() {
    const PageAviModel::Enabling on = m_model.enabling();
    m_cbr.EnableWindow(on.cbr);
    m_vbrQuality.EnableWindow(on.vbr_quality);
    m_vbrMin.EnableWindow(on.vbr_min);
    m_vbrMax.EnableWindow(on.vbr_max);
    if (CWnd* abr = GetDlgItem(IDC_AVI_ABR)) abr->EnableWindow(on.abr);
}

void CAviSettingsPage::ApplyUiColor() {
    const COLORREF ui = (COLORREF)cfg_ui_color;
    for (CSkinComboBox* c : {&m_codec, &m_size, &m_sizeAdjust, &m_mode, &m_codingType, &m_cbr, &m_vbrMin, &m_vbrMax,
                             &m_vbrQuality, &m_channels, &m_mono})
        colour_combo(*c, ui);
    if (m_hWnd) Invalidate();
}

void CAviSettingsPage::OnModeChange() {
    UpdateData(TRUE);
    m_model.mode_changed();
    FillRates();
    UpdateData(FALSE);
}

void CAviSettingsPage::OnCodingTypeChange() {
    m_model.coding_type = m_codingType.GetCurSel();
    EnableCoding();
}

void CAviSettingsPage::OnChannelsChange() {
    m_model.channels = m_channels.GetCurSel();
    m_mono.EnableWindow(m_model.channel_mode_enabled());
}

void CAviSettingsPage::OnShowWindow(BOOL, UINT) {
    Default();
    m_model.was_shown = true;
}

bool CAviSettingsPage::SaveSettings(bool write) {
    if (!m_hWnd) return true;
    UpdateData(TRUE);
    IniSettingsStore store(program_folder());
    return accept_save(m_model.save(write, store));
}
