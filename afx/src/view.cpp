// CView and CScrollView (MM_TEXT: one logical unit per pixel).
#include "afximpl.h"
#include <climits>

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_PAINT()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

void CView::PostNcDestroy() { delete this; }

void CView::OnPrepareDC(CDC*, void*) {}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnPaint() {
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

// ---- CScrollView ----

const CSize CScrollView::sizeDefault(0, 0);

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

void CScrollView::SetScrollSizes(int map_mode, SIZE total, const SIZE& page, const SIZE& line) {
    m_nMapMode = map_mode;
    m_totalLog = CSize(total.cx > 0 ? total.cx : 0, total.cy > 0 ? total.cy : 0);
    m_pageDev = page;
    if (m_pageDev.cx == 0) m_pageDev.cx = m_totalLog.cx / 10;
    if (m_pageDev.cy == 0) m_pageDev.cy = m_totalLog.cy / 10;
    m_lineDev = line;
    if (m_lineDev.cx == 0) m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0) m_lineDev.cy = m_pageDev.cy / 10;
    if (m_hWnd) {
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::UpdateBars() {
    if (!m_hWnd || m_bInsideUpdate) return;
    m_bInsideUpdate = true;
    // The client the view would have with neither bar, then room taken by the bars it needs.
    CRect client;
    GetClientRect(&client);
    DWORD style = GetStyle();
    int cx = client.Width() + ((style & WS_VSCROLL) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0);
    int cy = client.Height() + ((style & WS_HSCROLL) ? ::GetSystemMetrics(SM_CYHSCROLL) : 0);
    bool need_h = m_totalLog.cx > cx, need_v = m_totalLog.cy > cy;
    if (need_v) cx -= ::GetSystemMetrics(SM_CXVSCROLL);
    if (!need_h && m_totalLog.cx > cx) need_h = true;
    if (need_h) cy -= ::GetSystemMetrics(SM_CYHSCROLL);
    if (!need_v && m_totalLog.cy > cy) {
        need_v = true;
        cx -= ::GetSystemMetrics(SM_CXVSCROLL);
    }
    CPoint old = GetScrollPosition();
    auto bar = [this](int which, bool needed, int total, int page, int pos) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = needed ? total - 1 : 0;
        info.nPage = needed ? (UINT)(page > 0 ? page : 1) : 0;
        int limit = needed ? total - (int)info.nPage : 0;
        info.nPos = pos < 0 ? 0 : (pos > limit ? limit : pos);
        SetScrollInfo(which, &info, TRUE);
        ShowScrollBar(which, needed);
    };
    bar(SB_HORZ, need_h, m_totalLog.cx, cx, old.x);
    bar(SB_VERT, need_v, m_totalLog.cy, cy, old.y);
    CPoint now = GetScrollPosition();
    if (now != old) ScrollWindow(old.x - now.x, old.y - now.y);
    m_bInsideUpdate = false;
}

CPoint CScrollView::GetScrollPosition() const {
    if (!m_hWnd) return CPoint(0, 0);
    DWORD style = GetStyle();
    return CPoint((style & WS_HSCROLL) ? GetScrollPos(SB_HORZ) : 0, (style & WS_VSCROLL) ? GetScrollPos(SB_VERT) : 0);
}

void CScrollView::ScrollToPosition(POINT position) {
    CPoint now = GetScrollPosition();
    OnScrollBy(CSize(position.x - now.x, position.y - now.y), TRUE);
}

void CScrollView::OnPrepareDC(CDC* dc, void* info) {
    ::SetMapMode(dc->m_hDC, MM_TEXT);
    CPoint pos = GetScrollPosition();
    dc->SetViewportOrg(-pos.x, -pos.y);
    CView::OnPrepareDC(dc, info);
}

int CScrollView::OnCreate(LPCREATESTRUCTA cs) {
    int result = CView::OnCreate(cs);
    UpdateBars();
    return result;
}

void CScrollView::OnSize(UINT type, int cx, int cy) {
    CView::OnSize(type, cx, cy);
    UpdateBars();
}

void CScrollView::OnHScroll(UINT code, UINT position, CScrollBar* bar) {
    if (bar && ::IsWindow(((CWnd*)bar)->m_hWnd)) {
        CView::OnHScroll(code, position, bar);
        return;
    }
    OnScroll(MAKEWORD(code, 0xFF), position);
}

void CScrollView::OnVScroll(UINT code, UINT position, CScrollBar* bar) {
    if (bar && ::IsWindow(((CWnd*)bar)->m_hWnd)) {
        CView::OnVScroll(code, position, bar);
        return;
    }
    OnScroll(MAKEWORD(0xFF, code), position);
}

BOOL CScrollView::OnMouseWheel(UINT, short delta, CPoint) {
    UINT lines = 3;
    ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int steps = -delta * (int)lines / WHEEL_DELTA;
    BOOL vertical = (GetStyle() & WS_VSCROLL) != 0;
    CSize by = vertical ? CSize(0, steps * m_lineDev.cy) : CSize(steps * m_lineDev.cx, 0);
    return OnScrollBy(by, TRUE);
}

namespace {
// The new position of one bar for a scroll code (0xFF: this bar does not move).
int scrolled(CWnd* wnd, int which, UINT code, int line, int page) {
    int pos = wnd->GetScrollPos(which);
    switch (code) {
    case SB_TOP: return 0;
    case SB_BOTTOM: return INT_MAX;
    case SB_LINEUP: return pos - line;
    case SB_LINEDOWN: return pos + line;
    case SB_PAGEUP: return pos - page;
    case SB_PAGEDOWN: return pos + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        return wnd->GetScrollInfo(which, &info) ? info.nTrackPos : pos;
    }
    default: return pos;
    }
}
}  // namespace

BOOL CScrollView::OnScroll(UINT scroll_code, UINT, BOOL do_scroll) {
    CPoint now = GetScrollPosition();
    int x = now.x, y = now.y;
    if (LOBYTE(scroll_code) != 0xFF) x = scrolled(this, SB_HORZ, LOBYTE(scroll_code), m_lineDev.cx, m_pageDev.cx);
    if (HIBYTE(scroll_code) != 0xFF) y = scrolled(this, SB_VERT, HIBYTE(scroll_code), m_lineDev.cy, m_pageDev.cy);
    BOOL moved = OnScrollBy(CSize(x - now.x, y - now.y), do_scroll);
    if (moved && do_scroll) UpdateWindow();
    return moved;
}

BOOL CScrollView::OnScrollBy(CSize size, BOOL do_scroll) {
    DWORD style = GetStyle();
    CPoint now = GetScrollPosition();
    auto target = [this](int which, bool has_bar, int pos, int by) {
        if (!has_bar) return pos;
        long long want = (long long)pos + by;
        int limit = GetScrollLimit(which);
        if (limit < 0) limit = 0;
        return (int)(want < 0 ? 0 : (want > limit ? limit : want));
    };
    int x = target(SB_HORZ, (style & WS_HSCROLL) != 0, now.x, size.cx);
    int y = target(SB_VERT, (style & WS_VSCROLL) != 0, now.y, size.cy);
    if (x == now.x && y == now.y) return FALSE;
    if (do_scroll) {
        ScrollWindow(now.x - x, now.y - y);
        if (x != now.x) SetScrollPos(SB_HORZ, x);
        if (y != now.y) SetScrollPos(SB_VERT, y);
    }
    return TRUE;
}
