#include "BalloonTip.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/skin_class_profiles.h"
#include "controls/skin_core/skin_colour.h"

HWND(WINAPI* CBalloonTip::s_windowFromPoint)(POINT) = ::WindowFromPoint;
BOOL(WINAPI* CBalloonTip::s_getCursorPos)(POINT*) = ::GetCursorPos;

BEGIN_MESSAGE_MAP(CBalloonTip, CWnd)
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
POINT cursor_now() {
    POINT p{};
    CBalloonTip::s_getCursorPos(&p);
    return p;
}
}  // namespace

CBalloonTip::CBalloonTip() : m_crText(::GetSysColor(COLOR_WINDOWTEXT)), m_szClass(AfxRegisterWndClass(0)) {}

CBalloonTip::~CBalloonTip() {
    if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CBalloonTip::Create(CWnd* parent) {
    // The registered name lives in a per-thread buffer: register again here, on the creating thread.
    m_szClass = AfxRegisterWndClass(0);
    BOOL ok = CreateEx(0, m_szClass, "", WS_POPUP, 0, 0, 0, 0, parent ? parent->m_hWnd : nullptr, nullptr);
    m_hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    return ok;
}

int CBalloonTip::OnCreate(LPCREATESTRUCTA) {
    if ((int)Default() == -1) return -1;
    m_relay = skin::TipRelay();
    return 0;
}

void CBalloonTip::OnDestroy() {
    KillTimer(skin::kTipRestTimer);
    KillTimer(skin::kTipWatchTimer);
    Default();
}

void CBalloonTip::AddTool(CWnd* wnd, const char* text, HICON icon) {
    if (!wnd || !wnd->m_hWnd) return;
    Tool& t = m_tools[wnd->m_hWnd];
    t.text = text ? text : "";
    t.icon = icon;
}

void CBalloonTip::RemoveTool(CWnd* wnd) {
    if (wnd) m_tools.erase(wnd->m_hWnd);
}

const CBalloonTip::Tool* CBalloonTip::ToolUnder(POINT cursor) const {
    auto it = m_tools.find(s_windowFromPoint(cursor));
    return it == m_tools.end() ? nullptr : &it->second;
}

void CBalloonTip::ShowTip(const char* text, const POINT* at) {
    m_ptPosition = at ? CPoint(*at) : CPoint(cursor_now());
    m_strText = text ? text : "";
    if (m_hWnd) m_nTimer = SetTimer(skin::kTipRestTimer, m_nDelay);
}

void CBalloonTip::SetIcon(HICON icon) {
    m_hIcon = icon;
    m_nIconWidth = m_nIconHeight = 0;
    if (!icon) return;
    ICONINFO info{};
    if (::GetIconInfo(icon, &info)) {
        m_nIconWidth = (int)((info.xHotspot * 2) & 0xFF);
        m_nIconHeight = (int)((info.yHotspot * 2) & 0xFF);
        if (info.hbmMask) ::DeleteObject(info.hbmMask);
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
    }
    if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CBalloonTip::Hide() {
    if (m_hWnd && ::IsWindowVisible(m_hWnd)) ShowWindow(SW_HIDE);
}

void CBalloonTip::RelayEvent(const MSG* msg) {
    if (!msg) return;
    switch (msg->message) {
    case WM_MOUSEMOVE: {
        POINT cursor = cursor_now();
        const Tool* tool = ToolUnder(cursor);
        skin::TipRelay::Actions a = m_relay.mouse_move({cursor.x, cursor.y}, tool);
        if (a.start_rest_for) {
            SetIcon(tool->icon);
            ShowTip(tool->text, &cursor);
        }
        if (a.hide) Hide();
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        m_relay.button_down();
        Hide();
        break;
    default:
        break;
    }
    m_ptPosition = CPoint(m_relay.position().x, m_relay.position().y);
}

skin::TipShape CBalloonTip::TipShape() {
    skin::TipShape shape{};
    HRGN rgn = ComputeTipRegion(&shape);
    if (rgn) ::DeleteObject(rgn);
    return shape;
}

HRGN CBalloonTip::ComputeTipRegion(skin::TipShape* shape) {
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, m_hFont ? m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT text = {0, 0, 0, 0};
    ::DrawTextA(dc, m_strText, m_strText.GetLength(), &text, DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    *shape = skin::tip_shape({(int)(text.right - text.left), (int)(text.bottom - text.top)},
                             {m_hIcon ? m_nIconWidth : 0, m_hIcon ? m_nIconHeight : 0});
    HRGN body = ::CreateRoundRectRgn(0, 0, shape->width, shape->height, 12, 10);
    POINT tail[3];
    for (int i = 0; i < 3; ++i) tail[i] = {shape->tail[i].x, shape->tail[i].y};
    HRGN point = ::CreatePolygonRgn(tail, 3, ALTERNATE);
    ::CombineRgn(body, body, point, RGN_OR);
    ::DeleteObject(point);
    return body;
}

skin::Point CBalloonTip::TipOrigin(POINT cursor, const skin::TipShape& shape) {
    RECT area{};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info)) area = info.rcWork;
    else ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return skin::tip_window_origin({cursor.x, cursor.y}, shape, skin_rect(area));
}

void CBalloonTip::OnTimer(UINT_PTR id) {
    POINT cursor = cursor_now();
    if (id == skin::kTipRestTimer) {
        KillTimer(skin::kTipRestTimer);
        skin::TipRelay::Actions a = m_relay.rest_elapsed({cursor.x, cursor.y}, ToolUnder(cursor));
        m_ptPosition = CPoint(m_relay.position().x, m_relay.position().y);
        if (a.show) {
            skin::TipShape shape;
            HRGN rgn = ComputeTipRegion(&shape);
            ::SetWindowRgn(m_hWnd, rgn, TRUE);  // the window owns the region from now on
            skin::Point at = TipOrigin(m_ptPosition, shape);
            SetWindowPos(&CWnd::wndTop, at.x, at.y, shape.window_width, shape.window_height,
                         SWP_SHOWWINDOW | SWP_NOACTIVATE);
            m_nTimer = SetTimer(skin::kTipWatchTimer, skin::kTipWatchPeriod);
        }
    } else if (id == skin::kTipWatchTimer) {
        skin::TipRelay::Actions a = m_relay.watch_elapsed({cursor.x, cursor.y});
        if (a.kill_watch) KillTimer(skin::kTipWatchTimer);
        if (a.hide) Hide();
    }
}

void CBalloonTip::DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) {
    skin_draw_gradient(dc, skin::kBalloonTip, colour, rect, style);
}

void CBalloonTip::OnPaint() {
    CPaintDC dc(this);
    skin::TipShape shape;
    HRGN rgn = ComputeTipRegion(&shape);
    HBRUSH outline = ::CreateSolidBrush(m_crBack);
    HBRUSH light = ::CreateSolidBrush(color_lighten(color_lighten(m_crBack, 51), 57));
    HBRUSH dark = ::CreateSolidBrush(color_darken(color_darken(m_crBack, 51), 57));
    ::FillRgn(dc.m_hDC, rgn, outline);
    CRect client;
    GetClientRect(&client);
    DrawGradient(dc.m_hDC, color_lighten(color_lighten(m_crBack, 51), 52), client, m_nGradientStyle);
    ::FrameRgn(dc.m_hDC, rgn, outline, 3, 3);
    ::OffsetRgn(rgn, -1, -1);
    ::FrameRgn(dc.m_hDC, rgn, dark, 1, 1);
    ::OffsetRgn(rgn, 1, 1);
    ::FrameRgn(dc.m_hDC, rgn, light, 1, 1);
    ::DeleteObject(outline);
    ::DeleteObject(light);
    ::DeleteObject(dark);
    // The painting region is this call's own (the window keeps the one it was given).
    ::DeleteObject(rgn);

    CRect text = client;
    text.left += 12;
    text.top += 10;
    if (m_hIcon) text.left += m_nIconWidth + 5;
    int old_mode = dc.SetBkMode(TRANSPARENT);
    HGDIOBJ old_font = ::SelectObject(dc.m_hDC, m_hFont ? m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    COLORREF old_colour = dc.SetTextColor(m_crText);
    dc.DrawText(m_strText, &text, 0);
    if (m_nEmboss > 0) {
        int d = m_nEmboss == 1 ? -1 : 1;
        text.OffsetRect(d, d);
        dc.SetTextColor(RGB(255, 255, 255));
        dc.DrawText(m_strText, &text, 0);
    }
    dc.SetTextColor(old_colour);
    ::SelectObject(dc.m_hDC, old_font);
    dc.SetBkMode(old_mode);
    if (m_hIcon && m_nIconHeight > 16) dc.DrawIconEx(12, 1, m_hIcon, m_nIconWidth, m_nIconHeight - 2, 0, nullptr, DI_NORMAL);
}
