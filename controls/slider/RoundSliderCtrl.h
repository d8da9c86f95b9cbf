// The round slider: a trackbar's range laid round a knob, the position shown as a dot on a shaded
// ring; dragged with the mouse or moved with the keys, with the trackbar's notifications to its
// parent.
#pragma once
#include "afxwin.h"
#include "controls/skin_core/round_slider_rules.h"

class CRoundSliderCtrl : public CSliderCtrl {
    DECLARE_DYNAMIC(CRoundSliderCtrl)
public:
    CRoundSliderCtrl();
    ~CRoundSliderCtrl() override;

    void SetZeroAngle(int degrees);
    int GetZeroAngle() const { return m_nZero; }
    void SetInverted(BOOL inverted);
    BOOL IsInverted() const { return m_bInverted; }
    skin::RoundRange Range() const;
    POINT Centre() const { return m_ptCentre; }
    int Radius() const { return m_nRadius; }

    // Sets the position from a client point by its angle round the centre; TRUE when it changed.
    virtual BOOL SetPosFromPoint(CPoint point);
    // Sends a trackbar notification code with the position to the parent.
    virtual void PostNotification(int code);

    static const COLORREF kKnobColour = 0x888824;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
    afx_msg void OnCaptureChanged(CWnd* wnd);
    DECLARE_MESSAGE_MAP()

    void Recalculate();

    int m_nZero = 0;
    BOOL m_bInverted = FALSE;
    BYTE m_bDragging = 0;
    BYTE m_bMoved = 0;
    int m_nRadius = 0;
    POINT m_ptCentre{};
};
