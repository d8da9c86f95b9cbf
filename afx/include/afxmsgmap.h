// MFC-style message maps. Each entry holds a small cracker that calls the named handler of the class
// that declared the map, so handler names and signatures are MFC's own.
#pragma once
#include <windows.h>

class CWnd;

// Returns TRUE when the message was handled; *result is then the window procedure's result.
typedef BOOL (*AFX_MSG_CRACKER)(CWnd* wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // window message
    UINT nCode;      // control notification code (WM_COMMAND, WM_NOTIFY)
    UINT nID;        // first control id
    UINT nLastID;    // last control id of a range
    AFX_MSG_CRACKER pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Messages reflected back to the control that sent them.
#define WM_REFLECT_BASE 0xBC00

#define DECLARE_MESSAGE_MAP()                                  \
protected:                                                     \
    static const AFX_MSGMAP* GetThisMessageMap();              \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                \
        typedef theClass ThisClass;                                                  \
        typedef baseClass TheBaseClass;                                              \
        (void)sizeof(ThisClass*);                                                    \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                            \
            { 0, 0, 0, 0, nullptr } };                                               \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap;                                                          \
    }

// Entry for message `msg` whose handler body is `call` (w is the object, wParam/lParam the arguments).
#define AFX_ENTRY(msg, code, id, last, call)                                              \
    { (msg), (code), (id), (last), [](CWnd* w_, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* r_) -> BOOL { \
        ThisClass* w = static_cast<ThisClass*>(w_); (void)w; (void)message; (void)wParam; (void)lParam; \
        call; (void)r_; return TRUE; } },
#define AFX_ENTRY_V(msg, call) AFX_ENTRY(msg, 0, 0, 0, (call, *r_ = 0))
#define AFX_ENTRY_R(msg, call) AFX_ENTRY(msg, 0, 0, 0, *r_ = (LRESULT)(call))

#define ON_WM_CREATE()        AFX_ENTRY(WM_CREATE, 0, 0, 0, *r_ = w->OnCreate((LPCREATESTRUCTA)lParam))
#define ON_WM_DESTROY()       AFX_ENTRY_V(WM_DESTROY, w->OnDestroy())
#define ON_WM_CLOSE()         AFX_ENTRY_V(WM_CLOSE, w->OnClose())
#define ON_WM_PAINT()         AFX_ENTRY_V(WM_PAINT, w->OnPaint())
#define ON_WM_NCPAINT()       AFX_ENTRY_V(WM_NCPAINT, w->OnNcPaint())
#define ON_WM_ERASEBKGND()    AFX_ENTRY_R(WM_ERASEBKGND, w->OnEraseBkgnd(CDC::FromHandle((HDC)wParam)))
#define ON_WM_TIMER()         AFX_ENTRY_V(WM_TIMER, w->OnTimer((UINT_PTR)wParam))
#define ON_WM_SIZE()          AFX_ENTRY_V(WM_SIZE, w->OnSize((UINT)wParam, (short)LOWORD(lParam), (short)HIWORD(lParam)))
#define ON_WM_MOVE()          AFX_ENTRY_V(WM_MOVE, w->OnMove((short)LOWORD(lParam), (short)HIWORD(lParam)))
#define ON_WM_SHOWWINDOW()    AFX_ENTRY_V(WM_SHOWWINDOW, w->OnShowWindow((BOOL)wParam, (UINT)lParam))
#define ON_WM_SYSCOMMAND()    AFX_ENTRY_V(WM_SYSCOMMAND, w->OnSysCommand((UINT)wParam, lParam))
#define ON_WM_QUERYDRAGICON() AFX_ENTRY_R(WM_QUERYDRAGICON, w->OnQueryDragIcon())
#define ON_WM_SETCURSOR()     AFX_ENTRY_R(WM_SETCURSOR, w->OnSetCursor(CWnd::FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_MOUSEMOVE()     AFX_ENTRY_V(WM_MOUSEMOVE, w->OnMouseMove((UINT)wParam, CPoint(lParam)))
#define ON_WM_LBUTTONDOWN()   AFX_ENTRY_V(WM_LBUTTONDOWN, w->OnLButtonDown((UINT)wParam, CPoint(lParam)))
#define ON_WM_LBUTTONUP()     AFX_ENTRY_V(WM_LBUTTONUP, w->OnLButtonUp((UINT)wParam, CPoint(lParam)))
#define ON_WM_LBUTTONDBLCLK() AFX_ENTRY_V(WM_LBUTTONDBLCLK, w->OnLButtonDblClk((UINT)wParam, CPoint(lParam)))
#define ON_WM_RBUTTONDOWN()   AFX_ENTRY_V(WM_RBUTTONDOWN, w->OnRButtonDown((UINT)wParam, CPoint(lParam)))
#define ON_WM_RBUTTONUP()     AFX_ENTRY_V(WM_RBUTTONUP, w->OnRButtonUp((UINT)wParam, CPoint(lParam)))
#define ON_WM_KEYDOWN()       AFX_ENTRY_V(WM_KEYDOWN, w->OnKeyDown((UINT)wParam, LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_KEYUP()         AFX_ENTRY_V(WM_KEYUP, w->OnKeyUp((UINT)wParam, LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_CHAR()          AFX_ENTRY_V(WM_CHAR, w->OnChar((UINT)wParam, LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_SYSKEYDOWN()    AFX_ENTRY_V(WM_SYSKEYDOWN, w->OnSysKeyDown((UINT)wParam, LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_RBUTTONDBLCLK() AFX_ENTRY_V(WM_RBUTTONDBLCLK, w->OnRButtonDblClk((UINT)wParam, CPoint(lParam)))
#define ON_WM_MOUSEWHEEL()    AFX_ENTRY_R(WM_MOUSEWHEEL, w->OnMouseWheel(LOWORD(wParam), (short)HIWORD(wParam), CPoint(lParam)))
#define ON_WM_NCLBUTTONDOWN() AFX_ENTRY_V(WM_NCLBUTTONDOWN, w->OnNcLButtonDown((UINT)wParam, CPoint(lParam)))
#define ON_WM_NCLBUTTONUP()   AFX_ENTRY_V(WM_NCLBUTTONUP, w->OnNcLButtonUp((UINT)wParam, CPoint(lParam)))
#define ON_WM_NCLBUTTONDBLCLK() AFX_ENTRY_V(WM_NCLBUTTONDBLCLK, w->OnNcLButtonDblClk((UINT)wParam, CPoint(lParam)))
#define ON_WM_NCMOUSEMOVE()   AFX_ENTRY_V(WM_NCMOUSEMOVE, w->OnNcMouseMove((UINT)wParam, CPoint(lParam)))
#define ON_WM_NCACTIVATE()    AFX_ENTRY_R(WM_NCACTIVATE, w->OnNcActivate((BOOL)wParam))
#define ON_WM_NCCALCSIZE()    AFX_ENTRY_V(WM_NCCALCSIZE, w->OnNcCalcSize((BOOL)wParam, (NCCALCSIZE_PARAMS*)lParam))
#define ON_WM_NCDESTROY()     AFX_ENTRY_V(WM_NCDESTROY, w->OnNcDestroy())
#define ON_WM_ACTIVATE()      AFX_ENTRY_V(WM_ACTIVATE, w->OnActivate(LOWORD(wParam), CWnd::FromHandle((HWND)lParam), HIWORD(wParam)))
#define ON_WM_MOUSEACTIVATE() AFX_ENTRY_R(WM_MOUSEACTIVATE, w->OnMouseActivate(CWnd::FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_GETMINMAXINFO() AFX_ENTRY_V(WM_GETMINMAXINFO, w->OnGetMinMaxInfo((MINMAXINFO*)lParam))
#define ON_WM_WINDOWPOSCHANGING() AFX_ENTRY_V(WM_WINDOWPOSCHANGING, w->OnWindowPosChanging((WINDOWPOS*)lParam))
#define ON_WM_WINDOWPOSCHANGED() AFX_ENTRY_V(WM_WINDOWPOSCHANGED, w->OnWindowPosChanged((WINDOWPOS*)lParam))
#define ON_WM_CAPTURECHANGED() AFX_ENTRY_V(WM_CAPTURECHANGED, w->OnCaptureChanged(CWnd::FromHandle((HWND)lParam)))
#define ON_WM_ENABLE()        AFX_ENTRY_V(WM_ENABLE, w->OnEnable((BOOL)wParam))
#define ON_WM_CONTEXTMENU()   AFX_ENTRY_V(WM_CONTEXTMENU, w->OnContextMenu(CWnd::FromHandle((HWND)wParam), CPoint(lParam)))
#define ON_WM_DROPFILES()     AFX_ENTRY_V(WM_DROPFILES, w->OnDropFiles((HDROP)wParam))
#define ON_WM_INITMENUPOPUP() AFX_ENTRY_V(WM_INITMENUPOPUP, w->OnInitMenuPopup(CMenu::FromHandle((HMENU)wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_MENUSELECT()    AFX_ENTRY_V(WM_MENUSELECT, w->OnMenuSelect(LOWORD(wParam), HIWORD(wParam), (HMENU)lParam))
#define ON_WM_GETDLGCODE()    AFX_ENTRY_R(WM_GETDLGCODE, w->OnGetDlgCode())
#define ON_WM_KILLFOCUS()     AFX_ENTRY_V(WM_KILLFOCUS, w->OnKillFocus(CWnd::FromHandle((HWND)wParam)))
#define ON_WM_SETFOCUS()      AFX_ENTRY_V(WM_SETFOCUS, w->OnSetFocus(CWnd::FromHandle((HWND)wParam)))
#define ON_WM_HSCROLL()       AFX_ENTRY_V(WM_HSCROLL, w->OnHScroll(LOWORD(wParam), HIWORD(wParam), (CScrollBar*)CWnd::FromHandle((HWND)lParam)))
#define ON_WM_VSCROLL()       AFX_ENTRY_V(WM_VSCROLL, w->OnVScroll(LOWORD(wParam), HIWORD(wParam), (CScrollBar*)CWnd::FromHandle((HWND)lParam)))
#define ON_WM_NCHITTEST()     AFX_ENTRY_R(WM_NCHITTEST, w->OnNcHitTest(CPoint(lParam)))
#define ON_WM_CTLCOLOR()      AFX_ENTRY_R(WM_CTLCOLORDLG, w->OnCtlColor(CDC::FromHandle((HDC)wParam), CWnd::FromHandle((HWND)lParam), CTLCOLOR_DLG)) \
                              AFX_ENTRY_R(WM_CTLCOLORSTATIC, w->OnCtlColor(CDC::FromHandle((HDC)wParam), CWnd::FromHandle((HWND)lParam), CTLCOLOR_STATIC)) \
                              AFX_ENTRY_R(WM_CTLCOLORBTN, w->OnCtlColor(CDC::FromHandle((HDC)wParam), CWnd::FromHandle((HWND)lParam), CTLCOLOR_BTN)) \
                              AFX_ENTRY_R(WM_CTLCOLOREDIT, w->OnCtlColor(CDC::FromHandle((HDC)wParam), CWnd::FromHandle((HWND)lParam), CTLCOLOR_EDIT)) \
                              AFX_ENTRY_R(WM_CTLCOLORLISTBOX, w->OnCtlColor(CDC::FromHandle((HDC)wParam), CWnd::FromHandle((HWND)lParam), CTLCOLOR_LISTBOX)) \
                              AFX_ENTRY_R(WM_CTLCOLORSCROLLBAR, w->OnCtlColor(CDC::FromHandle((HDC)wParam), CWnd::FromHandle((HWND)lParam), CTLCOLOR_SCROLLBAR))
#define ON_WM_DRAWITEM()      AFX_ENTRY_V(WM_DRAWITEM, w->OnDrawItem((int)wParam, (LPDRAWITEMSTRUCT)lParam))
#define ON_WM_MEASUREITEM()   AFX_ENTRY_V(WM_MEASUREITEM, w->OnMeasureItem((int)wParam, (LPMEASUREITEMSTRUCT)lParam))
#define ON_WM_CANCELMODE()    AFX_ENTRY_V(WM_CANCELMODE, w->OnCancelMode())
#define ON_WM_SYSCOLORCHANGE() AFX_ENTRY_V(WM_SYSCOLORCHANGE, w->OnSysColorChange())
#define ON_WM_MENUCHAR()      AFX_ENTRY_R(WM_MENUCHAR, w->OnMenuChar(LOWORD(wParam), HIWORD(wParam), CMenu::FromHandle((HMENU)lParam)))
#define ON_WM_MBUTTONDOWN()   AFX_ENTRY_V(WM_MBUTTONDOWN, w->OnMButtonDown((UINT)wParam, CPoint(lParam)))
#define ON_WM_MBUTTONUP()     AFX_ENTRY_V(WM_MBUTTONUP, w->OnMButtonUp((UINT)wParam, CPoint(lParam)))
#define ON_WM_MBUTTONDBLCLK() AFX_ENTRY_V(WM_MBUTTONDBLCLK, w->OnMButtonDblClk((UINT)wParam, CPoint(lParam)))

// Reflected messages, handled by the control that sent them.
#define ON_WM_DRAWITEM_REFLECT()    AFX_ENTRY_V(WM_REFLECT_BASE + WM_DRAWITEM, w->DrawItem((LPDRAWITEMSTRUCT)lParam))
#define ON_WM_MEASUREITEM_REFLECT() AFX_ENTRY_V(WM_REFLECT_BASE + WM_MEASUREITEM, w->MeasureItem((LPMEASUREITEMSTRUCT)lParam))
#define ON_WM_HSCROLL_REFLECT() AFX_ENTRY_V(WM_REFLECT_BASE + WM_HSCROLL, w->HScroll(LOWORD(wParam), HIWORD(wParam)))
#define ON_WM_VSCROLL_REFLECT() AFX_ENTRY_V(WM_REFLECT_BASE + WM_VSCROLL, w->VScroll(LOWORD(wParam), HIWORD(wParam)))
#define AFX_CTLCOLOR_REFLECT(msg, type) AFX_ENTRY(WM_REFLECT_BASE + (msg), 0, 0, 0, \
    { HBRUSH b_ = w->CtlColor(CDC::FromHandle((HDC)wParam), (type)); if (!b_) return FALSE; *r_ = (LRESULT)b_; })
#define ON_WM_CTLCOLOR_REFLECT() AFX_CTLCOLOR_REFLECT(WM_CTLCOLORSTATIC, CTLCOLOR_STATIC) \
    AFX_CTLCOLOR_REFLECT(WM_CTLCOLORBTN, CTLCOLOR_BTN) AFX_CTLCOLOR_REFLECT(WM_CTLCOLOREDIT, CTLCOLOR_EDIT) \
    AFX_CTLCOLOR_REFLECT(WM_CTLCOLORLISTBOX, CTLCOLOR_LISTBOX) AFX_CTLCOLOR_REFLECT(WM_CTLCOLORSCROLLBAR, CTLCOLOR_SCROLLBAR)

#define ON_MESSAGE(msg, fn)   AFX_ENTRY(msg, 0, 0, 0, *r_ = w->fn(wParam, lParam))
#define AFX_REGISTERED_CODE 0xFFFF
#define ON_REGISTERED_MESSAGE(var, fn) AFX_ENTRY(0xC000, AFX_REGISTERED_CODE, 0, 0, \
    { if (message != (var)) return FALSE; *r_ = w->fn(wParam, lParam); })

#define ON_COMMAND(id, fn)            AFX_ENTRY(WM_COMMAND, 0, id, id, (w->fn(), *r_ = 0))
#define ON_COMMAND_RANGE(id, last, fn) AFX_ENTRY(WM_COMMAND, 0, id, last, (w->fn(LOWORD(wParam)), *r_ = 0))
#define ON_CONTROL(code, id, fn)      AFX_ENTRY(WM_COMMAND, code, id, id, (w->fn(), *r_ = 0))
#define ON_BN_CLICKED(id, fn)         ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn)   ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn)          ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_KILLFOCUS(id, fn)       ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn)      ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn)       ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn)        ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_LBN_SELCHANGE(id, fn)      ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_STN_CLICKED(id, fn)        ON_CONTROL(STN_CLICKED, id, fn)
#define ON_NOTIFY(code, id, fn)       AFX_ENTRY(WM_NOTIFY, (UINT)(code), id, id, w->fn((NMHDR*)lParam, r_))
#define ON_NOTIFY_RANGE(code, id, last, fn) AFX_ENTRY(WM_NOTIFY, (UINT)(code), id, last, \
    w->fn(((NMHDR*)lParam)->idFrom, (NMHDR*)lParam, r_))

// Reflection: the control's handler runs first; plain forms stop the parent's handling, _EX forms
// let the parent handle the message too when the handler returns FALSE.
#define ON_CONTROL_REFLECT(code, fn)     AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, (w->fn(), *r_ = 0))
#define ON_CONTROL_REFLECT_EX(code, fn)  AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, \
    { *r_ = 0; if (!w->fn()) return FALSE; })
#define ON_NOTIFY_REFLECT(code, fn)      AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, w->fn((NMHDR*)lParam, r_))
#define ON_NOTIFY_REFLECT_EX(code, fn)   AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, \
    { if (!w->fn((NMHDR*)lParam, r_)) return FALSE; })
#define ON_BN_CLICKED_REFLECT(fn)        ON_CONTROL_REFLECT(BN_CLICKED, fn)
