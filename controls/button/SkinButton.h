// The owner-drawn push button of every skinned window: a face in the state's colour and style (hover
// or pressed, focused, normal), an optional pair of icons, a text with an optional one-pixel effect,
// hover tracking, an optional latched (check) mode, a popup menu or a link opened on click, and a
// balloon tooltip. Dialogs subclass their buttons with it and set its public members.
#pragma once
#include "afxwin.h"
#include "controls/menu/GlintMenu.h"
#include "controls/skin_core/control_variants.h"
#include "controls/tip/BalloonTip.h"

class CSkinButton : public CButton {
public:
    CSkinButton();
    ~CSkinButton() override;

    // The gradient profile of this module's buttons, and of one button.
    static void SetDefaultVariant(const skin::ButtonVariant* variant);
    void SetVariant(const skin::ButtonVariant* variant);

    // Icons from this module's resources: the second id 0 means none, (UINT)-2 a grey copy of the first.
    int LoadIcons(UINT in_id, UINT out_id);
    // Takes the icons (the out icon may be NULL or kGreyIcon); 1 when one cannot be inspected.
    int SetIcons(HICON in, HICON out);
    int SetPressed(BOOL state, BOOL repaint = TRUE);
    BOOL IsPressed() const { return m_bChecked; }
    int SetDefaultColours(BOOL repaint = TRUE);
    // 0, or 3 for an index above 5.
    int SetColour(BYTE index, COLORREF colour, BOOL repaint = TRUE);
    // 0, 3 for an index above 5, 5 for a shade outside -255..255.
    int OffsetColour(BYTE index, short shade, BOOL repaint = TRUE);
    COLORREF GetColour(BYTE index) const { return index < 6 ? m_crColours[index] : CLR_INVALID; }
    void SetTooltipText(const char* text, BOOL activate = TRUE);
    void DropBackgroundCache(BOOL repaint = TRUE);
    // Copies at most 259 bytes (never half a double-byte character); always terminated.
    int SetUrl(const char* url);
    const char* GetUrl() const { return m_szUrl; }

    BOOL IsHovered() const { return m_bHovered; }
    BOOL IsCheckMode() const { return m_bCheckMode; }
    BOOL IsDefaultButton() const { return m_bDefault; }
    int ButtonType() const { return m_nButtonType; }
    HICON InIcon() const { return m_hIconIn; }
    HICON OutIcon() const { return m_hIconOut; }
    CSize InIconSize() const { return CSize(m_cxIconIn, m_cyIconIn); }

    virtual int DrawBackground(CDC* dc, RECT* rect);
    virtual int DrawBorder(CDC* dc, RECT* rect);
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // The button's shaded fill.
    void DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const;

    static const HICON kGreyIcon;

    // Public look, as the dialogs set it.
    COLORREF m_crFocusFace = 0xC41010;
    COLORREF m_crHoverFace = 0x20C020;
    COLORREF m_crNormalFace = 0xC48010;
    BYTE m_nFocusStyle = 0;
    BYTE m_nHoverStyle = 0;
    BYTE m_nNormalStyle = 0;
    int m_nTextEffect = 0;       // 0 plain, 1 dark shadow, 2 white highlight
    BYTE m_bDoubleFace = 0;      // gradient faces get a darker copy one pixel down and right
    BYTE m_nIconAlign = 0;       // 0 left of the text, 1 above, 2 right
    BOOL m_bFlatFocus = FALSE;   // flat buttons draw the focus rectangle too
    BOOL m_bFlat = TRUE;         // no 3-D border, hover tracking on
    BOOL m_bDrawBorder = TRUE;   // flat buttons draw DrawBorder while pressed or hovered
    BOOL m_bTrackWhenInactive = TRUE;
    HCURSOR m_hCursor = nullptr; // shown over the button; destroyed with it
    HWND m_hMenuOwner = nullptr; // receives the chosen menu command
    GlintMenu m_menu;            // opened on click when it holds a menu
    CBalloonTip m_tip;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    afx_msg UINT OnGetDlgCode();
    afx_msg HBRUSH CtlColor(CDC* dc, UINT type);
    afx_msg void OnSysColorChange();
    afx_msg LRESULT OnSetStyle(WPARAM wp, LPARAM lp);
    afx_msg LRESULT OnSetCheck(WPARAM wp, LPARAM lp);
    afx_msg LRESULT OnGetCheck(WPARAM wp, LPARAM lp);
    afx_msg LRESULT OnGetImage(WPARAM type, LPARAM lp);
    afx_msg LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu);
    afx_msg void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    afx_msg void OnEnable(BOOL enable);
    afx_msg void OnKillFocus(CWnd* next);
    afx_msg void OnCancelMode();
    afx_msg void OnActivate(UINT state, CWnd* other, BOOL minimised);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT msg);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg LRESULT OnMouseLeave(WPARAM wp, LPARAM lp);
    afx_msg BOOL OnClicked();
    DECLARE_MESSAGE_MAP()

    void CancelHover();
    void Repaint(BOOL repaint) {
        if (repaint && m_hWnd) Invalidate();
    }
    void ReleaseBackgroundCache();
    void DrawFace(CDC* dc, CRect rect, bool pressed, bool focused);
    void DrawIconAndText(CDC* dc, CRect rect, bool pressed, bool disabled);

    const skin::ButtonVariant* m_pVariant;
    COLORREF m_crColours[6];
    BOOL m_bHovered = FALSE;
    BOOL m_bTransparent = FALSE;
    BOOL m_bPressed = FALSE;
    BOOL m_bFocused = FALSE;
    BOOL m_bDisabled = FALSE;
    BOOL m_bDefault = FALSE;
    BOOL m_bCheckMode = FALSE;
    BOOL m_bChecked = FALSE;
    BOOL m_bMenuShowing = FALSE;
    int m_nButtonType = 31;
    char m_szUrl[260];
    HICON m_hIconIn = nullptr;
    HICON m_hIconOut = nullptr;
    int m_cxIconIn = 0, m_cyIconIn = 0, m_cxIconOut = 0, m_cyIconOut = 0;
    HDC m_hCacheDC = nullptr;
    HBITMAP m_hCacheBitmap = nullptr;
    HGDIOBJ m_hCacheOld = nullptr;
    static const skin::ButtonVariant* s_defaultVariant;
};
