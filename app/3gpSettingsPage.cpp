#include "3gpSettingsPage.h"
#include "afxdlgs.h"
#include "SettingsPageControls.h"
#include "UiColour.h"
#include "app/res/resource.h"
#include "app/res/settings_pages_res.h"
#include "app/settings/ini_file.h"
#include "base/program_folder.h"
#include "engine/main_window/main_window.h"
#include "engine/settings/settings.h"

using namespace settings_pages;

C3gpSettingsPage::C3gpSettingsPage() : CSkinDialog(IDD_3GP_PAGE) {}

BEGIN_MESSAGE_MAP(C3gpSettingsPage, CSkinDialog)
    ON_BN_CLICKED(IDC_3GP_FOLDER, OnChooseFolder)
    ON_BN_CLICKED(IDC_3GP_SAVE, OnSaveAll)
    ON_WM_HSCROLL()
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

void C3gpSettingsPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_3GP_FOLDER, m_btnFolder);
    DDX_Control(dx, IDC_3GP_SAVE, m_btnSave);
    DDX_Control(dx, IDC_3GP_MERGE, m_merge);
    DDX_Control(dx, IDC_3GP_SIZE, m_size);
    DDX_Control(dx, IDC_3GP_SIZE_ADJUST, m_sizeAdjust);
    DDX_Control(dx, IDC_3GP_AMR_RATE, m_amrRate);
    DDX_Control(dx, IDC_3GP_AMR_MONO, m_amrMono);
    DDX_Control(dx, IDC_3GP_KEYFRAME, m_keyframe);
    DDX_Control(dx, IDC_3GP_KEYFRAME_LABEL, m_keyframeLabel);
    DDX_Text(dx, IDC_3GP_OUT_DIR, m_model.out_dir);
    DDX_CBIndex(dx, IDC_3GP_MERGE, m_model.merge_mode);
    DDX_CBIndex(dx, IDC_3GP_SIZE, m_model.size_choice);
    DDX_CBIndex(dx, IDC_3GP_SIZE_ADJUST, m_model.size_adjust);
    DDX_CBIndex(dx, IDC_3GP_AMR_RATE, m_model.amr_rate);
    DDX_CBIndex(dx, IDC_3GP_AMR_MONO, m_model.amr_channel_mode);
    if (dx->m_bSaveAndValidate) m_model.keyframe_interval = m_keyframe.GetPos();
    else m_keyframe.SetPos(m_model.keyframe_interval);
}

BOOL C3gpSettingsPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetBackBitmap(129);
    EnableEasyMove(FALSE);
    name_page(*this, IDD_3GP_PAGE);
    m_model.load();
    m_model.was_shown = false;
    fill_combo(m_merge, merge_mode_items(), m_model.merge_mode);
    fill_combo(m_size, standard_size_items(), m_model.size_choice);
    fill_combo(m_sizeAdjust, size_adjust_items(), m_model.size_adjust);
    fill_combo(m_amrRate, amr_rate_items(), m_model.amr_rate);
    fill_combo(m_amrMono, mono_mode_items(), m_model.amr_channel_mode);
    m_keyframe.SetRange(Page3gpModel::kKeyframeMin, Page3gpModel::kKeyframeMax, TRUE);
    m_keyframe.SetPageSize(1);
    m_keyframe.SetThumbColour(0x00FFFF);
    m_keyframe.SetChannelColour(0xFF3737);
    m_keyframe.SetSelectionColour(0xFF3737);
    m_btnFolder.LoadIcons(IDI_FOLDER, 0);
    m_btnSave.LoadIcons(IDI_SAVE, 0);
    m_btnFolder.SetTooltipText("选择转换后保存的文件路径");
    m_btnSave.SetTooltipText("保存音频及视频配置参数");
    UpdateData(FALSE);
    ShowKeyframeLabel();
    ApplyUiColor();
    return TRUE;
}

void C3gpSettingsPage::ShowKeyframeLabel() {
    m_keyframeLabel.SetText(Page3gpModel::keyframe_label(m_keyframe.GetPos()).c_str());
}

void C3gpSettingsPage::ApplyUiColor() {
    const COLORREF ui = (COLORREF)cfg_ui_color;
    for (CSkinButton* b : {&m_btnFolder, &m_btnSave}) colour_button_faces(*b, ui);
    for (CSkinComboBox* c : {&m_merge, &m_size, &m_sizeAdjust, &m_amrRate, &m_amrMono}) colour_combo(*c, ui);
    m_keyframeLabel.SetBkColor(ui).SetTransparent(TRUE);
    if (m_hWnd) Invalidate();
}

void C3gpSettingsPage::OnChooseFolder() {
    CFileDialog dialog(FALSE, "3GP", "输出.3gp", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "3GP File (*.3GP)|*.3GP|All files (*.*)|*.*||", this);
    dialog.m_ofn.lpstrTitle = "3GP 文件保存路径选择";
    if (dialog.DoModal() == IDOK) {
        UpdateData(TRUE);
        m_model.choose_folder((const char*)dialog.GetPathName());
        UpdateData(FALSE);
    }
    Invalidate();
}

void C3gpSettingsPage::OnSaveAll() {
    if (HWND main = g_main_hwnd.load()) ::SendMessageA(main, WM_DLG_NOTIFY, 8889, 1);
}

void C3gpSettingsPage::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    ShowKeyframeLabel();
    CSkinDialog::OnHScroll(code, pos, bar);
}

void C3gpSettingsPage::OnShowWindow(BOOL, UINT) {
    Default();
    m_model.was_shown = true;
}

bool C3gpSettingsPage::SaveSettings(bool write) {
    if (!m_hWnd) return true;
    UpdateData(TRUE);
    IniSettingsStore store(program_folder());
    return accept_save(m_model.save(write, store));
}
