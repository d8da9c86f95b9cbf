#include "soundfx/window/SoundFxDlg.h"
#include <algorithm>
#include <cstring>
#include "controls/skin/SkinPaint.h"
#include "skinlib/frame/FrameSkin.h"
#include "soundfx/core/eq_preset_table.h"
#include "soundfx/core/window_plans.h"
#include "soundfx/olumbra_shell.h"
#include "soundfx/window/olumbra_window.h"

// ---- the frame ----

void olumbra_paint_frame(HWND wnd, HBITMAP tile_background) {
    if (!::IsWindow(wnd) || !skin_frame_loaded()) return;
    CFrameSkin& skin = skin_frame_skin();
    const skinlib::FrameMetrics& m = skin.Metrics();
    RECT wr;
    ::GetWindowRect(wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top, ch = m.caption_height;
    if (w <= 0 || h <= 0 || ch <= 0) return;
    HDC dc = ::GetWindowDC(wnd);
    if (!dc) return;
    CDC* window_dc = CDC::FromHandle(dc);

    if (tile_background) {
        BITMAP info{};
        ::GetObjectA(tile_background, sizeof info, &info);
        RECT client;
        ::GetClientRect(wnd, &client);
        HDC client_dc = ::GetDC(wnd);
        if (client_dc && info.bmWidth > 0 && info.bmHeight > 0)
            skin_tile_bitmap(client_dc, tile_background, info.bmWidth, info.bmHeight, client.right, client.bottom);
        if (client_dc) ::ReleaseDC(wnd, client_dc);
    }

    // The frame without the caption strip.
    ::ExcludeClipRect(dc, 0, 0, w, ch);
    skin_draw_frame(window_dc, 0, 0, w, h, FALSE, 0);
    ::SelectClipRgn(dc, nullptr);

    // The caption strip, composed off screen.
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP strip = ::CreateCompatibleBitmap(dc, w, ch);
    if (mem && strip) {
        HGDIOBJ old = ::SelectObject(mem, strip);
        CDC* mem_dc = CDC::FromHandle(mem);
        skin_draw_caption_bar(mem_dc, m.left_width, 0, w - m.left_width - m.right_width + 1, 0);
        skin_draw_left_edge(mem_dc, 0, 0, ch, 0);
        skin_draw_right_edge(mem_dc, w - m.right_width, 0, ch, 0);

        // Clip: below the caption, plus the caption's pixels that are not the key colour.
        HRGN region = ::CreateRectRgn(0, ch, w, h);
        HRGN caption = ::CreateRectRgn(0, 0, 0, 0);
        const COLORREF key = 0x0C0C01;
        for (int y = 0; y < ch; ++y) {
            int run = -1;
            for (int x = 0; x <= w; ++x) {
                const bool solid = x < w && ::GetPixel(mem, x, y) != key;
                if (solid && run < 0) run = x;
                if (!solid && run >= 0) {
                    HRGN piece = ::CreateRectRgn(run, y, x, y + 1);
                    ::CombineRgn(caption, caption, piece, RGN_OR);
                    ::DeleteObject(piece);
                    run = -1;
                }
            }
        }
        ::CombineRgn(region, region, caption, RGN_XOR);
        ::SelectClipRgn(dc, region);
        ::DeleteObject(caption);
        ::DeleteObject(region);

        skin_draw_caption_button(wnd, mem_dc, 0, 0);
        HICON icon = (HICON)::SendMessageA(wnd, WM_GETICON, ICON_SMALL, 0);
        if (icon)
            ::DrawIconEx(mem, m.left_width + 6, 3, icon, ::GetSystemMetrics(SM_CXSMICON),
                         ::GetSystemMetrics(SM_CYSMICON) + 2, 0, nullptr, DI_NORMAL);
        LOGFONTA lf{};
        lf.lfHeight = -MulDiv(::GetSystemMetrics(SM_CYSMCAPTION), ::GetDeviceCaps(dc, LOGPIXELSY), 720);
        lstrcpyA(lf.lfFaceName, "System");
        HFONT font = ::CreateFontIndirectA(&lf);
        HGDIOBJ old_font = ::SelectObject(mem, font);
        char text[256] = "";
        ::GetWindowTextA(wnd, text, sizeof text);
        const int caption_width = skin.Bitmap(skinlib::Strip::Caption).GetSize().cx;
        RECT tr{68, -3, w - caption_width + m.caption.tile_end + 10, ch - 6};
        ::SetBkMode(mem, TRANSPARENT);
        RECT shadow = tr;
        ::OffsetRect(&shadow, 1, 1);
        ::SetTextColor(mem, 0xFFFFFF);
        ::DrawTextA(mem, text, -1, &shadow, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
        ::SetTextColor(mem, 0x009800);
        ::DrawTextA(mem, text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
        ::SelectObject(mem, old_font);
        ::DeleteObject(font);
        ::SelectClipRgn(dc, nullptr);
        ::BitBlt(dc, 0, 0, w, ch, mem, 0, 0, SRCCOPY);
        ::SelectObject(mem, old);
    }
    if (strip) ::DeleteObject(strip);
    if (mem) ::DeleteDC(mem);
    ::ReleaseDC(wnd, dc);
}

// ---- level display ----

BEGIN_MESSAGE_MAP(CLevelDisplay, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CLevelDisplay::OnEraseBkgnd(CDC*) { return TRUE; }

void CLevelDisplay::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    olumbra::window_levels_painting();
    soundfx::LevelCapture levels = olumbra::engine().levels();
    soundfx::LevelPlan plan;
    const bool drawn = olumbra::display_status() == 1 && soundfx::plan_level_display(levels, client.right, client.bottom, &plan);
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
    if (mem && bitmap) {
        HGDIOBJ old = ::SelectObject(mem, bitmap);
        HBRUSH back = ::CreateSolidBrush(0x202020);
        ::FillRect(mem, &client, back);
        ::DeleteObject(back);
        if (drawn) {
            for (const auto& band : plan.bands) {
                HBRUSH b = ::CreateSolidBrush(band.colour);
                RECT r{band.rect.left, band.rect.top, band.rect.right, band.rect.bottom};
                ::FillRect(mem, &r, b);
                ::DeleteObject(b);
            }
            auto lines = [mem](const std::vector<soundfx::PlanLine>& list, COLORREF colour) {
                HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
                HGDIOBJ old_pen = ::SelectObject(mem, pen);
                for (const auto& l : list) {
                    ::MoveToEx(mem, l.x0, l.y0, nullptr);
                    ::LineTo(mem, l.x1, l.y1);
                }
                ::SelectObject(mem, old_pen);
                ::DeleteObject(pen);
            };
            lines(plan.grid, soundfx::LevelPlan::kGridColour);
            lines(plan.bars, soundfx::LevelPlan::kBarColour);
            auto outline = [mem](const std::vector<soundfx::PlanPoint>& points, COLORREF colour) {
                if (points.empty()) return;
                HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
                HGDIOBJ old_pen = ::SelectObject(mem, pen);
                ::MoveToEx(mem, points[0].x, points[0].y, nullptr);
                for (size_t i = 1; i < points.size(); ++i) ::LineTo(mem, points[i].x, points[i].y);
                ::SelectObject(mem, old_pen);
                ::DeleteObject(pen);
            };
            outline(plan.upper, soundfx::LevelPlan::kUpperColour);
            outline(plan.lower, soundfx::LevelPlan::kLowerColour);
        }
        ::BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
        ::SelectObject(mem, old);
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (mem) ::DeleteDC(mem);
    ::EndPaint(m_hWnd, &ps);
}

// ---- about page ----

BEGIN_MESSAGE_MAP(CSoundAboutPage, CSkinDialog)
    ON_BN_CLICKED(3082, OnClose)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CSoundAboutPage::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, 3084, m_link1);
    DDX_Control(dx, 3085, m_link2);
    DDX_Control(dx, 3004, m_title);
    DDX_Control(dx, 3006, m_notice);
    DDX_Control(dx, 3008, m_line);
    DDX_Control(dx, 3082, m_close);
}

BOOL CSoundAboutPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableEasyMove(TRUE);
    SetBackBitmap(3005);
    m_brush = ::GetSysColorBrush(COLOR_BTNFACE);
    m_link1.SetLinkColours(0xFF0000, 255, 255);
    m_link1.SetLinkTarget("https://orvane.example/olumbra");
    m_link1.SetUnderlineMode(TRUE);
    m_link2.SetLinkColours(0xFF0000, 255, 255);
    m_link2.SetLinkTarget("mailto:olumbra@orvane.example");
    m_link2.SetUnderlineMode(TRUE);
    m_title.SetBackBitmap(3005);
    m_title.SetTextColor(0xF84444).SetFontName("楷体");
    m_notice.SetBkColor(0x94A844).SetTextColor(0x980000).SetFontName("楷体");
    m_line.SetTextColor(0x1010FF).SetFontName("楷体");
    m_close.LoadIcons(3018, 0);
    m_close.OffsetColour(0, 30);
    m_close.SetTooltipText("关闭Orvane音效器窗口");
    m_close.DropBackgroundCache(TRUE);
    m_close.SetColour(1, 255);
    m_close.SetColour(3, 0xFF0000);
    if (olumbra::display_mode() > 0) m_close.ShowWindow(SW_HIDE);
    return TRUE;
}

void CSoundAboutPage::LayoutClose(bool shown) {
    if (m_close.m_hWnd) m_close.ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

void CSoundAboutPage::OnClose() {
    if (HWND window = ::GetAncestor(m_hWnd, GA_ROOT)) ::ShowWindow(window, SW_HIDE);
    olumbra::set_display_status(0);
}

void CSoundAboutPage::OnPaint() {
    ::ValidateRect(m_hWnd, nullptr);
    if (skin_frame_loaded()) {
        HDC dc = ::GetWindowDC(m_hWnd);
        if (dc) {
            ::SelectClipRgn(dc, nullptr);
            ::ReleaseDC(m_hWnd, dc);
        }
    }
}

// ---- preset name ----

BEGIN_MESSAGE_MAP(CPresetSaveDlg, CDialog)
    ON_BN_CLICKED(3082, OnSave)
    ON_BN_CLICKED(3084, OnBack)
END_MESSAGE_MAP()

CPresetSaveDlg::CPresetSaveDlg(CWnd* parent, const char* current_name, const soundfx::EqPresetTable* presets)
    : CDialog(3016, parent), m_strName(current_name), m_pPresets(presets) {}

void CPresetSaveDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, 3082, m_save);
    DDX_Control(dx, 3084, m_back);
    DDX_Text(dx, 3083, m_strName);
}

BOOL CPresetSaveDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendDlgItemMessageA(m_hWnd, 3083, EM_LIMITTEXT, 63, 0);
    m_save.LoadIcons(3017, 0);
    m_save.OffsetColour(0, 30);
    m_save.SetTooltipText("保存");
    m_save.DropBackgroundCache(TRUE);
    m_back.LoadIcons(3018, 0);
    m_back.OffsetColour(0, 30);
    m_back.SetTooltipText("返回");
    m_back.DropBackgroundCache(TRUE);
    return TRUE;
}

void CPresetSaveDlg::OnOK() { OnSave(); }
void CPresetSaveDlg::OnCancel() { OnBack(); }

void CPresetSaveDlg::OnSave() {
    UpdateData(TRUE);
    const std::string name = soundfx::preset_name_fit(std::string(m_strName));
    if (name.empty()) {
        MessageBox("必须输入音效模式名称", "音效模式保存", MB_OK);
        return;
    }
    if (m_pPresets && m_pPresets->find(name.c_str()) >= 0) {
        MessageBox("输入音效模式名称已存在", "音效模式保存", MB_OK);
        return;
    }
    m_strName = name.c_str();
    m_nSaved = 1;
    EndDialog(IDOK);
}

void CPresetSaveDlg::OnBack() {
    m_nSaved = 0;
    EndDialog(IDCANCEL);
}

LRESULT CPresetSaveDlg::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = CDialog::DefWindowProc(msg, wp, lp);
    if ((msg == WM_PAINT || msg == WM_NCPAINT || msg == WM_NCACTIVATE) && ::IsWindow(m_hWnd)) {
        CFrameSkin& skin = skin_frame_skin();
        olumbra_paint_frame(m_hWnd, skin.IsLoaded() ? (HBITMAP)skin.Background().GetSafeHandle() : nullptr);
    }
    return result;
}

// ---- the window ----

BEGIN_MESSAGE_MAP(CSoundFxDlg, CSkinDialog)
    ON_MESSAGE(olumbra::WM_OLUMBRA_STEP, OnStep)
    ON_WM_MOVE()
END_MESSAGE_MAP()

CSoundFxDlg::CSoundFxDlg(CWnd* parent)
    : CSkinDialog(3000, parent), m_eqPage(nullptr), m_page1(nullptr), m_page2(nullptr), m_chainPage(nullptr),
      m_aboutPage(nullptr), m_page3(nullptr) {}

CSoundFxDlg::~CSoundFxDlg() = default;

void CSoundFxDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, 3000, m_tab);
}

BOOL CSoundFxDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    skin_reload_bitmaps();
    EnableEasyMove(TRUE);
    SetBackBitmap(3005);
    if (HWND display = ::GetDlgItem(m_hWnd, 3152)) m_display.SubclassWindow(display);
    HICON icon = (HICON)::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(3001), IMAGE_ICON, 16, 16, 0);
    if (icon) SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)icon);
    m_images.Create(32, 32, ILC_COLOR32 | ILC_MASK, 6, 6);
    for (UINT id : {3031u, 3014u, 3015u, 3025u, 3026u, 3024u}) {
        HICON tab_icon = (HICON)::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0);
        m_images.Add(tab_icon);
        if (tab_icon) ::DestroyIcon(tab_icon);
    }
    m_tab.SetImageList(&m_images);
    m_tab.SetBitmap(3005);
    m_tab.SetBitmap(3005);
    m_tab.AddPage("音效控制", &m_chainPage, 3021, 0);
    m_tab.AddPage("均衡器", &m_eqPage, 3001, 1);
    m_tab.AddPage("音效1", &m_page1, 3004, 2);
    m_tab.AddPage("音效2", &m_page2, 3022, 3);
    m_tab.AddPage("音效3", &m_page3, 3030, 4);
    m_tab.AddPage("关于", &m_aboutPage, 3023, 5);
    m_tab.SetActivePage(0);
    return TRUE;
}

int CSoundFxDlg::RefreshPages() {
    m_eqPage.RefreshFromState();
    m_page1.RefreshFromState();
    m_chainPage.RefreshFromState();
    m_page2.RefreshFromState();
    m_page3.RefreshFromState();
    return 0;
}

void CSoundFxDlg::LayoutButtons(bool from_setdisp) {
    const int mode = olumbra::display_mode();
    m_chainPage.LayoutHostButtons(mode, from_setdisp);
    m_aboutPage.LayoutClose(mode <= 0 && from_setdisp);
}

void CSoundFxDlg::Hide() {
    ShowWindow(SW_HIDE);
    olumbra::set_display_status(0);
}

void CSoundFxDlg::OnCancel() { Hide(); }

void CSoundFxDlg::OnMove(int, int) { Default(); }

void CSoundFxDlg::PostNcDestroy() {
    olumbra::window_forget(m_hWnd);
    CSkinDialog::PostNcDestroy();
    delete this;
}

LRESULT CSoundFxDlg::OnStep(WPARAM wp, LPARAM lp) {
    switch ((olumbra::Step)wp) {
        case olumbra::Step::Show:
            LayoutButtons(true);
            ShowWindow(SW_SHOW);
            break;
        case olumbra::Step::Hide:
            ShowWindow(SW_HIDE);
            break;
        case olumbra::Step::DispMode:
            LayoutButtons(false);
            break;
        case olumbra::Step::Refresh:
            m_tab.SetActivePage(0);
            if (lp == 1) {
                LayoutButtons(true);
                ShowWindow(SW_SHOW);
            }
            RefreshPages();
            break;
        case olumbra::Step::SetIir:
        case olumbra::Step::SetEcho:
            m_chainPage.SyncToggles();
            break;
        case olumbra::Step::Rows:
            m_chainPage.ShowOrder();
            break;
        case olumbra::Step::AfterSet:
            m_chainPage.ShowOrder();
            m_eqPage.ShowEngineState();
            m_page1.RefreshFromState();
            m_page2.RefreshFromState();
            m_page3.RefreshFromState();
            break;
        case olumbra::Step::Close:
            ::CloseWindow(m_hWnd);
            DestroyWindow();
            break;
    }
    return 0;
}

LRESULT CSoundFxDlg::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = CSkinDialog::DefWindowProc(msg, wp, lp);
    if (!::IsWindow(m_hWnd)) return result;
    switch (msg) {
        case WM_NCHITTEST:
            if (skin_frame_loaded()) {
                RECT wr;
                ::GetWindowRect(m_hWnd, &wr);
                const RECT close = skin_caption_button_rect(m_hWnd, 0);
                POINT p{(short)LOWORD(lp) - wr.left, (short)HIWORD(lp) - wr.top};
                if (::PtInRect(&close, p)) result = HTCLOSE;
            }
            break;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCLBUTTONDBLCLK:
            if (wp == HTCLOSE) Hide();
            break;
        case WM_PAINT:
        case WM_NCPAINT:
        case WM_NCACTIVATE:
            olumbra_paint_frame(m_hWnd, nullptr);
            break;
        default:
            break;
    }
    return result;
}
