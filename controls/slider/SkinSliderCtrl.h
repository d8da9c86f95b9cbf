// The skinned slider: a trackbar whose channel and thumb it paints itself through custom draw: a
// bevelled thumb in shades of its colour (darker while held), a channel in its own colour with an
// optional selection band, over the parent's pixels where the trackbar's background is white.
#pragma once
#include "afxwin.h"
#include "controls/skin_core/slider_rules.h"

class CSkinSliderCtrl : public CSliderCtrl {
public:
    CSkinSliderCtrl();
    ~CSkinSliderCtrl() override;

    // The channel colour (shades derived again, no redraw), the thumb colour and the selection colour
    // (both redrawn).
    void SetChannelColour(COLORREF colour);
    void SetThumbColour(COLORREF colour);
    void SetSelectionColour(COLORREF colour);
    const skin::SliderShades& Shades() const { return m_shades; }
    // The system colours the slider draws with.
    static skin::SliderSystem SystemColours();

protected:
    afx_msg void OnCustomDraw(NMHDR* hdr, LRESULT* result);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

    void Derive();
    void DrawThumb(const NMCUSTOMDRAW& cd);
    void DrawChannel(const NMCUSTOMDRAW& cd);
    void LayOverParent(HDC dc);

    CDC m_dcBackground;
    CBitmap m_bmpBackground;
    HGDIOBJ m_hOldBackground = nullptr;
    COLORREF m_crSelection;
    COLORREF m_crChannel;
    COLORREF m_crThumb;
    skin::SliderShades m_shades;
};
