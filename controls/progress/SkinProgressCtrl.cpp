#include "SkinProgressCtrl.h"
#include "controls/skin/MemDC.h"
#include "controls/skin/SkinPaint.h"

BEGIN_MESSAGE_MAP(CSkinProgressCtrl, CProgressCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CSkinProgressCtrl::CSkinProgressCtrl() : m_crBase(::GetSysColor(COLOR_HIGHLIGHT)) {
    m_shades = skin::progress_shades(m_crBase, skin_system_shades());
}

CSkinProgressCtrl::~CSkinProgressCtrl() = default;

void CSkinProgressCtrl::SetBarColour(COLORREF colour) {
    m_crBase = colour;
    m_shades = skin::progress_shades(m_crBase, skin_system_shades());
    if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

BOOL CSkinProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CSkinProgressCtrl::OnTimer(UINT_PTR id) {
    if (id != kTimerId) return;
    KillTimer(kTimerId);
    m_nPhase = skin::progress_next_phase(m_nPhase);
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_INVALIDATE);
    SetTimer(kTimerId, 25);
}

void CSkinProgressCtrl::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemDC memory(&paint, client);
    int low = 0, high = 0;
    GetRange(low, high);
    const bool vertical = (GetStyle() & PBS_VERTICAL) != 0;
    skin::Rect bar = skin::progress_bar_rect(skin_rect(client), low, high, GetPos(), vertical, m_bAnimated != FALSE);
    skin_paint_strokes(memory.m_hDC, skin::progress_strokes(skin_rect(client), bar, m_shades, ::GetSysColor(COLOR_BTNFACE),
                                                            skin_system_shades(), vertical, m_bAnimated != FALSE, m_nPhase));
}
