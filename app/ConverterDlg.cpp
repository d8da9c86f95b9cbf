#include "ConverterDlg.h"
#include <objbase.h>
#include <ole2.h>
#include <htmlhelp.h>
#include <cstdio>
#include <cstring>
#include <vector>
#include "AboutDlg.h"
#include "afxdlgs.h"
#include "ColorSetDlg.h"
#include "app/analysis/AnalyzeDlg.h"
#include "Shortcuts.h"
#include "UiColour.h"
#include "WaveScopeThread.h"
#include "app/timeline/win32/myeditview.h"
#include "app/core/h264_bridge.h"
#include "app/core/list_cells.h"
#include "app/core/segment_loader.h"
#include "app/jobs/list_view_rows.h"
#include "app/res/resource.h"
#include "app/settings/ini_file.h"
#include "base/program_folder.h"
#include "controls/res/skin_res.h"
#include "controls/skin/SkinDraw.h"
#include "engine/audio/scope_bell.h"
#include "engine/convert/win32/convert_thread.h"
#include "engine/input/win32/program_input_calls.h"
#include "engine/main_window/main_window.h"
#include "engine/play/win32/play_thread.h"
#include "engine/outside/win32/program_calls.h"
#include "engine/settings/settings.h"
#include "engine/state/effects_switch.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "media/binders/binders.h"
#include "media/probe/probe_media_file.h"

namespace {

const UINT kClockTimer = 1000;
const char kCaption[] = "Orvane多媒体MP4转换器";
const char kAddCaption[] = "多媒体文件增加";
const char kRemoveCaption[] = "多媒体文件记录删除";
const char kSaveCaption[] = "多媒体文件记录保存";
const char kWebAddress[] = "http://www.delmora.example/";
const char kMailAddress[] = "mailto:support@delmora.example";
constexpr DWORD kExitWaitMs = 10000;

int ask(HWND owner, const char* text, const char* caption, UINT type) {
    return AfxShowMessageBox(owner, text, caption, type);
}

}  // namespace

std::string program_file(const char* name) { return program_folder() + "\\" + name; }

MediaFile* CConverterDlg::DialogUi::file_row(int file_index) {
    FileTable& files = m_dlg.m_files;
    return file_index >= 0 && file_index < files.count() ? &files.row(file_index) : nullptr;
}

CConverterDlg::CConverterDlg(CWnd* parent)
    : CSkinDialog(IDD_CONVERTER_DIALOG, parent), m_ui(*this), m_jobs(std::make_unique<JobTable>()) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CConverterDlg::~CConverterDlg() {
    // Exit has destroyed it; a start that ended early (OLE) has not.
    if (m_pColorDlg) {
        if (m_pColorDlg->m_hWnd) m_pColorDlg->DestroyWindow();
        delete m_pColorDlg;
    }
    delete m_worker;
    if (m_playThread) CloseHandle(m_playThread);
    if (m_scopeThread) CloseHandle(m_scopeThread);
}

BEGIN_MESSAGE_MAP(CConverterDlg, CSkinDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_DLG_NOTIFY, OnDlgNotify)
    ON_BN_CLICKED(IDC_PLAY, OnPlay)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_BN_CLICKED(IDC_CONVERT, OnConvert)
    ON_BN_CLICKED(IDC_PAUSE, OnPause)
    ON_BN_CLICKED(IDC_VIDEO, OnVideoToggle)
    ON_BN_CLICKED(IDC_AUDIO, OnAudioToggle)
    ON_BN_CLICKED(IDC_TRIM, OnTrimToggle)
    ON_BN_CLICKED(IDC_SOUND_EFFECTS, OnSoundEffects)
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
    ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelp)
    ON_BN_CLICKED(IDC_VISIT, OnVisit)
    ON_BN_CLICKED(IDC_CONTACT, OnContact)
    ON_BN_CLICKED(IDC_EXIT, OnExit)
    ON_BN_CLICKED(IDC_RANGE_EDIT, OnEditRange)
    ON_BN_CLICKED(IDC_RANGE_START, OnRangeStart)
    ON_BN_CLICKED(IDC_RANGE_END, OnRangeEnd)
    ON_BN_CLICKED(IDC_RANGE_DONE, OnRangeDone)
END_MESSAGE_MAP()

void CConverterDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_RANGE_DONE, m_btnRangeDone);
    DDX_Control(dx, IDC_RANGE_END, m_btnRangeEnd);
    DDX_Control(dx, IDC_RANGE_START, m_btnRangeStart);
    DDX_Control(dx, IDC_RANGE_EDIT, m_btnRangeEdit);
    DDX_Control(dx, IDC_RANGE_CAPTION, m_rangeCaption);
    DDX_Control(dx, IDC_SOUND_EFFECTS, m_btnSoundEffects);
    DDX_Control(dx, IDC_CLOCK, m_clock);
    DDX_Control(dx, IDC_OUTPUT_TYPE, m_outputType);
    DDX_Control(dx, IDC_SPEED_MODE, m_speedMode);
    DDX_Control(dx, IDC_EXIT, m_btnExit);
    DDX_Control(dx, IDC_CONTACT, m_btnContact);
    DDX_Control(dx, IDC_VISIT, m_btnVisit);
    DDX_Control(dx, IDC_HELP_BUTTON, m_btnHelp);
    DDX_Control(dx, IDC_ABOUT, m_btnAbout);
    DDX_Control(dx, IDC_SPARE_LABEL, m_spare);
    DDX_Control(dx, IDC_SCOPE, m_scope);
    DDX_Control(dx, IDC_AUDIO, m_btnAudio);
    DDX_Control(dx, IDC_VIDEO, m_btnVideo);
    DDX_Control(dx, IDC_STOP, m_btnStop);
    DDX_Control(dx, IDC_PAUSE, m_btnPause);
    DDX_Control(dx, IDC_PLAY, m_btnPlay);
    DDX_Control(dx, IDC_BANNER, m_banner);
    DDX_Control(dx, IDC_WELCOME, m_welcome);
    DDX_Control(dx, IDC_TRIM, m_btnTrim);
    DDX_Control(dx, IDC_CONVERT, m_btnConvert);
    DDX_Control(dx, IDC_TOTAL_BAR, m_totalBar);
    DDX_Control(dx, IDC_FILE_BAR, m_fileBar);
    DDX_Control(dx, IDC_STATUS_LINE, m_status);
    DDX_Control(dx, IDC_TABS, m_tabs);
}

// The outside libraries the dialog needs from the start, in their order. A binder that fails has told
// the user why; the program then ends before its window is seen.
bool CConverterDlg::BindLibraries() {
    int (*const binders[])() = {codec::load_tolmpicpack, codec::load_tolmx264decode, codec::load_tolmmpeg4decode,
                                codec::load_tolmmux,     codec::load_olumbra,        codec::load_tolmmp3enc};
    for (auto bind : binders)
        if (bind() < 0) return false;
    return true;
}

BOOL CConverterDlg::OnInitDialog() {
    // 1. The base, the system menu's About item, the icons, easy move and the background.
    CSkinDialog::OnInitDialog();
    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (HMENU sys = GetSystemMenuHandle(FALSE); sys && !about.IsEmpty()) {
        AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, about);
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    EnableEasyMove();
    SetBackBitmap(IDB_SKIN_BACKGROUND);
    // 2. The skin's drawing functions; the workers' call tables over the program's binders.
    skin_reload_bitmaps();
    use_program_calls();
    use_program_input_calls();
    // 3. An empty file table.
    m_files.clear();
    // 4. The libraries; 5. the effects library's hidden window.
    if (!BindLibraries()) {
        EndDialog(IDOK);
        return TRUE;
    }
    if (codec::tolmmix_begin) codec::tolmmix_begin();
    // 6. The colour dialog, created hidden; it reports to this dialog.
    m_pColorDlg = new CColorSetDlg;
    m_pColorDlg->m_hMainWnd = m_hWnd;
    if (m_pColorDlg->Create(IDD_COLOR_SET, nullptr)) {
        m_pColorDlg->SetForegroundWindow();
        m_pColorDlg->ShowWindow(SW_HIDE);
    }
    m_pColorDlg->m_bVisible = false;
    // 9. Common controls, COM and OLE.
    INITCOMMONCONTROLSEX icc = {sizeof icc, 0xFF};
    InitCommonControlsEx(&icc);
    CoInitialize(nullptr);
    if (FAILED(OleInitialize(nullptr))) {
        ask(m_hWnd, "OLE初始化失败", kCaption, MB_OK | MB_ICONSTOP);
        EndDialog(IDOK);
        return TRUE;
    }
    // The analysis dialog, created hidden; it hands finished lists back to this dialog.
    m_pAnalyzeDlg = new CAnalyzeDlg;
    m_pAnalyzeDlg->m_hMainWnd = m_hWnd;
    if (m_pAnalyzeDlg->Create(IDD_ANALYZE, nullptr)) m_pAnalyzeDlg->ShowWindow(SW_HIDE);
    // 11. The clock's first colours, the window handle every notice goes to, colour scheme 1.
    m_clock.SetBkColor(RGB(0, 0, 0));
    m_clock.SetTextColor(RGB(32, 255, 32));
    g_main_hwnd = m_hWnd;
    skin_set_scheme(1);
    // 12. The settings (the saved UI colour wins over the scheme's).
    load_program_settings();
    skin_set_ui_color((COLORREF)cfg_ui_color);
    // 13.-17. Bitmaps, bars, tabs and pages, combos, labels, buttons.
    StyleControls();
    // 18. The saved media list and the disc drives.
    SendMessage(WM_DLG_NOTIFY, 8888, 5);
    // 19. The wave scope.
    set_flag(g_scope_feed, true);
    StartScope(0);
    // The video dialog, hidden until a play opens it.
    m_videoWnd.CreateHidden(this);
    // 20. The clock.
    OnTimer(kClockTimer);
    SetTimer(kClockTimer, 1000);
    // 21. Balloon tips of the two combo boxes.
    if (m_tip.Create(this)) {
        m_tip.AddTool(&m_speedMode, "请通过下拉框选择转换方式 快速转换时无视频显示和无声音");
        m_tip.AddTool(&m_outputType, "请通过下拉框选择转换输出文件类型 本软件支持3GP MP4 AVI三种类型");
    }
    // 22. The range buttons, disabled until a file with segments is shown.
    m_btnRangeStart.LoadIcons(IDI_RANGE_START, 0);
    m_btnRangeEnd.LoadIcons(IDI_RANGE_END, 0);
    m_btnRangeEdit.LoadIcons(IDI_RANGE_EDIT, 0);
    m_btnRangeDone.LoadIcons(IDI_RANGE_DONE, 0);
    m_btnRangeStart.SetTooltipText("选择需转换的多媒体文件开始位置");
    m_btnRangeEnd.SetTooltipText("选择需转换的多媒体文件结束位置");
    m_btnRangeEdit.SetTooltipText("编辑修改需转换的多媒体文件开始结束位置");
    m_btnRangeDone.SetTooltipText("确认并选择需转换的多媒体文件开始结束位置");
    for (CSkinButton* b : {&m_btnRangeStart, &m_btnRangeEnd, &m_btnRangeEdit, &m_btnRangeDone}) b->EnableWindow(FALSE);
    // 23. The timeline and the Start-menu shortcuts.
    SetupTimelineView();
    install_shortcuts();
    // 24. The first file shown on the timeline and selected when it has an index file.
    if (m_files.count() > 0 && m_files.row(0).record.index_path[0]) {
        SendMessage(WM_DLG_NOTIFY, 8888, 101);
        CSkinListCtrl& list = m_filePage.m_list;
        list.SetHotItem(0);
        list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    // 25. The clock in the UI colour.
    m_clock.SetBkColor((COLORREF)cfg_ui_color);
    m_clock.SetTextColor(color_lighten((COLORREF)cfg_ui_color, 128));
    return TRUE;
}

void CConverterDlg::StyleControls() {
    const COLORREF ui = (COLORREF)cfg_ui_color;
    // 13. The progress bars.
    for (CSkinProgressCtrl* bar : {&m_fileBar, &m_totalBar}) {
        bar->SetRange32(0, 1000);
        bar->SetPos(0);
        bar->SetBarColour(color_lighten(ui, 60));
    }
    // 14. The tab control and its pages.
    if (!m_tabImages.GetSafeHandle() && m_tabImages.Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 4)) {
        for (UINT id : {IDI_TAB_FILES, IDI_TAB_3GP, IDI_TAB_MP4, IDI_TAB_AVI}) {
            HICON icon = (HICON)::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0);
            if (icon) {
                m_tabImages.Add(icon);
                ::DestroyIcon(icon);
            }
        }
    }
    m_tabs.SetImageList(&m_tabImages);
    m_tabs.SetBitmap(IDB_SKIN_BACKGROUND);
    m_tabs.m_crSelected = color_lighten(ui, 40);
    m_tabs.m_crNormal = ui;
    if (!m_filePage.m_hWnd) m_tabs.AddPage("文件管理", &m_filePage, IDD_FILE_PAGE, 0);
    if (!m_3gpPage.m_hWnd) m_tabs.AddPage("3GP设置", &m_3gpPage, IDD_3GP_PAGE, 1);
    if (!m_mp4Page.m_hWnd) m_tabs.AddPage("MP4设置", &m_mp4Page, IDD_MP4_PAGE, 2);
    if (!m_aviPage.m_hWnd) m_tabs.AddPage("AVI设置", &m_aviPage, IDD_AVI_PAGE, 3);
    m_tabs.SetActivePage(0);
    // 15. The sound-effects button and the two combo boxes, each at its first item.
    m_btnSoundEffects.LoadIcons(IDI_EFFECTS, 0);
    m_btnSoundEffects.SetTooltipText("用Orvane音效器调整转换\n或播放音质效果");
    if (m_speedMode.TextCount() == 0) {
        m_speedMode.AddString("正常转换");
        m_speedMode.AddString("快速转换");
        m_outputType.AddString("转换输出3GP文件");
        m_outputType.AddString("转换输出MP4文件");
        m_outputType.AddString("转换输出AVI文件");
        m_speedMode.SetCurSel(0);
        m_outputType.SetCurSel(0);
    }
    // 16. The banner, the welcome line and the status line.
    m_banner.SetFontName("宋体").SetText("Orvane多媒体MP4转换器\r\nMP4/3GP/AVI转换与播放");
    m_welcome.SetFontName("宋体").SetText("欢迎使用Orvane多媒体MP4转换器");
    m_status.SetFontName("宋体");
    // 17. The buttons' icons (the latching ones grey while released) and tips; Audio and Video start
    // pressed.
    const struct {
        CSkinButton* button;
        UINT icon;
        bool latching;
    } icons[] = {{&m_btnConvert, IDI_CONVERT, false}, {&m_btnStop, IDI_STOP, false},  {&m_btnPlay, IDI_PLAY, false},
                 {&m_btnPause, IDI_PAUSE, true},      {&m_btnTrim, IDI_TRIM, true},    {&m_btnAudio, IDI_AUDIO, true},
                 {&m_btnVideo, IDI_VIDEO, true},      {&m_btnAbout, IDI_ABOUT, false}, {&m_btnHelp, IDI_HELP, false},
                 {&m_btnVisit, IDI_VISIT, false},     {&m_btnExit, IDI_EXIT, false},   {&m_btnContact, IDI_CONTACT, false}};
    for (const auto& i : icons) i.button->LoadIcons(i.icon, i.latching ? (UINT)-2 : 0);
    m_btnConvert.SetTooltipText("进行多媒体转换MP4/3GP/AVI文件");
    m_btnStop.SetTooltipText("转换或播放停止");
    m_btnPlay.SetTooltipText("进行多媒体文件播放");
    m_btnPause.SetTooltipText("暂停多媒体文件播放");
    m_btnTrim.SetTooltipText("暂停MP4/3GP/AVI转换可播放，用于裁减");
    m_btnAudio.SetTooltipText("转换过程中播放声音切换开关");
    m_btnVideo.SetTooltipText("转换过程中播放视频切换开关");
    m_btnAbout.SetTooltipText("关于Orvane多媒体MP4转换器");
    m_btnHelp.SetTooltipText("Orvane多媒体MP4转换器操作帮助");
    m_btnVisit.SetTooltipText("访问Delmora网站 关注产品升级");
    m_btnExit.SetTooltipText("退出Orvane多媒体MP4转换器应用程序");
    m_btnContact.SetTooltipText("反馈Orvane多媒体MP4转换器产品使用问题");
    m_btnAudio.SetPressed(TRUE);
    m_btnVideo.SetPressed(TRUE);
    ApplyUiColor();
}

void CConverterDlg::ApplyUiColor() {
    const COLORREF ui = (COLORREF)cfg_ui_color;
    skin_set_ui_color(ui);
    for (CSkinProgressCtrl* bar : {&m_fileBar, &m_totalBar})
        if (bar->m_hWnd) bar->SetBarColour(color_lighten(ui, 60));
    m_tabs.m_crSelected = color_lighten(ui, 40);
    m_tabs.m_crNormal = ui;
    for (CSkinComboBox* combo : {&m_speedMode, &m_outputType}) {
        combo->SetBackColour(color_darken(ui, 20));
        combo->m_crSelect = color_lighten(ui, 40);
        if (combo->m_hWnd) combo->Invalidate();
    }
    for (CSkinButton* b : {&m_btnSoundEffects, &m_btnPlay, &m_btnStop, &m_btnPause, &m_btnConvert, &m_btnVideo,
                           &m_btnAudio, &m_btnTrim, &m_btnAbout, &m_btnHelp, &m_btnVisit, &m_btnContact, &m_btnExit,
                           &m_btnRangeEdit, &m_btnRangeStart, &m_btnRangeEnd, &m_btnRangeDone})
        colour_button_faces(*b, ui);
    if (m_clock.m_hWnd) {
        m_clock.SetBkColor(ui);
        m_clock.SetTextColor(color_lighten(ui, 128));
    }
    if (m_filePage.m_hWnd) {
        m_filePage.ApplyUiColor();
        ColourList();
    }
    if (m_3gpPage.m_hWnd) m_3gpPage.ApplyUiColor();
    if (m_mp4Page.m_hWnd) m_mp4Page.ApplyUiColor();
    if (m_aviPage.m_hWnd) m_aviPage.ApplyUiColor();
    if (m_hWnd) {
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
        if (skin_ready) skin_paint_window(this, m_hIcon);
    }
}

void CConverterDlg::HideColorDialog() {
    if (m_pColorDlg && m_pColorDlg->m_hWnd && m_pColorDlg->m_bVisible) {
        m_pColorDlg->m_bVisible = false;
        m_pColorDlg->ShowWindow(SW_HIDE);
    }
}

BOOL CConverterDlg::PreTranslateMessage(MSG* msg) {
    if (!flag_on(g_busy) && m_tip.m_hWnd) m_tip.RelayEvent(msg);
    // Enter and Escape never end the program.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) return TRUE;
    return CSkinDialog::PreTranslateMessage(msg);
}

LRESULT CConverterDlg::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Clicks on the skin's caption buttons never reach the default handling (it would close unasked).
    if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP || msg == WM_NCLBUTTONDBLCLK) && skin_ready &&
        (wp == HTCLOSE || wp == HTMINBUTTON || wp == HTMENU)) {
        if (msg == WM_NCLBUTTONDOWN && wp == HTCLOSE) OnExit();
        else if (msg == WM_NCLBUTTONDOWN && wp == HTMINBUTTON) ShowWindow(SW_MINIMIZE);
        else if (msg != WM_NCLBUTTONDOWN && wp == HTMENU && m_pColorDlg && m_pColorDlg->m_hWnd) {
            if (m_pColorDlg->m_bVisible) {
                HideColorDialog();
            } else {
                m_pColorDlg->m_bVisible = true;
                m_pColorDlg->ShowWindow(SW_SHOW);
                m_pColorDlg->SetForegroundWindow();
            }
        }
        return 0;
    }
    LRESULT result = CSkinDialog::DefWindowProc(msg, wp, lp);
    if (!::IsWindow(m_hWnd) || !skin_ready) return result;
    switch (msg) {
    case WM_NCHITTEST:
        if (int hit = skin_caption_hit(m_hWnd, CPoint(lp))) return hit;
        break;
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        skin_paint_window(this, m_hIcon);
        break;
    default:
        break;
    }
    return result;
}

void CConverterDlg::OnSysCommand(UINT id, LPARAM lp) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    if ((id & 0xFFF0) == SC_CLOSE) {
        OnExit();
        return;
    }
    CSkinDialog::OnSysCommand(id, lp);
}

void CConverterDlg::OnClose() { OnExit(); }

void CConverterDlg::OnPaint() {
    if (!IsIconic()) {
        CSkinDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    CRect rect;
    GetClientRect(&rect);
    int x = (rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CConverterDlg::OnQueryDragIcon() { return (HCURSOR)m_hIcon; }

void CConverterDlg::OnTimer(UINT_PTR id) {
    if (id != kClockTimer || flag_on(g_busy)) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString text;
    text.Format("%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    m_clock.SetText(text);
    m_clock.SetWindowText(text);
}

void CConverterDlg::ShowClock(int seconds) {
    CString text;
    text.Format("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    m_clock.SetText(text);
    m_clock.SetWindowText(text);
}

void CConverterDlg::StartScope(int argument) {
    if (flag_on(g_scope_running) || m_exiting) return;
    if (m_scopeThread) {
        CloseHandle(m_scopeThread);
        m_scopeThread = nullptr;
    }
    // The flag is set before the thread exists, so a quick second start cannot make a second scope.
    set_flag(g_scope_running, true);
    m_scopeThread = CreateThread(nullptr, 0, wave_scope_thread, (LPVOID)(INT_PTR)argument, 0, nullptr);
    if (!m_scopeThread) set_flag(g_scope_running, false);
}

// ---- notify bus ----

LRESULT CConverterDlg::OnDlgNotify(WPARAM code, LPARAM argument) {
    switch ((int)code) {
    case 8886: ApplyUiColor(); break;
    case 8888:
        HideColorDialog();
        OnListAction((int)argument);
        break;
    case 8889:
        // The settings pages store their controls here. Sent by a worker mid-run, nothing is saved:
        // Convert copied the pages when it started, and no INI write or box may happen during a run.
        if (InSendMessageEx(nullptr) & ISMEX_SEND) break;
        SaveSettingsPages(true);
        break;
    case 888: HideColorDialog(); break;
    case 199: set_flag(g_busy, false); break;
    case 688: ShowClock((int)argument); break;
    case 678: return OnH264Notice((int)argument);
    case 44: HandOverAnalysis((int)argument); break;
    case 45: TakeBackAnalysis(); break;
    case 9991:
    case 9992: OnRangeChosen(code == 9992, (int)argument); break;
    default:
        if ((int)code >= 10000 && (int)code < 10000 + kFileTableSlots) ShowThumbnail((int)code - 10000, (int)argument);
        break;
    }
    return 0;
}

// H.264 decoding on this thread for the workers (app/core/h264_bridge.h): the decoder opens at the
// size the worker asked for (its job's: the decoder writes no picture larger than it was opened for);
// a flush lands in the bridge's own buffer, never in the worker's picture; the byte count of the last
// picture is what the sender reads.
LRESULT CConverterDlg::OnH264Notice(int sub_code) {
    H264DecoderCalls calls;
    if (codec::tolm264decode_init && codec::tolm264decode_decode && codec::tolm264decode_close) {
        calls.init = [](int w, int h) { return codec::tolm264decode_init(w, h); };
        calls.decode = [](const unsigned char* data, int n, unsigned char* frame) {
            return codec::tolm264decode_decode(data, n, frame);
        };
        calls.close = [] { return codec::tolm264decode_close(); };
    }
    int width = 0, height = 0;
    h264_requested_size(&width, &height);
    H264DecodeRequest request;
    unsigned char* picture = nullptr;
    h264_pending_decode(&request.data, &request.length, &picture);
    request.picture = picture;
    int bytes = -1;
    const int result = m_h264.handle(sub_code, calls, width, height, request, &bytes);
    if (bytes >= 0) g_decoded_bytes.store(bytes, std::memory_order_release);
    return result;
}

// The file's paths, row and type go to the analysis dialog, which queues its analysis.
void CConverterDlg::HandOverAnalysis(int f) {
    if (!m_pAnalyzeDlg || !m_pAnalyzeDlg->m_hWnd || f < 0 || f >= m_files.count()) return;
    const MediaFileRecord& record = m_files.row(f).record;
    CAnalyzeDlg& d = *m_pAnalyzeDlg;
    std::snprintf(d.media_path, sizeof d.media_path, "%s", record.path);
    std::snprintf(d.index_path, sizeof d.index_path, "%s", record.index_path);
    std::snprintf(d.type_name, sizeof d.type_name, "%s", record.type_name);
    d.file_row = f;
    d.segment_count = 0;
    d.StartAnalysis();
}

// The finished list goes to the record of the analysed file, found by its path (rows may have moved
// or gone since the hand-over); blocks longer than the record holds are not kept.
void CConverterDlg::TakeBackAnalysis() {
    if (!m_pAnalyzeDlg || m_exiting) return;
    CAnalyzeDlg& d = *m_pAnalyzeDlg;
    if (d.segment_count < 1) return;
    const int f = m_files.find_path(d.media_path);
    if (f < 0) return;
    MediaFile& file = m_files.row(f);
    MediaFileRecord& r = file.record;
    const int old_count = int(file.segments.size());
    file.segments = d.segments;
    r.segment_count = int(file.segments.size());
    r.segments = 0;
    // A range cut on the timeline while the analysis ran stays.
    range_for_new_list(r, old_count, r.segment_count);
    const bool fit1 = d.param_len1 >= 0 && d.param_len1 <= kParamBlockSize;
    const bool fit2 = d.param_len2 >= 0 && d.param_len2 <= kParamBlockSize;
    r.param_len1 = fit1 ? d.param_len1 : 0;
    r.param_len2 = fit2 ? d.param_len2 : 0;
    std::memset(r.param_block1, 0, sizeof r.param_block1);
    std::memset(r.param_block2, 0, sizeof r.param_block2);
    if (fit1) std::memcpy(r.param_block1, d.param_block1, size_t(r.param_len1));
    if (fit2) std::memcpy(r.param_block2, d.param_block2, size_t(r.param_len2));
    m_currentFile = f;
    // The timeline shows the new list and the media list points at its row; a range being edited on
    // screen is left alone (the record already holds the new list).
    if (Editing()) return;
    CSkinListCtrl& list = m_filePage.m_list;
    int chosen = -1;
    for (int row = list.GetItemCount() - 1; row >= 0; --row) {
        list.SetItemState(row, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (chosen < 0 && list.GetItemText(row, 1) == r.path) chosen = row;
    }
    if (chosen >= 0) list.SetItemState(chosen, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    RestoreSegmentList(f);
}

void CConverterDlg::OnListAction(int sub_code) {
    switch (sub_code) {
    case 1: AddFile(); break;
    case 2: RemoveRows(); break;
    case 3: SaveList(); break;
    case 4: RebuildList(false); break;
    case 5: RebuildList(true); break;
    case 11:
        // A range being edited keeps its file: no play and no other file shown meanwhile.
        if (!flag_on(g_busy) && !Editing()) OnPlay();
        break;
    case 100:
        if (!Editing()) ShowSelectedSegments();
        break;
    case 101:
        m_currentFile = 0;
        RestoreSegmentList(0);
        break;
    default: break;
    }
    if (m_files.count() > 0) ColourList();
}

bool CConverterDlg::IsCdRom(const char* path) const {
    if (!path || !path[0] || path[1] != ':') return false;
    const char root[4] = {path[0], ':', '\\', 0};
    return GetDriveTypeA(root) == DRIVE_CDROM;
}

void CConverterDlg::AddFile() {
    if (m_files.full()) {
        ask(m_hWnd, "多媒体文件列表已满", kAddCaption, MB_OK);
        return;
    }
    CFileDialog dialog(TRUE, nullptr,
                       "*.MPG;*.DAT;*.VOB;*.AVI;*.WMA;*.WMV;*.ASF;*.RM;*.RMVB;*.MOV;*.QT;*.MP4;*.3GP;*.FLV;*.F4V;*.SWF;"
                       "*.MTV;*.AMV",
                       OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                       "MPG|*.MPG;*.M1V|VCD|*.DAT|DVD|*.VOB|MPEG4|*.AVI|FLASH|*.FLV;*.F4V;*.SWF|Microsoft|*.ASF;*.WMV;*.WMA|"
                       "Real Play|*.RM;*.RMVB;*.RMA|Quick Time|*.QT;*.MOV|MP4 File|*.MP4;*.3GP;*.M4A;*.MTV;*.AMV|All|*.*||",
                       this);
    dialog.m_ofn.nFilterIndex = 1;
    if (dialog.DoModal() != IDOK) return;
    const CString path = dialog.GetPathName();
    if (IsCdRom(path)) {
        ask(m_hWnd, "请不要选择光驱多媒体文件，它是自动添加", kAddCaption, MB_OK);
        return;
    }
    CSkinListCtrl& list = m_filePage.m_list;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (list.GetItemText(row, 1) == path) {
            ask(m_hWnd, "多媒体文件已在列表中存在", kAddCaption, MB_OK);
            return;
        }
    }
    MediaFileRecord record{};
    if (probe_media_file(path, &record) < 0 || record.width <= 2 || record.height <= 2) return;
    const int index = m_files.add(record, path);
    if (index < 0) return;
    const MediaFileRecord& added = m_files.row(index).record;
    InsertRow(added, added.running_number, nullptr);
    if (added.index_written && std::strlen(added.index_path) > 3) SendMessage(WM_DLG_NOTIFY, 44, index);
}

void CConverterDlg::InsertRow(const MediaFileRecord& record, int running_number, const char* type_text) {
    CSkinListCtrl& list = m_filePage.m_list;
    const ListRow row = list_row(record, running_number, type_text);
    const int at = list.InsertItem(list.GetItemCount(), row.cells[0].c_str());
    if (at < 0) return;
    for (int c = 1; c < kListColumns; ++c) list.SetItemText(at, c, row.cells[size_t(c)].c_str());
    list.SetItemImage(at, 0, row.image);
}

void CConverterDlg::ColourList() {
    CSkinListCtrl& list = m_filePage.m_list;
    const COLORREF ui = (COLORREF)cfg_ui_color;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        for (int c = 0; c < kListColumns; ++c) {
            list.SetItemTextColor(row, c, kListTextColour, FALSE);
            list.SetItemBkColor(row, c, list_back_colour(ui, c), FALSE);
        }
    }
    list.Invalidate();
}

void CConverterDlg::RemoveRows() {
    CSkinListCtrl& list = m_filePage.m_list;
    if (list.GetSelectedCount() < 1) {
        ask(m_hWnd, "没有选择删除的多媒体文件记录", kRemoveCaption, MB_OK);
        return;
    }
    for (int row = list.GetItemCount() - 1; row >= 0; --row) {
        if (!(list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED)) continue;
        const int number = atoi(list.GetItemText(row, 0));
        const int file = m_files.find_running_number(number);
        if (file >= 0 && m_pAnalyzeDlg) m_pAnalyzeDlg->ForgetFile(m_files.row(file).record.path);
        list.DeleteItem(row);
        const int removed = m_files.remove_running_number(number);
        if (removed < 0) continue;
        m_currentFile = index_after_removal(m_currentFile, removed);
        if (!m_timeline || m_timeline->file_index < 0) continue;
        m_timeline->file_index = index_after_removal(m_timeline->file_index, removed);
        if (m_timeline->file_index < 0) ClearTimeline();
    }
}

void CConverterDlg::SaveList() {
    if (!m_files.save(program_file(kMediaListFileName).c_str()))
        ask(m_hWnd, "多媒体文件列表保存失败", kSaveCaption, MB_OK | MB_ICONSTOP);
}

void CConverterDlg::ScanDiscs() {
    struct Folder {
        const char* folder;
        const char* pattern;
        const char* type;
    };
    const Folder folders[] = {{"\\mpegav", "\\*.dat", "VCD"}, {"\\VIDEO_TS", "\\*.vob", "DVD"}};
    for (char letter = 'C'; letter <= 'Y'; ++letter) {
        char drive[4];
        std::snprintf(drive, sizeof drive, "%c:", letter);
        if (!IsCdRom(drive)) continue;
        for (const Folder& f : folders) {
            const std::string folder = std::string(drive) + f.folder;
            const DWORD attributes = GetFileAttributesA(folder.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            WIN32_FIND_DATAA found;
            HANDLE search = FindFirstFileA((folder + f.pattern).c_str(), &found);
            if (search == INVALID_HANDLE_VALUE) continue;
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                const std::string path = folder + "\\" + found.cFileName;
                MediaFileRecord record{};
                if (probe_media_file(path.c_str(), &record) != 0) continue;
                std::snprintf(record.path, sizeof record.path, "%s", path.c_str());
                InsertRow(record, m_files.take_running_number(), f.type);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
}

void CConverterDlg::RebuildList(bool from_saved_list) {
    m_files.reset_running_number();
    m_filePage.m_list.DeleteItems(1);
    ScanDiscs();
    if (from_saved_list) m_files.load(program_file(kMediaListFileName).c_str());
    else m_files.relist();
    for (int i = 0; i < m_files.count(); ++i) InsertRow(m_files.row(i).record, m_files.row(i).record.running_number, nullptr);
    m_currentFile = -1;
    if (m_timeline) {
        m_timeline->file_index = -1;
        ClearTimeline();
    }
}

// ---- commands ----

bool CConverterDlg::WorkerRunning() const {
    return (m_worker && WaitForSingleObject(m_worker->m_hThread, 0) == WAIT_TIMEOUT) ||
           (m_playThread && WaitForSingleObject(m_playThread, 0) == WAIT_TIMEOUT);
}

void CConverterDlg::OnPlay() {
    if (WorkerRunning()) return;
    for (int i = 0; i < m_files.count(); ++i) LoadSegments(i);
    ListViewRows rows(m_filePage.m_list.m_hWnd, m_hWnd);
    if (build_jobs(JobCommand::Play, rows, m_files.rows(), m_files.count(), *m_jobs) <= 0) return;
    SaveSettingsPages(false);  // a page that refuses keeps its old settings; playback goes on
    StartScope(1);
    CString text;
    text.Format("开始文件%s播放 请稍后...", m_jobs->jobs[0].path);
    m_status.SetText(text);
    m_status.RedrawWindow();
    StartWorker(true);
}

void CConverterDlg::OnConvert() {
    if (WorkerRunning()) return;
    for (int i = 0; i < m_files.count(); ++i) LoadSegments(i);
    ListViewRows rows(m_filePage.m_list.m_hWnd, m_hWnd);
    if (build_jobs(JobCommand::Convert, rows, m_files.rows(), m_files.count(), *m_jobs) <= 0) return;
    // A page that refused has told the user why; converting with settings the user did not choose
    // would only make a file to throw away.
    if (!SaveSettingsPages(false)) return;
    StartScope(1);
    CString text;
    text.Format("开始文件%s转换 请稍后...", m_jobs->jobs[0].path);
    m_status.SetText(text);
    m_status.RedrawWindow();
    const int choice = m_outputType.GetCurSel();
    g_out_format = choice < 0 ? 0 : choice;
    StartWorker(false);
}

bool CConverterDlg::SaveSettingsPages(bool write) {
    const bool ok3gp = m_3gpPage.SaveSettings(write);
    const bool okAvi = m_aviPage.SaveSettings(write);
    const bool okMp4 = m_mp4Page.SaveSettings(write);
    return ok3gp && okAvi && okMp4;
}

void CConverterDlg::StartWorker(bool play) {
    if (play) {
        if (m_playThread) CloseHandle(m_playThread);
        m_playThread = start_play_thread(static_cast<EngineUi*>(&m_ui));
        return;
    }
    delete m_worker;
    m_worker = AfxBeginThread(convert_thread, static_cast<EngineUi*>(&m_ui), THREAD_PRIORITY_NORMAL, 0,
                              CREATE_SUSPENDED);
    if (!m_worker) return;
    m_worker->m_bAutoDelete = FALSE;  // the handle is kept: Exit waits for it
    m_worker->ResumeThread();
}

void CConverterDlg::OnStop() { set_flag(g_busy, false); }

void CConverterDlg::OnPause() {
    if (!flag_on(g_busy)) return;
    toggle_flag(g_paused);
    if (!flag_on(g_paused)) return;
    m_status.SetText(paused_status_text(m_current.get(), flag_on(g_write_output)).c_str());
    m_status.RedrawWindow();
}

void CConverterDlg::OnVideoToggle() {
    if (flag_on(g_busy)) toggle_flag(g_show_video);
}

void CConverterDlg::OnAudioToggle() {
    if (flag_on(g_busy)) toggle_flag(g_play_sound);
}

void CConverterDlg::OnTrimToggle() {
    if (flag_on(g_busy)) toggle_flag(g_write_output);
}

void CConverterDlg::OnSoundEffects() {
    if (press_effects_button()) return;
    m_status.SetText(kEffectsOutsideRunText);
    m_status.RedrawWindow();
}

void CConverterDlg::OnAbout() {
    CConverterAboutDlg about;
    about.DoModal();
}

void CConverterDlg::OnHelp() {
    const std::string help = program_file("tolmchangemp4.chm");
    HtmlHelpA(nullptr, help.c_str(), HH_DISPLAY_TOPIC, 0);
}

void CConverterDlg::OnVisit() { AfxShellExecute(m_hWnd, "open", kWebAddress, nullptr, nullptr, SW_SHOWNORMAL); }

void CConverterDlg::OnContact() { AfxShellExecute(m_hWnd, "open", kMailAddress, nullptr, nullptr, SW_SHOWNORMAL); }

// ---- exit ----

void CConverterDlg::WaitForThreads() {
    HANDLE threads[4];
    DWORD count = 0;
    if (m_pAnalyzeDlg && m_pAnalyzeDlg->Thread()) threads[count++] = m_pAnalyzeDlg->Thread();
    if (m_worker && m_worker->m_hThread) threads[count++] = m_worker->m_hThread;
    if (m_playThread) threads[count++] = m_playThread;
    if (m_scopeThread) threads[count++] = m_scopeThread;
    const DWORD start = GetTickCount();
    while (count > 0) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= kExitWaitMs) break;
        // The workers send to this thread and wait for the answer: keep handling what they send.
        const DWORD woke = MsgWaitForMultipleObjects(count, threads, FALSE, kExitWaitMs - spent, QS_SENDMESSAGE);
        if (woke < WAIT_OBJECT_0 + count) {
            threads[woke - WAIT_OBJECT_0] = threads[count - 1];
            --count;
        } else if (woke == WAIT_OBJECT_0 + count) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else {
            break;
        }
    }
}

void CConverterDlg::OnExit() {
    if (m_exiting) return;
    if (flag_on(g_busy) || WorkerRunning()) {
        if (ask(m_hWnd, "Orvane多媒体MP4转换器 正在播放或转换，确认是否退出", kCaption, MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
            return;
    }
    m_exiting = true;
    set_flag(g_exiting, true);
    KillTimer(kClockTimer);
    set_flag(g_busy, false);
    set_flag(g_paused, false);
    set_flag(g_scope_running, false);
    scope_bell_ring();  // the scope thread may be waiting for sound
    if (m_pAnalyzeDlg) m_pAnalyzeDlg->StopAll();
    WaitForThreads();
    const bool ended = (!m_worker || WaitForSingleObject(m_worker->m_hThread, 0) == WAIT_OBJECT_0) &&
                       (!m_playThread || WaitForSingleObject(m_playThread, 0) == WAIT_OBJECT_0) &&
                       (!m_scopeThread || WaitForSingleObject(m_scopeThread, 0) == WAIT_OBJECT_0) &&
                       (!m_pAnalyzeDlg || !m_pAnalyzeDlg->Thread() ||
                        WaitForSingleObject(m_pAnalyzeDlg->Thread(), 0) == WAIT_OBJECT_0);
    if (codec::tolmmix_close) codec::tolmmix_close();
    for (int i = 0; i < m_files.count(); ++i) m_files.row(i).segments.clear();
    m_files.delete_pending_index_files();
    if (m_pColorDlg) {
        if (m_pColorDlg->m_hWnd) m_pColorDlg->DestroyWindow();
        delete m_pColorDlg;
        m_pColorDlg = nullptr;
    }
    // An analysis thread still running works on the dialog: it stays.
    if (m_pAnalyzeDlg && ended) {
        if (m_pAnalyzeDlg->m_hWnd) m_pAnalyzeDlg->DestroyWindow();
        delete m_pAnalyzeDlg;
    }
    m_pAnalyzeDlg = nullptr;
    save_program_ui_color();
    // A thread still alive after the wait may be inside a library or a buffer: leave them in place.
    if (ended) {
        codec::unload_tolmx264decode();
        codec::unload_olumbra();
        codec::unload_tolmpicpack();
        frame_buffer_free();
        delete m_worker;
        m_worker = nullptr;
        if (m_playThread) CloseHandle(m_playThread);
        m_playThread = nullptr;
        if (m_scopeThread) CloseHandle(m_scopeThread);
        m_scopeThread = nullptr;
    } else {
        // The thread objects stay with the threads that still use them.
        m_worker = nullptr;
        m_playThread = nullptr;
        m_scopeThread = nullptr;
    }
    g_main_hwnd = nullptr;
    OleUninitialize();
    CoUninitialize();
    EndDialog(IDOK);
}
