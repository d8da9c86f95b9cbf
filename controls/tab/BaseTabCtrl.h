// The owner-drawn tab control that holds a dialog's pages: up to 16 child dialogs, one per tab, each
// created hidden inside the control and shown when its tab is the selected one at the next paint. It
// paints its tabs (shaded faces with a shadow, bitmaps, or buttons), its background (a tiled bitmap or a
// colour with a white page outline) and its tab texts.
#pragma once
#include "afxwin.h"
#include "controls/skin_core/control_variants.h"

// Clears the pressed mark of every tab but the selected one. Wine's tab control marks a tab pressed
// when it is selected by a click or TCM_SETCURSEL, but a change by the keyboard or TCM_SETCURFOCUS
// leaves the old mark behind, and the next click then only clears marks instead of selecting the
// clicked tab. Multi-select button tabs keep their marks: there they are the user's choice.
void ClearStaleTabPress(HWND tab);

class CBaseTabCtrl : public CTabCtrl {
public:
    enum { kMaxPages = 16 };
    CBaseTabCtrl();
    ~CBaseTabCtrl() override;

    static void SetDefaultVariant(const skin::TabVariant* variant);
    void SetVariant(const skin::TabVariant* variant);

    // 0 when 16 pages exist already, else 1: the tab, the page created hidden inside the control.
    int AddPage(const char* text, CDialog* page, UINT dialog_id, int image = -1, UINT normal_bitmap = 0,
                UINT selected_bitmap = 0);
    // The background from this module's bitmap resource (0 and none when it is missing), or a handle.
    int SetBitmap(UINT resource_id);
    int SetBitmapHandle(HBITMAP bitmap);
    void DeleteBitmap();
    int SetImageList(CImageList* list);
    BOOL LayoutPage(int index);
    // Hides the active page (saving its data), selects and shows page `index`; 0 when out of range.
    int SetActivePage(int index);
    UINT DrawTabBitmap(CDC* dc, int index, RECT* rect, BOOL selected);
    int DrawTabText(CDC* dc, const char* text, COLORREF colour, RECT* rect, BOOL selected);
    void DrawTabImage(CDC* dc, const TCITEMA& item, RECT* rect);
    void DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const;

    int m_nPageCount = 0;
    int m_nGradientStyle = 10;
    UINT m_nPageIds[kMaxPages] = {};
    UINT m_nTabBitmaps[kMaxPages][2] = {};
    CDialog* m_pPages[kMaxPages] = {};
    COLORREF m_crSelected = 0x006262;
    COLORREF m_crNormal = 0xC04020;
    HBITMAP m_hBackBitmap = nullptr;
    int m_nBackWidth = 0, m_nBackHeight = 0;
    int m_nTextEffect = 0;      // 0 plain, 1 raised, other engraved
    COLORREF m_crText = 0xFF0000;
    COLORREF m_crBack = 0xF7ECE7;
    int m_nTextOffsetY = 3, m_nTextOffsetX = 3;
    CFont m_font;
    int m_nActivePage = 0;

protected:
    void PreSubclassWindow() override;
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

    void DrawTabFace(CDC* dc, int index, CRect rect, bool selected);
    void DrawButtonFace(CDC* dc, int index, CRect rect, bool selected);

    const skin::TabVariant* m_pVariant;
    static const skin::TabVariant* s_defaultVariant;
};
