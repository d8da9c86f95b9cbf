// The digital read-out: a static control that paints its text as seven-segment digits (with the
// colon, point and minus) in a text colour on a background colour, the unlit segments dimmed.
#pragma once
#include "afxwin.h"

class CColorStatic : public CStatic {
public:
    CColorStatic();
    ~CColorStatic() override;

    // -1: COLOR_BTNFACE and COLOR_BTNTEXT.
    void SetBkColor(COLORREF colour);
    void SetTextColor(COLORREF colour);
    // The unlit segments' colour (else a third of each channel of the text colour).
    void SetUnlitColor(COLORREF colour);
    void SetText(const CString& text);
    const CString& GetText() const { return m_strText; }
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBkColor() const { return m_crBack; }
    COLORREF GetUnlitColor() const;

    BYTE m_bShowUnlit = 1;

protected:
    afx_msg HBRUSH CtlColor(CDC* dc, UINT type);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

    BYTE m_bMetricsReady = 0;
    BYTE m_bExplicitUnlit = 0;
    CString m_strText = "0";
    int m_nPenWidth = 1;
    int m_nSegmentLength = 1;
    int m_nSegmentThickness = 1;
    COLORREF m_crBack = 0x000000;
    COLORREF m_crText = 0x00FF00;
    COLORREF m_crUnlit = 0x005500;
    CBrush m_brBack;
};
