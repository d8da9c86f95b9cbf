// The timeline strip under the media list: the shown file's frame index as a scrollable picture
// with the cut range, thumbnails and times, edited with the mouse in range-edit mode. The picture
// and the mouse rules are the window-free timeline code; this window paints them with GDI, keeps a
// device context for the workers' progress bar and reports to its owner on the notify bus.
#pragma once
#include "afxwin.h"
#include "afxview.h"
#include "app/timeline/timeline_mouse.h"

class myeditview : public CScrollView {
    DECLARE_DYNCREATE(myeditview)
public:
    myeditview();
    ~myeditview() override;

    // Creates the view over the placeholder control of `owner` (which it replaces on screen), with
    // its fonts, kept DC and owner; nullptr when the window cannot be made.
    static myeditview* CreateOver(CWnd* owner, UINT placeholder_id, UINT view_id);

    void OnDraw(CDC* dc) override;
    void OnInitialUpdate() override;
    BOOL OnScroll(UINT scroll_code, UINT position, BOOL do_scroll = TRUE) override;

    // Shows a list (copied) with its range and title; the range is clamped to the list.
    void ShowSegments(int file_index, const SegmentList& segments, int start, int end, const char* path,
                      const MediaFileRecord* blocks_from);
    // Shows nothing: the empty picture.
    void ClearSegments();
    void SetRange(int start, int end);
    int SegmentCount() const { return int(m_state.segments.size()); }
    const Segment* SegmentAt(int index) const;
    int ClientWidth() const;
    void ScrollToX(int x);
    int ScrollX() const { return GetScrollPosition().x; }

    TimelineState& state() { return m_state; }
    const TimelineState& state() const { return m_state; }

    int file_index = -1;
    HWND owner = nullptr;
    HDC dc = nullptr;
    int band_height = 1;
    // The two parameter-set blocks of the shown list, copied in with it.
    int param_len1 = 0, param_len2 = 0;
    unsigned char param_block1[1024] = {}, param_block2[1024] = {};

protected:
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnRButtonUp(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnDlgNotify(WPARAM code, LPARAM argument);
    DECLARE_MESSAGE_MAP()

private:
    MouseFrame Frame() const;
    // Carries out what a mouse handler decided; false when the handler must not call Default.
    bool Apply(const MouseOutcome& out);
    void Progress(int entry);

    TimelineState m_state;
    ThumbSpots m_thumbSpots;
    CFont m_labelFont, m_messageFont;
};
