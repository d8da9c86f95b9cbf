#include "SkinScrollBar.h"
#include "SkinListCtrl.h"
#include "controls/res/list_res.h"
#include "controls/skin/MemDC.h"
#include "controls/skin/SkinPaint.h"

BEGIN_MESSAGE_MAP(CSkinScrollBar, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CSkinScrollBar::~CSkinScrollBar() = default;

int CSkinScrollBar::Length() const {
    CRect client;
    GetClientRect(&client);
    return m_axis == skin::BarAxis::Horizontal ? client.Width() : client.Height();
}

skin::Thumb CSkinScrollBar::ListThumb() const {
    const int bar = m_axis == skin::BarAxis::Horizontal ? SB_HORZ : SB_VERT;
    if (!m_pList || !m_pList->m_hWnd) return skin::bar_thumb(m_axis, Length(), 0, 0);
    return skin::bar_thumb(m_axis, Length(), m_pList->GetScrollLimit(bar), m_pList->GetScrollPos(bar));
}

void CSkinScrollBar::Sync() {
    if (!m_hWnd) return;
    skin::Thumb t = ListThumb();
    m_dScale = t.scale;
    if (t.position != m_nThumb) {
        m_nThumb = t.position;
        Invalidate(FALSE);
    }
}

void CSkinScrollBar::Command(int code) {
    if (!m_pList || !m_pList->m_hWnd) return;
    m_pList->SendMessage(m_axis == skin::BarAxis::Horizontal ? WM_HSCROLL : WM_VSCROLL, code, 0);
    Sync();
    Invalidate(FALSE);
}

BOOL CSkinScrollBar::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }

void CSkinScrollBar::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemDC memory(&paint, client);
    if (m_axis == skin::BarAxis::Horizontal) PaintHorizontal(memory.m_hDC, client.Width());
    else PaintVertical(memory.m_hDC, client.Height());
}

void CSkinScrollBar::PaintHorizontal(HDC dc, int w) {
    CRect client;
    GetClientRect(&client);
    CDC::FromHandle(dc)->FillSolidRect(&client, 0x76554C);
    SkinResourceBitmap left(dc, IDB_LIST_HBAR_LEFT), right(dc, IDB_LIST_HBAR_RIGHT), track(dc, IDB_LIST_HBAR_TRACK),
        thumb(dc, IDB_LIST_HBAR_THUMB);
    left.Blit(dc, 0, 0, 26, 12);
    for (int i = 0; i <= w - 27; ++i) track.Blit(dc, 26 + i, 0, 1, 12);
    right.Blit(dc, w - 26, 0, 26, 12);
    thumb.Blit(dc, m_nThumb, 0, 26, 12);
}

void CSkinScrollBar::PaintVertical(HDC dc, int h) {
    CRect client;
    GetClientRect(&client);
    CDC::FromHandle(dc)->FillSolidRect(&client, 0x6B524A);
    SkinResourceBitmap top(dc, IDB_LIST_VBAR_TOP), up(dc, IDB_LIST_VBAR_UP), track(dc, IDB_LIST_VBAR_TRACK),
        down(dc, IDB_LIST_VBAR_DOWN), corner(dc, IDB_LIST_VBAR_CORNER), thumb(dc, IDB_LIST_VBAR_THUMB);
    top.Blit(dc, 0, 0, 12, 16);
    up.Blit(dc, 0, 16, 12, 26);
    for (int i = 0; i <= h - 38; ++i) track.Blit(dc, 0, 37 + i, 12, 1);
    down.Blit(dc, 0, h - 37, 12, 26);
    corner.Blit(dc, 1, h - 11, 11, 11);
    thumb.Blit(dc, 0, m_nThumb, 12, 26);
}

void CSkinScrollBar::OnLButtonDown(UINT, CPoint point) {
    SetCapture();
    switch (skin::bar_hit(m_axis, Length(), m_nThumb, Along(point), Across(point))) {
    case skin::BarPart::Thumb:
        m_bThumbPressed = 1;
        break;
    case skin::BarPart::BackArrow:
        m_bBackPressed = 1;
        SetTimer(kDelayTimer, 250);
        break;
    case skin::BarPart::ForwardArrow:
        m_bForwardPressed = 1;
        SetTimer(kDelayTimer, 250);
        break;
    default:
        break;
    }
    Default();
}

void CSkinScrollBar::OnTimer(UINT_PTR id) {
    if (id == kDelayTimer && (m_bBackPressed || m_bForwardPressed)) {
        KillTimer(kDelayTimer);
        SetTimer(kRepeatTimer, 50);
    } else if (id == kRepeatTimer) {
        if (m_bForwardPressed) Command(SB_LINEDOWN);
        if (m_bBackPressed) Command(SB_LINEUP);
    }
    Default();
}

void CSkinScrollBar::OnMouseMove(UINT, CPoint point) {
    if (m_axis == skin::BarAxis::Horizontal && m_bThumbPressed) m_bDragging = 1;
    const bool dragging = m_axis == skin::BarAxis::Horizontal ? m_bDragging != 0 : m_bThumbPressed != 0;
    if (dragging && m_pList && m_pList->m_hWnd) {
        const int cursor = Along(point);
        m_nThumb = cursor - skin::kThumbGrab;
        skin::Thumb scale = ListThumb();
        m_dScale = scale.scale;
        const int bar = m_axis == skin::BarAxis::Horizontal ? SB_HORZ : SB_VERT;
        const int units = skin::drag_scroll(m_axis, scale, cursor, m_pList->GetScrollPos(bar));
        if (units) {
            // Rows scroll by the list's real row height.
            if (m_axis == skin::BarAxis::Horizontal) m_pList->Scroll(CSize(units, 0));
            else m_pList->Scroll(CSize(0, units * m_pList->RowHeight()));
        }
        m_nThumb = skin::clamp_thumb(m_axis, Length(), m_nThumb);
        Invalidate(FALSE);
        m_pList->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    }
    Default();
}

void CSkinScrollBar::OnLButtonUp(UINT, CPoint point) {
    Sync();
    KillTimer(kRepeatTimer);
    KillTimer(kDelayTimer);
    ReleaseCapture();
    const skin::BarPart part = skin::bar_hit(m_axis, Length(), m_nThumb, Along(point), Across(point));
    switch (skin::release_command(m_axis, part, m_bBackPressed, m_bForwardPressed, m_nThumb, Along(point))) {
    case skin::BarCommand::LineBack: Command(SB_LINEUP); break;
    case skin::BarCommand::LineForward: Command(SB_LINEDOWN); break;
    case skin::BarCommand::PageBack: Command(SB_PAGEUP); break;
    case skin::BarCommand::PageForward: Command(SB_PAGEDOWN); break;
    case skin::BarCommand::None: break;
    }
    m_bBackPressed = m_bForwardPressed = m_bThumbPressed = m_bDragging = 0;
    if (m_axis == skin::BarAxis::Horizontal && m_pList && m_pList->m_hWnd)
        m_pList->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    Default();
}
