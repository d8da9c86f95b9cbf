// The skinned progress bar: a double-buffered bar in shades of one base colour, a bevelled strip (or a
// bevelled column when vertical), or, animated, diagonal stripes that move on timer 100.
#pragma once
#include "afxwin.h"
#include "controls/skin_core/progress_rules.h"

class CSkinProgressCtrl : public CProgressCtrl {
public:
    CSkinProgressCtrl();
    ~CSkinProgressCtrl() override;

    void SetBarColour(COLORREF colour);
    COLORREF GetBarColour() const { return m_crBase; }
    const skin::ProgressShades& Shades() const { return m_shades; }
    int GetPhase() const { return m_nPhase; }

    // Stripes over the whole control instead of the position; the owner runs timer 100 (25 ms).
    BOOL m_bAnimated = FALSE;
    static const UINT_PTR kTimerId = 100;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

    int m_nPhase = 0;
    COLORREF m_crBase;
    skin::ProgressShades m_shades;
};
