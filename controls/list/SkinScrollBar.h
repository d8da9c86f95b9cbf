// The skinned list's scroll bars: 12-pixel static windows beside the list, painted from bitmaps, that
// scroll the list with scroll messages (arrows by the line, the track by the page, with repeat while an
// arrow is held: timer 2 after 250 ms, then timer 1 every 50 ms) and with thumb drags. The
// horizontal and the vertical bar differ in their geometry and in two small rules (scroll_rules.h).
#pragma once
#include "afxwin.h"
#include "controls/skin_core/scroll_rules.h"

class CSkinListCtrl;

class CSkinScrollBar : public CStatic {
public:
    explicit CSkinScrollBar(skin::BarAxis axis) : m_axis(axis), m_nThumb(skin::bar_metrics(axis).thumb_start) {}
    ~CSkinScrollBar() override;

    // The list the bar scrolls (set by the list when it creates its bars).
    void SetList(CSkinListCtrl* list) { m_pList = list; }
    CSkinListCtrl* List() const { return m_pList; }
    int ThumbPosition() const { return m_nThumb; }
    double Scale() const { return m_dScale; }
    // Recomputes the thumb from the list's scroll position; repaints when it moved.
    void Sync();

    static const UINT_PTR kRepeatTimer = 1, kDelayTimer = 2;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

    int Length() const;
    int Along(CPoint p) const { return m_axis == skin::BarAxis::Horizontal ? p.x : p.y; }
    int Across(CPoint p) const { return m_axis == skin::BarAxis::Horizontal ? p.y : p.x; }
    skin::Thumb ListThumb() const;
    void Command(int code);
    void PaintHorizontal(HDC dc, int w);
    void PaintVertical(HDC dc, int h);

    const skin::BarAxis m_axis;
    BYTE m_bForwardPressed = 0;  // right or down arrow
    BYTE m_bBackPressed = 0;     // left or up arrow
    BYTE m_bDragging = 0;
    BYTE m_bThumbPressed = 0;
    int m_nThumb;
    double m_dScale = 0;
    CSkinListCtrl* m_pList = nullptr;
};

class CSkinHScrollBar : public CSkinScrollBar {
public:
    CSkinHScrollBar() : CSkinScrollBar(skin::BarAxis::Horizontal) {}
};

class CSkinVScrollBar : public CSkinScrollBar {
public:
    CSkinVScrollBar() : CSkinScrollBar(skin::BarAxis::Vertical) {}
};
