// olumbra's own slider: a trackbar whose channel, selection range and thumb it draws through custom
// draw in three colours and their shades, with division marks across the channel, over the parent's
// pixels captured beneath it. Every slider of the effects window is one.
#pragma once
#include "afxwin.h"
#include "soundfx/core/window_plans.h"

class CSkinSliderCtrl : public CSliderCtrl {
public:
    CSkinSliderCtrl();
    ~CSkinSliderCtrl() override;

    // Channel colour: shades derived again, no redraw. Thumb and selection colours: redrawn at once.
    void SetChannelColour(COLORREF colour);
    void SetThumbColour(COLORREF colour);
    void SetSelectionColour(COLORREF colour);
    // Range, tick step, coloured zone and position in one go (the pages' slider set-up).
    void Setup(int min, int max, int tick, int zone_lo, int zone_hi);
    // The parent's pixels under the control are captured again at the next paint (a page that shows
    // again may have moved or changed its background).
    void DropBackground();
    void DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const;

    // 1: three division marks at the quarters of the channel's width; 0: six at the sevenths of its height.
    BYTE m_bMarksAcross = 0;

protected:
    afx_msg void OnCustomDraw(NMHDR* hdr, LRESULT* result);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

    void Derive();
    void DeletePens();
    void DrawThumb(HDC dc, RECT r, bool held);
    void DrawChannel(HDC dc, RECT item);
    void CaptureBackground();

    HDC m_dcBackground = nullptr;
    HBITMAP m_bmpBackground = nullptr;
    HGDIOBJ m_hOldBackground = nullptr;
    enum Pen { kThumb, kLight1, kLight2, kDark1, kDark2, kBlack, kShadowBlend, kFaceBlend, kBlue, kHighlight, kPens };
    HPEN m_pens[kPens] = {};
    COLORREF m_crSelection, m_crChannel, m_crThumb;
    COLORREF m_crLight1 = 0, m_crLight2 = 0, m_crDark1 = 0, m_crDark2 = 0;
    COLORREF m_crShadowBlend = 0, m_crFaceBlend = 0, m_crHighlight = 0;
};
