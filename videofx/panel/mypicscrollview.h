// The preview view of the region, picture and text pages: a picture at its natural size with one
// effect's rectangle and label over it, dragged and resized with the mouse or set from a popup menu;
// in picture mode (effect index -1) it reports the pixel a click lands on. It tells its owner page
// everything with WM_PREVIEW_NOTIFY. The picture is guarded by the effect table's lock: the frame
// thread copies frames into it under the lock and the view paints under it.
#pragma once
#include "afxwin.h"
#include "afxview.h"
#include <atomic>
#include <mutex>
#include "engine/image/rgb_image.h"
#include "videofx/rules/preview_rules.h"

class mypicscrollview : public CScrollView {
    DECLARE_DYNCREATE(mypicscrollview)
public:
    mypicscrollview();
    ~mypicscrollview() override;

    // Creates the view over `area` (a control of `owner`, 2 pixels further left), owned by the page.
    static mypicscrollview* CreateOver(CWnd* owner, UINT area_id);

    void OnDraw(CDC* dc) override;
    void OnInitialUpdate() override;

    // The picture's extent: the limits of the rectangle and the scroll sizes (UI thread).
    void SetExtent(int width, int height);
    int ExtentWidth() const { return m_extentWidth; }
    int ExtentHeight() const { return m_extentHeight; }
    void SetRect(const videofx::preview::Rect& r) { m_rect = r; }
    const videofx::preview::Rect& GetRect() const { return m_rect; }

    // A new picture of width x height filled with `fill` (COLORREF order ignored: bytes B,G,R of
    // fill's low 24 bits), replacing the old one under the table's lock; the extent follows.
    void NewPicture(int width, int height, int fill = 0);
    // With the table's lock held: the frame copied into the picture (a new picture when the size
    // differs; the extent follows on the view's thread); the view repaints.
    void CopyFrameLocked(int width, int height, const uint8_t* frame);
    // With the table's lock held: the picture (may be null).
    CRgbImage* PictureLocked() { return m_picture; }
    // Replaces the picture by `picture` (taken over) under the table's lock.
    void TakePicture(CRgbImage* picture);

    int m_effectIndex = -1;
    HWND m_owner = nullptr;
    int m_emptyState = 0;
    std::atomic<int> m_noBackground{1};

protected:
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnRButtonUp(UINT flags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message);
    afx_msg void OnMenuItem(UINT id);
    afx_msg LRESULT OnAdoptSize(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void Notify(WPARAM code, int x, int y);
    void DrawDragOutline();
    void DrawFramedPanel(CDC* dc, const CRect& r, COLORREF base);
    void EndDrag();

    CFont m_font, m_smallFont;
    videofx::preview::Rect m_rect{88, 72, 88, 72};
    videofx::preview::Rect m_dragRect{};  // picture coordinates of the outline shown while dragging
    int m_hit = 0;
    bool m_dragging = false;
    bool m_outlineShown = false;
    int m_grabX = 0, m_grabY = 0;
    CRgbImage* m_picture = nullptr;
    // The picture is replaced and written on this view's thread under the table's lock, and by a
    // frame's hand-over on the host's thread under both locks (table first). Painting holds only this
    // one: the frames' chain never waits for a paint, only the hand-over (once a second) may.
    std::mutex m_drawMutex;
    int m_extentWidth = 352, m_extentHeight = 288;
    COLORREF m_panelColour = 0x20C0C0;
};
