// The program's own tooltip: a borderless popup shaped as a rounded balloon whose tail points at the
// cursor, filled with a shaded green, showing a text and an optional icon. Owners register windows
// (AddTool) and feed it their mouse messages (RelayEvent); the tip shows after the cursor has rested
// over a registered window and hides when the cursor moves off or a button is pressed. UI thread only.
#pragma once
#include "afxwin.h"
#include "controls/skin_core/tip_logic.h"
#include <map>

class CBalloonTip : public CWnd {
public:
    CBalloonTip();
    ~CBalloonTip() override;

    BOOL Create(CWnd* parent);
    // Registers (or replaces) `wnd` with its text and icon.
    void AddTool(CWnd* wnd, const char* text, HICON icon = nullptr);
    void RemoveTool(CWnd* wnd);
    // Stores the text and the point (or the cursor) and starts the rest delay.
    void ShowTip(const char* text, const POINT* at = nullptr);
    void SetIcon(HICON icon);
    // Every message the owner pre-translates (and a button's own mouse messages).
    void RelayEvent(const MSG* msg);
    // The tip's gradient fill; it reads no member (the libraries' label borrows it).
    static void DrawGradient(HDC dc, COLORREF colour, RECT rect, int style);

    BOOL IsShowing() const { return m_relay.showing(); }
    int ToolCount() const { return (int)m_tools.size(); }
    const CString& GetText() const { return m_strText; }
    // The window the tip puts on screen for its text and icon, and where it goes for a cursor point.
    skin::TipShape TipShape();
    static skin::Point TipOrigin(POINT cursor, const skin::TipShape& shape);

    UINT m_nDelay = 500;
    COLORREF m_crBack = 0x209820;
    COLORREF m_crText;
    int m_nGradientStyle = 7;
    int m_nEmboss = 1;

    // Seams for tests: what lies under the cursor and where the cursor is.
    static HWND(WINAPI* s_windowFromPoint)(POINT);
    static BOOL(WINAPI* s_getCursorPos)(POINT*);

protected:
    afx_msg void OnPaint();
    afx_msg int OnCreate(LPCREATESTRUCTA cs);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    struct Tool {
        CString text;
        HICON icon = nullptr;
    };
    const Tool* ToolUnder(POINT cursor) const;
    // The balloon's region (owned by the caller) for the current text and icon.
    HRGN ComputeTipRegion(skin::TipShape* shape);
    void Hide();

    const char* m_szClass;
    CPoint m_ptPosition;
    CString m_strText;
    UINT_PTR m_nTimer = 0;
    HICON m_hIcon = nullptr;
    int m_nIconWidth = 0;
    int m_nIconHeight = 0;
    HFONT m_hFont = nullptr;
    std::map<HWND, Tool> m_tools;
    skin::TipRelay m_relay;
};
