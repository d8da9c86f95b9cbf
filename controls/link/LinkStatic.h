// The hyperlink static: a static text that shows a link in a link, visited or hover colour, underlined
// always, never or while hovered, with a hand cursor and a tooltip naming the target, and opens the
// target with the shell when clicked (falling back to the registered browser command). A target that
// will not open is reported in a message box through the framework's seam.
#pragma once
#include "afxwin.h"

class CLinkStatic : public CStatic {
public:
    CLinkStatic();
    ~CLinkStatic() override;

    void SetLinkTarget(const CString& target);
    const CString& GetLinkTarget() const { return m_strTarget; }
    // -1 as the hover colour: COLOR_HIGHLIGHT.
    void SetLinkColours(COLORREF link, COLORREF visited, COLORREF hover = (COLORREF)-1);
    void SetVisited(BOOL visited = TRUE);
    BOOL IsVisited() const { return m_bVisited; }
    BOOL IsHovering() const { return m_bHovering; }
    // 1 always underlined, 0 never, -1 while hovered.
    void SetUnderlineMode(int mode);
    int GetUnderlineMode() const { return m_nUnderline; }
    void SetAutoSize(BOOL fit) { m_bAdjustToFit = fit; }
    // The colour the text is drawn in now.
    COLORREF CurrentColour() const;
    HCURSOR GetLinkCursor() const { return m_hCursor; }
    CToolTipCtrl& ToolTip() { return m_tip; }

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Opens a target as a click does: through the shell, else with the browser command of the ".htm"
    // class. The shell's result (above 32 on success).
    static int OpenTarget(const char* target, int show);

    static const UINT_PTR kHoverTimer = 100;

protected:
    void PreSubclassWindow() override;
    afx_msg void OnClicked();
    afx_msg HBRUSH CtlColor(CDC* dc, UINT type);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT msg);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

    void FitWindow();
    void LoadDefaultCursor();

    COLORREF m_crLink = 0xEE0000;
    COLORREF m_crVisited = 0x8B1A55;
    COLORREF m_crHover = 0x0000FF;
    BOOL m_bHovering = FALSE;
    BOOL m_bVisited = FALSE;
    int m_nUnderline = -1;
    BOOL m_bAdjustToFit = TRUE;
    CString m_strTarget;
    CFont m_fontUnderline;
    CFont m_fontPlain;
    HCURSOR m_hCursor = nullptr;
    CToolTipCtrl m_tip;
};
