// Views: a child window that paints through OnDraw, and the scroll view that keeps a logical size
// larger than its window and scrolls over it. Views are made with new and delete themselves when their
// window is destroyed; an owner may create one by itself (no document is needed).
#pragma once

// Sent to a view to run its OnInitialUpdate.
#ifndef WM_INITIALUPDATE
#define WM_INITIALUPDATE 0x0364
#endif

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    virtual void OnDraw(CDC* dc) = 0;
    virtual void OnPrepareDC(CDC* dc, void* info = nullptr);
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hint_object);

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void PostNcDestroy() override;
    afx_msg void OnPaint();
    afx_msg LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    static const CSize sizeDefault;

    // The logical size in `map_mode` (MM_TEXT: pixels); a page and a line step default to a tenth of
    // the size and of the page. Works before the window exists; the bars follow once it does.
    void SetScrollSizes(int map_mode, SIZE total, const SIZE& page = sizeDefault, const SIZE& line = sizeDefault);
    CSize GetTotalSize() const { return m_totalLog; }
    int GetMapMode() const { return m_nMapMode; }
    CPoint GetScrollPosition() const;
    CPoint GetDeviceScrollPosition() const { return GetScrollPosition(); }
    void ScrollToPosition(POINT position);
    // Scroll code: horizontal code in the low byte, vertical in the high byte, 0xFF for none.
    virtual BOOL OnScroll(UINT scroll_code, UINT position, BOOL do_scroll = TRUE);
    virtual BOOL OnScrollBy(CSize size, BOOL do_scroll = TRUE);
    void OnPrepareDC(CDC* dc, void* info = nullptr) override;

protected:
    void UpdateBars();
    afx_msg int OnCreate(LPCREATESTRUCTA cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* bar);
    afx_msg void OnVScroll(UINT code, UINT position, CScrollBar* bar);
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    DECLARE_MESSAGE_MAP()

    int m_nMapMode = 0;
    CSize m_totalLog, m_pageDev, m_lineDev;
    bool m_bInsideUpdate = false;
};
