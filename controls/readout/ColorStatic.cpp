#include "ColorStatic.h"
#include "controls/skin/MemDC.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/readout_rules.h"

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CColorStatic::CColorStatic() { m_brBack.CreateSolidBrush(m_crBack); }

CColorStatic::~CColorStatic() = default;

void CColorStatic::SetBkColor(COLORREF colour) {
    m_crBack = colour == (COLORREF)-1 ? ::GetSysColor(COLOR_BTNFACE) : colour;
    m_brBack.DeleteObject();
    m_brBack.CreateSolidBrush(m_crBack);
    SetText(m_strText);
}

void CColorStatic::SetTextColor(COLORREF colour) {
    m_crText = colour == (COLORREF)-1 ? ::GetSysColor(COLOR_BTNTEXT) : colour;
    SetText(m_strText);
}

void CColorStatic::SetUnlitColor(COLORREF colour) {
    m_crUnlit = colour;
    m_bExplicitUnlit = 1;
    SetText(m_strText);
}

COLORREF CColorStatic::GetUnlitColor() const {
    if (m_bExplicitUnlit) return m_crUnlit;
    return RGB(GetRValue(m_crText) / 3, GetGValue(m_crText) / 3, GetBValue(m_crText) / 3);
}

void CColorStatic::SetText(const CString& text) {
    m_strText = text;
    if (m_hWnd) Invalidate(FALSE);
}

HBRUSH CColorStatic::CtlColor(CDC* dc, UINT) {
    dc->SetTextColor(m_crText);
    dc->SetBkColor(m_crBack);
    return (HBRUSH)m_brBack.m_hObject;
}

BOOL CColorStatic::OnEraseBkgnd(CDC*) { return TRUE; }

void CColorStatic::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (!m_bMetricsReady) {
        // Taken at the first paint and kept through later size changes.
        skin::SegmentMetrics m = skin::segment_metrics(client.bottom);
        m_nSegmentThickness = m.thickness;
        m_nSegmentLength = m.length;
        m_nPenWidth = m.thickness;
        m_bMetricsReady = 1;
    }
    // Digits wider than the control are drawn shorter, never cut at its right edge.
    const skin::SegmentMetrics fitted =
        skin::fit_segment_width({m_nSegmentThickness, m_nSegmentLength}, m_strText.str(), client.right);
    m_nSegmentLength = fitted.length;
    CMemDC memory(&paint, client);
    skin::Strokes strokes;
    skin::add_fill(strokes, skin_rect(client), m_crBack);
    skin::SegmentLayout layout = skin::segment_layout(m_strText.str(), {m_nSegmentThickness, m_nSegmentLength}, m_bShowUnlit != 0);
    const COLORREF unlit = GetUnlitColor();
    for (const skin::SegmentLine& l : layout.lines)
        skin::add_wide_line(strokes, l.lit ? m_crText : unlit, m_nPenWidth, {{l.x1, l.y1}, {l.x2, l.y2}});
    skin_paint_strokes(memory.m_hDC, strokes);
}
