// Our MFC-compatible framework subset: the classes and behaviour the system's windows rely on.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "afxstr.h"
#include "afxmsgmap.h"
#include "afxseam.h"

#define afx_msg
#ifndef ASSERT
#define ASSERT(x) ((void)0)
#endif
#ifndef VERIFY
#define VERIFY(x) ((void)(x))
#endif
#ifndef TRACE
#define TRACE(...) ((void)0)
#endif

class CWnd;
class CDC;
class CScrollBar;
class CWinApp;
class CMenu;
class CRgn;
class CFont;

struct CSize : SIZE {
    CSize() { cx = cy = 0; }
    CSize(int x, int y) { cx = x; cy = y; }
    CSize(SIZE s) { cx = s.cx; cy = s.cy; }
    bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
};

struct CPoint : POINT {
    CPoint() { x = y = 0; }
    CPoint(int px, int py) { x = px; y = py; }
    CPoint(POINT p) { x = p.x; y = p.y; }
    explicit CPoint(LPARAM lp) { x = (short)LOWORD(lp); y = (short)HIWORD(lp); }
    void Offset(int dx, int dy) { x += dx; y += dy; }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
    CPoint operator+(const CPoint& o) const { return CPoint(x + o.x, y + o.y); }
    CPoint operator-(const CPoint& o) const { return CPoint(x - o.x, y - o.y); }
};

struct CRect : RECT {
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) { left = r.left; top = r.top; right = r.right; bottom = r.bottom; }
    CRect(POINT p, SIZE s) { left = p.x; top = p.y; right = p.x + s.cx; bottom = p.y + s.cy; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    void NormalizeRect();
    BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
    bool operator==(const RECT& o) const { return ::EqualRect(this, &o) != FALSE; }
    bool operator!=(const RECT& o) const { return !(*this == o); }
};

class CObject;

// Run-time class information: the name, the size and the base class of a class that declares it.
struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CRuntimeClass* (*m_pfnGetBaseClass)();
    CObject* (*m_pfnCreateObject)();  // classes declared dynamically creatable
    CRuntimeClass* m_pNextClass;      // the creatable classes of this module, by name
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
    // A new object of the class; NULL when it is not dynamically creatable.
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    // The creatable class of this module named `name`, or NULL.
    static CRuntimeClass* FromName(const char* name);
};

// Enters a creatable class into this module's list at start-up.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* cls);
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())
#define DECLARE_DYNAMIC(class_name)                 \
public:                                             \
    static CRuntimeClass* GetThisClass();           \
    CRuntimeClass* GetRuntimeClass() const override;
#define IMPLEMENT_DYNAMIC(class_name, base_name)                                                      \
    CRuntimeClass* class_name::GetThisClass() {                                                       \
        static CRuntimeClass rc = {#class_name, (int)sizeof(class_name), 0xFFFF, &base_name::GetThisClass, nullptr, nullptr}; \
        return &rc;                                                                                   \
    }                                                                                                 \
    CRuntimeClass* class_name::GetRuntimeClass() const { return GetThisClass(); }

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)          \
    static CObject* CreateObjectFn();
#define IMPLEMENT_DYNCREATE(class_name, base_name)                                                      \
    CObject* class_name::CreateObjectFn() { return new class_name; }                                    \
    CRuntimeClass* class_name::GetThisClass() {                                                         \
        static CRuntimeClass rc = {#class_name, (int)sizeof(class_name), 0xFFFF, &base_name::GetThisClass, \
                                   &class_name::CreateObjectFn, nullptr};                               \
        return &rc;                                                                                     \
    }                                                                                                   \
    CRuntimeClass* class_name::GetRuntimeClass() const { return GetThisClass(); }                       \
    static AFX_CLASSINIT _init_##class_name(class_name::GetThisClass());

class CObject {
public:
    virtual ~CObject() = default;
    static CRuntimeClass* GetThisClass();
    virtual CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
};

#include "afxgdi.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// Device contexts. FromHandle wraps a DC for the duration of one message.
class CDC : public CObject {
public:
    HDC m_hDC = nullptr;
    CDC() = default;
    ~CDC() override;
    static CDC* FromHandle(HDC dc);
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL Attach(HDC dc) { m_hDC = dc; return dc != nullptr; }
    HDC Detach() { HDC d = m_hDC; m_hDC = nullptr; return d; }
    BOOL CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }
    BOOL DeleteDC();

    HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
    HGDIOBJ SelectStockObject(int index) { return ::SelectObject(m_hDC, GetStockObject(index)); }
    // The previous object comes back as a temporary wrapper (select it back before the wrapper dies).
    CPen* SelectObject(CPen* pen) { return CPen::FromHandle((HPEN)SelectObject(pen ? pen->m_hObject : nullptr)); }
    CBrush* SelectObject(CBrush* brush) { return CBrush::FromHandle((HBRUSH)SelectObject(brush ? brush->m_hObject : nullptr)); }
    CFont* SelectObject(CFont* font) { return CFont::FromHandle((HFONT)SelectObject(font ? font->m_hObject : nullptr)); }
    CBitmap* SelectObject(CBitmap* bitmap) { return CBitmap::FromHandle((HBITMAP)SelectObject(bitmap ? bitmap->m_hObject : nullptr)); }
    int SelectObject(CRgn* rgn) { return SelectClipRgn(rgn); }
    int SelectClipRgn(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? (HRGN)rgn->m_hObject : nullptr); }
    int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
    int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
    int GetClipBox(RECT* r) const { return ::GetClipBox(m_hDC, r); }
    CBitmap* GetCurrentBitmap() const { return CBitmap::FromHandle((HBITMAP)::GetCurrentObject(m_hDC, OBJ_BITMAP)); }
    CFont* GetCurrentFont() const { return CFont::FromHandle((HFONT)::GetCurrentObject(m_hDC, OBJ_FONT)); }
    BOOL FillRect(const RECT* r, CBrush* b) { return ::FillRect(m_hDC, r, (HBRUSH)b->m_hObject); }
    BOOL FrameRect(const RECT* r, CBrush* b) { return ::FrameRect(m_hDC, r, (HBRUSH)b->m_hObject); }
    BOOL InvertRect(const RECT* r) { return ::InvertRect(m_hDC, r); }
    BOOL FillRgn(CRgn* rgn, CBrush* b) { return ::FillRgn(m_hDC, (HRGN)rgn->m_hObject, (HBRUSH)b->m_hObject); }
    BOOL FrameRgn(CRgn* rgn, CBrush* b, int w, int h) { return ::FrameRgn(m_hDC, (HRGN)rgn->m_hObject, (HBRUSH)b->m_hObject, w, h); }
    BOOL PaintRgn(CRgn* rgn) { return ::PaintRgn(m_hDC, (HRGN)rgn->m_hObject); }
    BOOL DrawEdge(RECT* r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags); }
    void DrawFocusRect(const RECT* r) { ::DrawFocusRect(m_hDC, r); }
    BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
    BOOL Ellipse(const RECT* r) { return Ellipse(r->left, r->top, r->right, r->bottom); }
    BOOL RoundRect(int l, int t, int r, int b, int w, int h) { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
    BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
    BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
    int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    UINT SetTextAlign(UINT flags) { return ::SetTextAlign(m_hDC, flags); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    BOOL GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm); }
    CSize GetTextExtent(const CString& s) const { return GetTextExtent(s, s.GetLength()); }
    CPoint SetBrushOrg(int x, int y) { POINT p{}; ::SetBrushOrgEx(m_hDC, x, y, &p); return p; }
    CPoint SetViewportOrg(int x, int y) { POINT p{}; ::SetViewportOrgEx(m_hDC, x, y, &p); return p; }
    void LPtoDP(POINT* points, int count = 1) const { ::LPtoDP(m_hDC, points, count); }
    void DPtoLP(POINT* points, int count = 1) const { ::DPtoLP(m_hDC, points, count); }
    BOOL DrawIcon(POINT p, HICON icon) { return ::DrawIcon(m_hDC, p.x, p.y, icon); }
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* r, const char* text, int n, const INT* dx = nullptr) {
        return ::ExtTextOutA(m_hDC, x, y, options, r, text, n, dx);
    }
    int SelectPalette(HPALETTE palette, BOOL background) { return (int)(INT_PTR)::SelectPalette(m_hDC, palette, background); }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    BOOL CreateDC(const char* driver, const char* device, const char* output, const DEVMODEA* init) {
        return Attach(::CreateDCA(driver, device, output, init));
    }
    BOOL CreateIC(const char* driver, const char* device, const char* output, const DEVMODEA* init) {
        return Attach(::CreateICA(driver, device, output, init));
    }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    void FillSolidRect(const RECT* r, COLORREF c);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c);
    BOOL FillRect(const RECT* r, HBRUSH b) { return ::FillRect(m_hDC, r, b); }
    void Draw3dRect(const RECT* r, COLORREF tl, COLORREF br);
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    int DrawText(const char* text, int n, RECT* r, UINT format) { return ::DrawTextA(m_hDC, text, n, r, format); }
    int DrawText(const CString& text, RECT* r, UINT format) { return DrawText(text, text.GetLength(), r, format); }
    BOOL TextOut(int x, int y, const char* text, int n) { return ::TextOutA(m_hDC, x, y, text, n); }
    BOOL TextOut(int x, int y, const CString& s) { return TextOut(x, y, s, s.GetLength()); }
    CSize GetTextExtent(const char* text, int n) const { SIZE s{}; ::GetTextExtentPoint32A(m_hDC, text, n, &s); return s; }
    CPoint MoveTo(int x, int y) { POINT p{}; ::MoveToEx(m_hDC, x, y, &p); return p; }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(const RECT* r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop) {
        return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, rop);
    }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    CPoint SetWindowOrg(int x, int y) { POINT p{}; ::SetWindowOrgEx(m_hDC, x, y, &p); return p; }
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    CPoint GetWindowOrg() const { POINT p{}; ::GetWindowOrgEx(m_hDC, &p); return p; }
    CPoint GetViewportOrg() const { POINT p{}; ::GetViewportOrgEx(m_hDC, &p); return p; }
    BOOL FloodFill(int x, int y, COLORREF border) { return ::FloodFill(m_hDC, x, y, border); }
    BOOL ExtFloodFill(int x, int y, COLORREF colour, UINT type) { return ::ExtFloodFill(m_hDC, x, y, colour, type); }
    BOOL DrawIconEx(int x, int y, HICON icon, int cx, int cy, UINT step = 0, HBRUSH flicker = nullptr,
                    UINT flags = DI_NORMAL) {
        return ::DrawIconEx(m_hDC, x, y, icon, cx, cy, step, flicker, flags);
    }
    // An icon or bitmap drawn in a state (DSS_DISABLED and the like).
    BOOL DrawState(CPoint at, CSize size, HICON icon, UINT flags, HBRUSH brush = nullptr) {
        return ::DrawStateA(m_hDC, brush, nullptr, (LPARAM)icon, 0, at.x, at.y, size.cx, size.cy, flags | DST_ICON);
    }
    BOOL DrawState(CPoint at, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr) {
        return ::DrawStateA(m_hDC, brush, nullptr, (LPARAM)bitmap, 0, at.x, at.y, size.cx, size.cy, flags | DST_BITMAP);
    }
    BOOL IsPrinting() const { return m_bPrinting; }
    BOOL FrameRect(const RECT* r, HBRUSH b) { return ::FrameRect(m_hDC, r, b); }
    BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }

    BOOL m_bPrinting = FALSE;

protected:
    bool m_temporary = false;
    friend struct AfxTempMaps;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};
protected:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;
protected:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;
protected:
    HWND m_hWnd;
};

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    HWND m_hWnd = nullptr;
    // Insertion points for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Handle map: permanent objects are attached or subclassed windows; FromHandle wraps any other
    // window in a temporary object that lives until the thread is next idle.
    static CWnd* FromHandle(HWND wnd);
    static CWnd* FromHandlePermanent(HWND wnd);
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }
    BOOL Attach(HWND wnd);
    HWND Detach();
    BOOL SubclassWindow(HWND wnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL CreateEx(DWORD ex_style, const char* class_name, const char* window_name, DWORD style,
                          int x, int y, int w, int h, HWND parent, HMENU menu, LPVOID param = nullptr);
    virtual BOOL Create(const char* class_name, const char* window_name, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual BOOL OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual BOOL OnCommand(WPARAM wp, LPARAM lp);
    virtual BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result);
    // Called on a control for a message its parent received from it; TRUE when the control handled it.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}
    virtual BOOL PreCreateWindow(CREATESTRUCTA&) { return TRUE; }
    LRESULT Default();
    const MSG* GetCurrentMessage() const;
    BOOL ReflectChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    static BOOL ReflectLastMsg(HWND child, LRESULT* result = nullptr);
    // Walks PreTranslateMessage from the message's window up to `stop` (inclusive).
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // Win32 wrappers.
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemInt(int id, UINT value, BOOL is_signed = TRUE) { ::SetDlgItemInt(m_hWnd, id, value, is_signed); }
    UINT GetDlgItemInt(int id, BOOL* ok = nullptr, BOOL is_signed = TRUE) const { return ::GetDlgItemInt(m_hWnd, id, ok, is_signed); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(const RECT* r = nullptr, HRGN rgn = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
        return ::RedrawWindow(m_hWnd, r, rgn, flags);
    }
    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(RECT* r) const;
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const;
    void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
    void MoveWindow(const RECT* r, BOOL repaint = TRUE) { MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, repaint); }
    BOOL SetWindowPos(const CWnd* after, int x, int y, int w, int h, UINT flags) {
        return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, w, h, flags);
    }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    void CenterWindow(CWnd* alternate = nullptr);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, id, elapse, proc); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, (WPARAM)font, redraw); }
    HFONT GetFont() const { return (HFONT)SendMessage(WM_GETFONT); }
    HICON SetIcon(HICON icon, BOOL big) { return (HICON)SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, (LPARAM)icon); }
    DWORD GetStyle() const { return (DWORD)::GetWindowLongA(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLongA(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    HDC GetDC() { return ::GetDC(m_hWnd); }
    int ReleaseDC(HDC dc) { return ::ReleaseDC(m_hWnd, dc); }
    HMENU GetSystemMenuHandle(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    BOOL SetWindowRgn(HRGN rgn, BOOL redraw) { return ::SetWindowRgn(m_hWnd, rgn, redraw); }
    int GetWindowRgn(HRGN rgn) const { return ::GetWindowRgn(m_hWnd, rgn); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    BOOL IsChild(const CWnd* wnd) const { return wnd && ::IsChild(m_hWnd, wnd->m_hWnd); }
    CWnd* GetWindow(UINT cmd) const { return FromHandle(::GetWindow(m_hWnd, cmd)); }
    // The window set with SetOwner, else the window's owner.
    CWnd* GetOwner() const { return FromHandle(m_hWndOwner ? m_hWndOwner : ::GetWindow(m_hWnd, GW_OWNER)); }
    void SetOwner(CWnd* owner) { m_hWndOwner = owner ? owner->m_hWnd : nullptr; }
    CWnd* GetNextDlgTabItem(CWnd* control, BOOL previous = FALSE) const {
        return FromHandle(::GetNextDlgTabItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
    }
    CWnd* GetNextDlgGroupItem(CWnd* control, BOOL previous = FALSE) const {
        return FromHandle(::GetNextDlgGroupItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
    }
    BOOL LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
    void UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }
    // A message box owned by this window, through the framework's modal seam.
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);
    void CloseWindow() { ::CloseWindow(m_hWnd); }
    // The largest position a scroll bar reaches: its maximum less its page.
    int GetScrollLimit(int bar);
    CWnd* GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    static CWnd* WindowFromPoint(POINT p) { return FromHandle(::WindowFromPoint(p)); }
    CWnd* ChildWindowFromPoint(POINT p) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, p)); }
    LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::SendDlgItemMessageA(m_hWnd, id, msg, wp, lp);
    }
    void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    void CheckRadioButton(int first, int last, int checked) { ::CheckRadioButton(m_hWnd, first, last, checked); }
    void ValidateRect(const RECT* r) { ::ValidateRect(m_hWnd, r); }
    void InvalidateRgn(CRgn* rgn, BOOL erase = TRUE) { ::InvalidateRgn(m_hWnd, rgn ? (HRGN)rgn->m_hObject : nullptr, erase); }
    BOOL GetUpdateRect(RECT* r, BOOL erase = FALSE) { return ::GetUpdateRect(m_hWnd, r, erase); }
    void MapWindowPoints(CWnd* to, POINT* points, UINT count) const {
        ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, points, count);
    }
    void MapWindowPoints(CWnd* to, RECT* r) const { MapWindowPoints(to, (POINT*)r, 2); }
    void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, redraw); }
    int GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
    int SetScrollPos(int bar, int pos, BOOL redraw = TRUE) { return ::SetScrollPos(m_hWnd, bar, pos, redraw); }
    void SetScrollRange(int bar, int lo, int hi, BOOL redraw = TRUE) { ::SetScrollRange(m_hWnd, bar, lo, hi, redraw); }
    BOOL GetScrollInfo(int bar, SCROLLINFO* info) const { return ::GetScrollInfo(m_hWnd, bar, info); }
    BOOL SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw = TRUE) { return ::SetScrollInfo(m_hWnd, bar, info, redraw); }
    void ShowScrollBar(UINT bar, BOOL show = TRUE) { ::ShowScrollBar(m_hWnd, bar, show); }
    void ScrollWindow(int dx, int dy, const RECT* r = nullptr, const RECT* clip = nullptr) { ::ScrollWindow(m_hWnd, dx, dy, r, clip); }
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* menu);
    CMenu* GetSystemMenu(BOOL revert) const;
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    BOOL FlashWindow(BOOL invert) { return ::FlashWindow(m_hWnd, invert); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* wp) const { return ::GetWindowPlacement(m_hWnd, wp); }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* wp) { return ::SetWindowPlacement(m_hWnd, wp); }
    static void ReleaseCapture() { ::ReleaseCapture(); }
    void SetFont(CFont* font, BOOL redraw = TRUE) { SetFont(font ? (HFONT)font->m_hObject : nullptr, redraw); }

protected:
    WNDPROC m_pfnSuper = nullptr;
    HWND m_hWndOwner = nullptr;
    bool m_bHoldsPreTranslateHook = false;  // released when the window is destroyed
    DECLARE_MESSAGE_MAP()

    // Default handlers: each passes the current message to the default procedure.
    afx_msg int OnCreate(LPCREATESTRUCTA) { return (int)Default(); }
    afx_msg void OnDestroy() { Default(); }
    afx_msg void OnClose() { Default(); }
    afx_msg void OnPaint() { Default(); }
    afx_msg void OnNcPaint() { Default(); }
    afx_msg BOOL OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
    afx_msg void OnTimer(UINT_PTR) { Default(); }
    afx_msg void OnSize(UINT, int, int) { Default(); }
    afx_msg void OnMove(int, int) { Default(); }
    afx_msg void OnShowWindow(BOOL, UINT) { Default(); }
    afx_msg void OnSysCommand(UINT, LPARAM) { Default(); }
    afx_msg HCURSOR OnQueryDragIcon() { return (HCURSOR)Default(); }
    afx_msg BOOL OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
    afx_msg void OnMouseMove(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnRButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnRButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnKeyDown(UINT, UINT, UINT) { Default(); }
    afx_msg void OnKeyUp(UINT, UINT, UINT) { Default(); }
    afx_msg void OnChar(UINT, UINT, UINT) { Default(); }
    afx_msg void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
    afx_msg void OnRButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnMButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnMButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnMButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnCancelMode() { Default(); }
    afx_msg void OnSysColorChange() { Default(); }
    afx_msg LRESULT OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
    afx_msg BOOL OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
    afx_msg void OnNcLButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnNcLButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnNcLButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnNcMouseMove(UINT, CPoint) { Default(); }
    afx_msg BOOL OnNcActivate(BOOL) { return (BOOL)Default(); }
    afx_msg void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
    afx_msg void OnNcDestroy() { Default(); }
    afx_msg void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    afx_msg int OnMouseActivate(CWnd*, UINT, UINT) { return (int)Default(); }
    afx_msg void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    afx_msg void OnWindowPosChanging(WINDOWPOS*) { Default(); }
    afx_msg void OnWindowPosChanged(WINDOWPOS*) { Default(); }
    afx_msg void OnCaptureChanged(CWnd*) { Default(); }
    afx_msg void OnEnable(BOOL) { Default(); }
    afx_msg void OnContextMenu(CWnd*, CPoint) { Default(); }
    afx_msg void OnDropFiles(HDROP) { Default(); }
    afx_msg void OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
    afx_msg void OnMenuSelect(UINT, UINT, HMENU) { Default(); }
    afx_msg UINT OnGetDlgCode() { return (UINT)Default(); }
    afx_msg void OnKillFocus(CWnd*) { Default(); }
    afx_msg void OnSetFocus(CWnd*) { Default(); }
    afx_msg void OnHScroll(UINT, UINT, CScrollBar*);
    afx_msg void OnVScroll(UINT, UINT, CScrollBar*);
    afx_msg LRESULT OnNcHitTest(CPoint) { return Default(); }
    afx_msg HBRUSH OnCtlColor(CDC*, CWnd* wnd, UINT);
    afx_msg void OnDrawItem(int, LPDRAWITEMSTRUCT dis);
    afx_msg void OnMeasureItem(int, LPMEASUREITEMSTRUCT mis);

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend struct AfxTempMaps;
    struct InsertAfter {};
    CWnd(InsertAfter, HWND where) : m_hWnd(where), m_temporary(true) {}
    bool m_temporary = false;
};

LRESULT CALLBACK AfxWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
// Subclasses the next window this thread creates to `wnd` (so it gets WM_CREATE/WM_INITDIALOG).
void AfxHookWindowCreate(CWnd* wnd);
BOOL AfxUnhookWindowCreate();
// Runs PreTranslateMessage of the windows from the message's window up to its top-level window.
BOOL AfxPreTranslateMessage(MSG* msg);
// Frees the temporary CWnd/CDC wrappers of this thread.
void AfxFreeTempMaps();
// Frees what this module's framework keeps for the calling thread (its wrappers, hooks and state).
// Threads of CWinThread do it on their way out; a DLL calls it from DllMain on DLL_THREAD_DETACH. What
// is left goes with AfxTermModule.
void AfxTermThread(HINSTANCE instance = nullptr);
// Frees what the framework keeps for every thread and its TLS slot; a DLL calls it from DllMain on
// DLL_PROCESS_DETACH (FreeLibrary), after which no window of the DLL may be left.
void AfxTermModule();

// Resources of this module: each module (program or DLL) links its own copy of the framework, so
// these name the module the calling code belongs to, found from a code address. A DLL may also set it
// in DllMain.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE instance);
HINSTANCE AfxGetInstanceHandle();
// The module that holds a resource: the resource handle, else this module's own image.
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);
// Gets one message and passes it through the PreTranslateMessage walk to its window; FALSE on WM_QUIT.
BOOL AfxPumpMessage(int* quit_code = nullptr);
// Windows of this module that live under another module's message loop (modeless dialogs of a DLL
// whose host runs the loop) still get their PreTranslateMessage walk and dialog keys: a message hook of
// this module on the calling thread runs the walk for messages that no loop of this module pumps. Each
// install is one hold on the hook; the hook goes with the last release.
void AfxInstallPreTranslateHook();
void AfxReleasePreTranslateHook();

// A window class registered once for this module with the given style, cursor, brush and icon, for
// windows that CreateEx subclasses; the name stays valid until the next call on this thread.
const char* AfxRegisterWndClass(UINT style, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);
// A 16-colour bitmap resource with its black, grey, silver and white mapped to the system's button
// text, shadow, face and highlight colours. NULL when the resource is not such a bitmap.
HBITMAP AfxLoadSysColorBitmap(HINSTANCE instance, HRSRC resource, BOOL mono = FALSE);

#include "afxcoll.h"
#include "afxctrl.h"
#include "afxcmn.h"
#include "afxdlg.h"
#include "afxview.h"
#include "afxapp.h"
