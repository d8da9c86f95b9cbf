#include "RoundSliderCtrl.h"
#include "controls/skin/MemDC.h"
#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CRoundSliderCtrl, CSliderCtrl)

BEGIN_MESSAGE_MAP(CRoundSliderCtrl, CSliderCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CRoundSliderCtrl::CRoundSliderCtrl() = default;
CRoundSliderCtrl::~CRoundSliderCtrl() = default;

void CRoundSliderCtrl::SetZeroAngle(int degrees) {
    m_nZero = degrees;
    if (m_hWnd) Invalidate();
}

void CRoundSliderCtrl::SetInverted(BOOL inverted) {
    m_bInverted = inverted;
    if (m_hWnd) Invalidate();
}

skin::RoundRange CRoundSliderCtrl::Range() const {
    skin::RoundRange r;
    GetRange(r.min, r.max);
    r.zero_angle = m_nZero;
    r.inverted = m_bInverted != FALSE;
    return r;
}

void CRoundSliderCtrl::Recalculate() {
    CRect client;
    GetClientRect(&client);
    m_ptCentre = client.CenterPoint();
    m_nRadius = std::min(client.Width(), client.Height()) / 2 - 4;
    if (m_nRadius < 1) m_nRadius = 1;
}

BOOL CRoundSliderCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CRoundSliderCtrl::OnSize(UINT, int, int) {
    Default();
    Recalculate();
}

BOOL CRoundSliderCtrl::SetPosFromPoint(CPoint point) {
    if (!m_nRadius) Recalculate();
    int pos = skin::round_position_at(point.x - m_ptCentre.x, point.y - m_ptCentre.y, Range());
    if (pos == GetPos()) return FALSE;
    SetPos(pos);
    return TRUE;
}

void CRoundSliderCtrl::PostNotification(int code) {
    CWnd* parent = GetParent();
    if (!parent) return;
    UINT msg = (GetStyle() & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    parent->SendMessage(msg, MAKEWPARAM(code, GetPos()), (LPARAM)m_hWnd);
}

void CRoundSliderCtrl::OnLButtonDown(UINT, CPoint point) {
    if (m_bDragging) return;
    m_bDragging = 1;
    m_bMoved = 0;
    SetCapture();
    SetFocus();
    if (SetPosFromPoint(point)) {
        m_bMoved = 1;
        PostNotification(TB_THUMBTRACK);
    }
    Invalidate();
}

void CRoundSliderCtrl::OnMouseMove(UINT, CPoint point) {
    if (!m_bDragging) return;
    if (SetPosFromPoint(point)) {
        m_bMoved = 1;
        PostNotification(TB_THUMBTRACK);
        Invalidate();
    }
}

void CRoundSliderCtrl::OnLButtonUp(UINT, CPoint point) {
    if (!m_bDragging) return;
    m_bDragging = 0;
    ReleaseCapture();
    if (SetPosFromPoint(point)) {
        PostNotification(TB_THUMBTRACK);
        m_bMoved = 1;
    }
    if (m_bMoved) {
        PostNotification(TB_THUMBPOSITION);
        m_bMoved = 0;
    }
    Invalidate();
}

void CRoundSliderCtrl::OnKeyDown(UINT key, UINT, UINT) {
    skin::RoundKey k = skin::round_key(key);
    if (k.step == skin::RoundStep::None) {
        Default();
        return;
    }
    SetPos(skin::round_step(GetPos(), k.step, GetPageSize(), GetLineSize(), Range()));
    PostNotification(k.code);
    Invalidate();
}

void CRoundSliderCtrl::OnKeyUp(UINT key, UINT, UINT) {
    if (skin::round_key(key).step == skin::RoundStep::None) {
        Default();
        return;
    }
    PostNotification(skin::kTrackEndCode);
}

// The capture is this class's, not the trackbar's: the trackbar's own handling (which reports the end of
// a track it never began) is left out. A drag whose capture another window takes simply ends.
void CRoundSliderCtrl::OnCaptureChanged(CWnd* wnd) {
    if (m_bDragging && (!wnd || wnd->m_hWnd != m_hWnd)) {
        m_bDragging = 0;
        m_bMoved = 0;
    }
}

void CRoundSliderCtrl::OnPaint() {
    CPaintDC paint(this);
    if (!m_nRadius) Recalculate();
    CRect client;
    GetClientRect(&client);
    CMemDC memory(&paint, client);
    memory.FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));

    const int cx = m_ptCentre.x, cy = m_ptCentre.y, r = m_nRadius;
    CRgn clip;
    clip.CreateEllipticRgn(cx - r - 2, cy - r - 2, cx + r + 3, cy + r + 3);
    memory.SelectClipRgn(&clip);
    // The knob, its shaded ring lit from the upper left, the position's dot.
    CBrush knob(kKnobColour);
    CBrush* old_brush = memory.SelectObject(&knob);
    HGDIOBJ old_pen = memory.SelectStockObject(NULL_PEN);
    memory.Ellipse(cx - r, cy - r, cx + r + 1, cy + r + 1);
    const COLORREF light = color_lighten(kKnobColour, 102), dark = color_darken(kKnobColour, 102);
    for (int ring = r; ring >= r - 1; --ring)
        for (const skin::Point& p : skin::midpoint_circle({cx, cy}, ring))
            memory.SetPixel(p.x, p.y, skin::ring_colour(std::atan2((double)(p.y - cy), (double)(p.x - cx)), light, dark));
    skin::Point dot = skin::round_point({cx, cy}, r - 7, skin::round_angle(GetPos(), Range()));
    CBrush dot_brush(color_lighten(kKnobColour, 153));
    memory.SelectObject(&dot_brush);
    memory.Ellipse(dot.x - 3, dot.y - 3, dot.x + 4, dot.y + 4);
    memory.SelectObject(old_brush);
    memory.SelectObject(old_pen);
    memory.SelectClipRgn(nullptr);
    if (::GetFocus() == m_hWnd) {
        CRect focus(cx - r / 2, cy - r / 2, cx + r / 2, cy + r / 2);
        memory.DrawFocusRect(&focus);
    }
    CString text;
    GetWindowText(text);
    if (!text.IsEmpty()) {
        CFont* font = CFont::FromHandle(GetParent() ? GetParent()->GetFont() : nullptr);
        CFont* old_font = font ? memory.SelectObject(font) : nullptr;
        memory.SetBkMode(TRANSPARENT);
        memory.DrawText(text, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (old_font) memory.SelectObject(old_font);
    }
}
