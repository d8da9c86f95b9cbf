#include "videofx/panel/VideoEffectDlg.h"
#include <algorithm>
#include "skinlib/frame/FrameSkin.h"
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"

BEGIN_MESSAGE_MAP(CVideoEffectDlg, CSkinDialog)
    ON_NOTIFY(NM_CLICK, IDC_PANEL_TAB, OnClickTab)
    ON_WM_TIMER()
    ON_MESSAGE(WM_PANEL_STEP, OnPanelStep)
END_MESSAGE_MAP()

CVideoEffectDlg::CVideoEffectDlg(CWnd* parent) : CSkinDialog() { (void)parent; }

void CVideoEffectDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PANEL_TAB, m_tab);
}

BOOL CVideoEffectDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    skin_reload_bitmaps();
    EnableEasyMove(FALSE);
    SetBackBitmap(IDB_BRISVANE_BACKGROUND);
    skin_set_scheme(1);
    m_images.Create(32, 32, ILC_COLOR32 | ILC_MASK, 6, 6);
    for (UINT icon : {IDI_TAB_CHAIN, IDI_TAB_PARAMS, IDI_TAB_REGION, IDI_TAB_PICTURE, IDI_TAB_TEXT, IDI_PANEL})
        m_images.Add((HICON)::LoadImageA(AfxFindResourceHandle(MAKEINTRESOURCEA(icon), (LPCSTR)RT_GROUP_ICON),
                                         MAKEINTRESOURCEA(icon), IMAGE_ICON, 32, 32, 0));
    m_tab.SetImageList(&m_images);
    m_tab.SetBitmap(IDB_BRISVANE_BACKGROUND);
    m_tab.m_nTextEffect = 1;
    m_tab.m_nGradientStyle = 47;
    m_tab.m_crSelected = 0xFC5C20;
    m_tab.m_crNormal = 0x20C020;
    m_tab.m_crText = 0x010101;
    m_tab.AddPage("效果控制", &m_chain, IDD_CHAIN_PAGE, 0);
    m_tab.AddPage("参数调整", &m_params, IDD_PARAM_PAGE, 1);
    m_tab.AddPage("视频调整", &m_region, IDD_REGION_PAGE, 2);
    m_tab.AddPage("图片", &m_picture, IDD_PICTURE_PAGE, 3);
    m_tab.AddPage("文字", &m_text, IDD_TEXT_PAGE, 4);
    m_tab.AddPage("关于", &m_about, IDD_ABOUT_PAGE, 5);
    m_tab.SetActivePage(0);
    SetTimer(500, 1000, nullptr);
    return TRUE;
}

void CVideoEffectDlg::OnClickTab(NMHDR*, LRESULT* result) {
    m_region.m_bPreviewActive = 0;
    m_picture.m_bPreviewActive = 0;
    m_text.m_bPreviewActive = 0;
    switch (m_tab.GetCurSel()) {
    case 2: m_region.m_bPreviewActive = 1; break;
    case 3: m_picture.m_bPreviewActive = 1; break;
    case 4: m_text.m_bPreviewActive = 1; break;
    default: break;
    }
    *result = 0;
}

void CVideoEffectDlg::OnTimer(UINT_PTR id) {
    m_bRefreshPreview = 1;
    CSkinDialog::OnTimer(id);
}

void CVideoEffectDlg::PostNcDestroy() {
    CSkinDialog::PostNcDestroy();
    if (m_bDeleteOnDestroy) delete this;
}

void CVideoEffectDlg::OnCancel() {
    // Escape on the panel hides it like the close box.
    brisvane::g_panel_shown = 0;
    ShowWindow(SW_HIDE);
}

void CVideoEffectDlg::ResetControls() {
    m_chain.ResetControls();
    m_params.ResetControls();
}

void CVideoEffectDlg::ShowFitted(uint32_t records) {
    for (int i = 0; i < videofx::kSlotCount; ++i)
        if (records & (1u << i)) m_chain.ShowRecordOff(i);
}

void CVideoEffectDlg::SetVideoSizes() {
    m_region.SetVideoSize();
    m_picture.SetVideoSize();
    m_text.SetVideoSize();
}

void CVideoEffectDlg::ControlsFromTable() {
    for (int id = 1; id <= 14; ++id)
        m_chain.m_toggles[id - 1].SetPressed(brisvane::table().slot(videofx::slot_of(id)).enabled != 0, TRUE);
    m_params.ControlsFromTable();
    m_picture.RefreshFromSlot();
    SetVideoSizes();
}

void CVideoEffectDlg::HandPreview(int width, int height, const uint8_t* frame) {
    if (m_region.m_bPreviewActive)
        m_region.SetPreviewFrame(width, height, frame);
    else if (m_picture.m_bPreviewActive)
        m_picture.SetPreviewFrame(width, height, frame);
    else if (m_text.m_bPreviewActive)
        m_text.SetPreviewFrame(width, height, frame);
}

LRESULT CVideoEffectDlg::OnPanelStep(WPARAM step, LPARAM arg) {
    switch (step) {
    case brisvane::kStepReset: ResetControls(); break;
    case brisvane::kStepFitted: ShowFitted((uint32_t)arg); break;
    case brisvane::kStepSizes: SetVideoSizes(); break;
    case brisvane::kStepShow: ShowWindow(arg ? SW_SHOW : SW_HIDE); break;
    case brisvane::kStepClose:
        // tolmvideo_close from another thread: the window goes here and the object with it.
        m_bDeleteOnDestroy = true;
        ::CloseWindow(m_hWnd);
        DestroyWindow();
        return 0;
    default: break;
    }
    return 0;
}

void CVideoEffectDlg::PaintFrame() {
    if (!skin_frame_loaded()) return;
    CWindowDC dc(this);
    CRect window;
    GetWindowRect(&window);
    const int w = window.Width(), h = window.Height();
    skin_draw_frame(&dc, 0, 0, w, h, TRUE, 0);
    skin_draw_caption_button(m_hWnd, &dc, 0, 0);
    const skinlib::FrameMetrics& m = skin_frame_skin().Metrics();
    HICON icon = (HICON)::SendMessageA(m_hWnd, WM_GETICON, ICON_SMALL, 0);
    if (!icon) icon = (HICON)::LoadImageA(brisvane::instance(), MAKEINTRESOURCEA(IDI_PANEL), IMAGE_ICON,
                                          ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0);
    if (icon) ::DrawIconEx(dc.GetSafeHdc(), m.left_width * 2 + 2, 5, icon, ::GetSystemMetrics(SM_CXSMICON),
                           ::GetSystemMetrics(SM_CYSMICON), 0, nullptr, DI_NORMAL);
    char caption[128] = {};
    ::GetWindowTextA(m_hWnd, caption, sizeof caption);
    // "System" with the small caption's height as its cell height: taken as points (or as tenths of a
    // point, as the framework's point fonts count) the text would not fit the caption or not be legible.
    LOGFONTA lf{};
    lf.lfHeight = ::GetSystemMetrics(SM_CYSMCAPTION);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(lf.lfFaceName, "System");
    HFONT font = ::CreateFontIndirectA(&lf);
    HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), font);
    ::SetBkMode(dc.GetSafeHdc(), TRANSPARENT);
    // The text is centred on the caption band that shows: the window's part above its client area.
    POINT client{0, 0};
    ::ClientToScreen(m_hWnd, &client);
    RECT text{m.left_width * 2 + 24, 0, w - 40, std::max<int>(1, client.y - window.top)};
    RECT shadow = text;
    ::OffsetRect(&shadow, 1, 1);
    ::SetTextColor(dc.GetSafeHdc(), 0xFFFFFF);
    ::DrawTextA(dc.GetSafeHdc(), caption, -1, &shadow, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
    ::SetTextColor(dc.GetSafeHdc(), 0x009800);
    ::DrawTextA(dc.GetSafeHdc(), caption, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
    ::SelectObject(dc.GetSafeHdc(), old);
    ::DeleteObject(font);
    if (m_tab.m_hWnd) m_tab.Invalidate(FALSE);
}

LRESULT CVideoEffectDlg::DefWindowProc(UINT message, WPARAM wp, LPARAM lp) {
    const LRESULT result = CSkinDialog::DefWindowProc(message, wp, lp);
    if (!::IsWindow(m_hWnd)) return result;
    switch (message) {
    case WM_NCHITTEST: {
        CRect window;
        GetWindowRect(&window);
        const POINT p{(int)(short)LOWORD(lp) - window.left, (int)(short)HIWORD(lp) - window.top};
        const RECT box = skin_caption_button_rect(m_hWnd, 0);
        if (skin_frame_loaded() && ::PtInRect(&box, p)) return HTCLOSE;
        return result;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
        if (wp == HTCLOSE) {
            brisvane::g_panel_shown = 0;
            ShowWindow(SW_HIDE);
        }
        return result;
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        PaintFrame();
        return result;
    default: return result;
    }
}
