// CWnd: handle map, subclassing, message-map dispatch and reflection.
#include "afximpl.h"
#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// Permanent map shared by the threads of this module; windows are attached on the thread that owns them.
std::mutex g_map_lock;
std::map<HWND, CWnd*>& permanent_map() {
    static std::map<HWND, CWnd*> map;
    return map;
}

}  // namespace

AfxTempMaps& AfxTemp() { return AfxThread().temp; }

BOOL AfxInsideHandler() { return AfxThread().handler_depth > 0; }

void AfxTempMaps::Clear() {
    image_lists.clear();
    windows.clear();
    // Entries let go by Abandon (module unload) are empty.
    for (auto& entry : dcs)
        if (entry.second) entry.second->m_hDC = nullptr;
    dcs.clear();
    gdi.clear();
    menus.clear();
}

void AfxFreeTempMaps() { AfxTemp().Clear(); }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pfnGetBaseClass ? c->m_pfnGetBaseClass() : nullptr)
        if (c == base) return TRUE;
    return FALSE;
}

namespace {
CRuntimeClass*& creatable_classes() {
    static CRuntimeClass* first = nullptr;
    return first;
}
}  // namespace

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* cls) {
    cls->m_pNextClass = creatable_classes();
    creatable_classes() = cls;
}

CRuntimeClass* CRuntimeClass::FromName(const char* name) {
    if (!name) return nullptr;
    for (CRuntimeClass* c = creatable_classes(); c; c = c->m_pNextClass)
        if (lstrcmpA(c->m_lpszClassName, name) == 0) return c;
    return nullptr;
}

CRuntimeClass* CObject::GetThisClass() {
    static CRuntimeClass rc = {"CObject", (int)sizeof(CObject), 0xFFFF, nullptr, nullptr, nullptr};
    return &rc;
}

CRuntimeClass* CObject::GetRuntimeClass() const { return GetThisClass(); }

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(CWnd::InsertAfter{}, HWND_TOP);
const CWnd CWnd::wndBottom(CWnd::InsertAfter{}, HWND_BOTTOM);
const CWnd CWnd::wndTopMost(CWnd::InsertAfter{}, HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(CWnd::InsertAfter{}, HWND_NOTOPMOST);

CWnd* CWnd::FromHandlePermanent(HWND wnd) {
    if (!wnd) return nullptr;
    std::lock_guard<std::mutex> lock(g_map_lock);
    auto it = permanent_map().find(wnd);
    return it == permanent_map().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    if (CWnd* w = FromHandlePermanent(wnd)) return w;
    auto& slot = AfxTemp().windows[wnd];
    if (!slot) {
        slot.reset(new CWnd);
        slot->m_hWnd = wnd;
        slot->m_temporary = true;
    }
    return slot.get();
}

CWnd::~CWnd() {
    if (m_hWnd && !m_temporary) {
        HWND wnd = m_hWnd;
        if (m_pfnSuper) UnsubclassWindow(); else Detach();
        if (::IsWindow(wnd) && ::GetWindowThreadProcessId(wnd, nullptr) == ::GetCurrentThreadId()) ::DestroyWindow(wnd);
    }
    if (m_temporary) m_hWnd = nullptr;
}

BOOL CWnd::Attach(HWND wnd) {
    if (!wnd) return FALSE;
    // A temporary wrapper of this window stays valid until the thread is idle (its holder may still
    // use it); FromHandle finds the permanent object first from now on.
    std::lock_guard<std::mutex> lock(g_map_lock);
    permanent_map()[wnd] = this;
    m_hWnd = wnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND wnd = m_hWnd;
    if (wnd) {
        std::lock_guard<std::mutex> lock(g_map_lock);
        auto it = permanent_map().find(wnd);
        if (it != permanent_map().end() && it->second == this) permanent_map().erase(it);
    }
    m_hWnd = nullptr;
    return wnd;
}

BOOL CWnd::SubclassWindow(HWND wnd) {
    if (!wnd || !Attach(wnd)) return FALSE;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::SetWindowLongPtrA(wnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (old != AfxWndProc) m_pfnSuper = old;
    AfxReplayMeasureItem(this);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND ctl = parent ? ::GetDlgItem(parent->m_hWnd, id) : nullptr;
    return ctl ? SubclassWindow(ctl) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper && m_hWnd) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = nullptr;
    return Detach();
}

static LRESULT CALLBACK AfxCbtProc(int code, WPARAM wp, LPARAM lp) {
    AfxThreadState& state = AfxThread();
    if (code == HCBT_CREATEWND && state.creating) {
        CWnd* wnd = state.creating;
        state.creating = nullptr;
        try {
            wnd->SubclassWindow((HWND)wp);
        } catch (...) {
            // No exception may cross the hook: the object lets go and the window is not created.
            if (wnd->m_hWnd == (HWND)wp) wnd->UnsubclassWindow();
            return 1;
        }
    }
    return CallNextHookEx(state.cbt_hook, code, wp, lp);
}

void AfxHookWindowCreate(CWnd* wnd) {
    AfxThreadState& state = AfxThread();
    if (!state.cbt_hook) state.cbt_hook = SetWindowsHookExA(WH_CBT, AfxCbtProc, nullptr, GetCurrentThreadId());
    state.creating = wnd;
}

BOOL AfxUnhookWindowCreate() {
    AfxThreadState& state = AfxThread();
    if (state.cbt_hook) {
        UnhookWindowsHookEx(state.cbt_hook);
        state.cbt_hook = nullptr;
    }
    bool hooked = state.creating == nullptr;
    state.creating = nullptr;
    return hooked;
}

BOOL CWnd::CreateEx(DWORD ex_style, const char* class_name, const char* window_name, DWORD style,
                    int x, int y, int w, int h, HWND parent, HMENU menu, LPVOID param) {
    CREATESTRUCTA cs{};
    cs.dwExStyle = ex_style; cs.lpszClass = class_name; cs.lpszName = window_name; cs.style = style;
    cs.x = x; cs.y = y; cs.cx = w; cs.cy = h; cs.hwndParent = parent; cs.hMenu = menu;
    cs.hInstance = AfxGetInstanceHandle(); cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;
    AfxHookWindowCreate(this);
    HWND wnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    return wnd != nullptr;
}

BOOL CWnd::Create(const char* class_name, const char* window_name, DWORD style, const RECT& r,
                  CWnd* parent, UINT id, LPVOID param) {
    return CreateEx(0, class_name, window_name, style | WS_CHILD, r.left, r.top, r.right - r.left,
                    r.bottom - r.top, parent ? parent->m_hWnd : nullptr, (HMENU)(UINT_PTR)id, param);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, msg, wp, lp);
    AfxThreadState& state = AfxThread();
    MSG saved = state.current_msg;
    state.current_msg.hwnd = hwnd; state.current_msg.message = msg; state.current_msg.wParam = wp;
    state.current_msg.lParam = lp;
    ++state.handler_depth;
    LRESULT result = 0;
    try {
        if (msg == WM_NCDESTROY) {
            WNDPROC super = wnd->m_pfnSuper;
            result = wnd->WindowProc(msg, wp, lp);
            // The window is gone: unhook it and let the object clean up after itself.
            if (::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == (LONG_PTR)AfxWndProc && super)
                ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)super);
            wnd->m_pfnSuper = nullptr;
            wnd->Detach();
            AfxForgetMeasureItems(hwnd);
            if (wnd->m_bHoldsPreTranslateHook) {
                wnd->m_bHoldsPreTranslateHook = false;
                AfxReleasePreTranslateHook();
            }
            wnd->PostNcDestroy();
        } else {
            result = wnd->WindowProc(msg, wp, lp);
        }
    } catch (...) {
        // No exception may cross the window procedure.
        result = 0;
    }
    --state.handler_depth;
    state.current_msg = saved;
    return result;
}

const MSG* CWnd::GetCurrentMessage() const { return &AfxThread().current_msg; }

LRESULT CWnd::Default() {
    const MSG& msg = AfxThread().current_msg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wp, lp);
    return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (!OnWndMsg(msg, wp, lp, &result)) result = DefWindowProc(msg, wp, lp);
    return result;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// Searches the class's message maps, most derived first, for an entry of (msg, code, id) and runs it.
BOOL dispatch_map(CWnd* wnd, const AFX_MSGMAP* map, UINT msg, UINT code, UINT id, WPARAM wp, LPARAM lp,
                  LRESULT* result) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage == 0xC000 && e->nCode == AFX_REGISTERED_CODE) {
                if (msg >= 0xC000 && msg <= 0xFFFF && e->pfn(wnd, msg, wp, lp, result)) return TRUE;
                continue;
            }
            if (e->nMessage != msg) continue;
            bool command = msg == WM_COMMAND || msg == WM_NOTIFY;
            bool reflected = msg == WM_REFLECT_BASE + WM_COMMAND || msg == WM_REFLECT_BASE + WM_NOTIFY;
            if ((command || reflected) && e->nCode != code) continue;
            if (command && (id < e->nID || id > e->nLastID)) continue;
            return e->pfn(wnd, msg, wp, lp, result);
        }
    }
    return FALSE;
}

HWND control_of(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DRAWITEM: return wp ? ((LPDRAWITEMSTRUCT)lp)->hwndItem : nullptr;
    case WM_MEASUREITEM: return nullptr;  // the item's window is looked up by id below
    case WM_DELETEITEM: return ((LPDELETEITEMSTRUCT)lp)->hwndItem;
    case WM_COMPAREITEM: return ((LPCOMPAREITEMSTRUCT)lp)->hwndItem;
    case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR: case WM_HSCROLL: case WM_VSCROLL: return (HWND)lp;
    case WM_VKEYTOITEM: case WM_CHARTOITEM: return (HWND)lp;
    default: return nullptr;
    }
}

}  // namespace

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_COMMAND) {
        if (OnCommand(wp, lp)) { *result = 1; return TRUE; }
        return FALSE;
    }
    if (msg == WM_NOTIFY) return OnNotify(wp, lp, result);
    const AFX_MSGMAP* map = GetMessageMap();
    if (dispatch_map(this, map, msg, 0, 0, wp, lp, result)) return TRUE;
    // Unhandled owner-draw, colour and scroll messages go back to the control (or menu) that sent them.
    if (AfxOwnerDrawMenu(msg, lp)) { *result = TRUE; return TRUE; }
    if (msg == WM_MEASUREITEM && wp) {
        LRESULT r = 0;
        if (ReflectLastMsg(::GetDlgItem(m_hWnd, (int)wp), &r)) { *result = TRUE; return TRUE; }
        AfxKeepMeasureItem(m_hWnd, (const MEASUREITEMSTRUCT*)lp);
    } else if (HWND child = control_of(msg, wp, lp)) {
        LRESULT r = 0;
        if (ReflectLastMsg(child, &r)) {
            *result = (msg == WM_DRAWITEM || msg == WM_MEASUREITEM) ? TRUE : r;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp), code = HIWORD(wp);
    HWND control = (HWND)lp;
    LRESULT r = 0;
    if (control && ReflectLastMsg(control, &r)) return TRUE;
    // Menu commands and accelerators carry code 0 or 1 and no control.
    if (!control) code = 0;
    return dispatch_map(this, GetMessageMap(), WM_COMMAND, code, id, wp, lp, &r);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lp, LRESULT* result) {
    NMHDR* hdr = (NMHDR*)lp;
    if (!hdr) return FALSE;
    if (hdr->hwndFrom && ReflectLastMsg(hdr->hwndFrom, result)) return TRUE;
    return dispatch_map(this, GetMessageMap(), WM_NOTIFY, hdr->code, (UINT)hdr->idFrom, (WPARAM)hdr->idFrom, lp, result);
}

BOOL CWnd::ReflectLastMsg(HWND child, LRESULT* result) {
    CWnd* wnd = FromHandlePermanent(child);
    if (!wnd) return FALSE;
    LRESULT dummy = 0;
    const MSG& msg = AfxThread().current_msg;
    return wnd->OnChildNotify(msg.message, msg.wParam, msg.lParam, result ? result : &dummy);
}

BOOL CWnd::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    return ReflectChildNotify(msg, wp, lp, result);
}

BOOL CWnd::ReflectChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    UINT code = 0;
    if (msg == WM_COMMAND) code = HIWORD(wp);
    else if (msg == WM_NOTIFY) code = ((NMHDR*)lp)->code;
    return dispatch_map(this, GetMessageMap(), WM_REFLECT_BASE + msg, code, 0, wp, lp, result);
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* bar) {
    if (!bar || !ReflectLastMsg(((CWnd*)bar)->m_hWnd)) Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* bar) {
    if (!bar || !ReflectLastMsg(((CWnd*)bar)->m_hWnd)) Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* wnd, UINT) {
    LRESULT r = 0;
    if (wnd && ReflectLastMsg(wnd->m_hWnd, &r)) return (HBRUSH)r;
    return (HBRUSH)Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
    if (AfxOwnerDrawMenu(WM_DRAWITEM, (LPARAM)dis)) return;
    if (!dis || !ReflectLastMsg(dis->hwndItem)) Default();
}

void CWnd::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    if (AfxOwnerDrawMenu(WM_MEASUREITEM, (LPARAM)mis)) return;
    if (id && ReflectLastMsg(::GetDlgItem(m_hWnd, id))) return;
    if (id) AfxKeepMeasureItem(m_hWnd, mis);
    Default();
}

void AfxKeepMeasureItem(HWND parent, const MEASUREITEMSTRUCT* mis) {
    if (!mis || mis->CtlType == ODT_MENU || !parent) return;
    auto& kept = AfxThread().kept_measures[{parent, mis->CtlID}];
    // One request per item is enough; the last one wins.
    for (MEASUREITEMSTRUCT& m : kept)
        if (m.itemID == mis->itemID) { m = *mis; return; }
    if (kept.size() < 64) kept.push_back(*mis);
}

void AfxReplayMeasureItem(CWnd* control) {
    HWND parent = ::GetParent(control->m_hWnd);
    UINT id = (UINT)::GetDlgCtrlID(control->m_hWnd);
    auto& measures = AfxThread().kept_measures;
    auto it = measures.find({parent, id});
    if (it == measures.end()) return;
    std::vector<MEASUREITEMSTRUCT> kept = std::move(it->second);
    measures.erase(it);
    char cls[16] = "";
    ::GetClassNameA(control->m_hWnd, cls, sizeof cls);
    bool combo = lstrcmpiA(cls, "ComboBox") == 0, list = lstrcmpiA(cls, "ListBox") == 0;
    for (MEASUREITEMSTRUCT m : kept) {
        UINT before = m.itemHeight;
        LRESULT r = 0;
        if (!control->OnChildNotify(WM_MEASUREITEM, id, (LPARAM)&m, &r)) continue;
        if (m.itemHeight == before) continue;
        // The control was measured with the default height: it takes the height its object gives.
        if (combo) control->SendMessage(CB_SETITEMHEIGHT, m.itemID == (UINT)-1 ? (WPARAM)-1 : 0, m.itemHeight);
        else if (list) control->SendMessage(LB_SETITEMHEIGHT, m.itemID, m.itemHeight);
    }
}

void AfxForgetMeasureItems(HWND parent) {
    auto& measures = AfxThread().kept_measures;
    for (auto it = measures.begin(); it != measures.end();)
        it = it->first.first == parent ? measures.erase(it) : std::next(it);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    if (!caption) {
        CWinApp* app = AfxGetApp();
        caption = app && app->m_pszAppName ? app->m_pszAppName : "Error";
    }
    return AfxShowMessageBox(m_hWnd, text, caption, type);
}

int CWnd::GetScrollLimit(int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!::GetScrollInfo(m_hWnd, bar, &info)) return 0;
    return info.nMax - std::max((int)info.nPage - 1, 0);
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }

BOOL CWnd::SetMenu(CMenu* menu) { return ::SetMenu(m_hWnd, menu ? menu->m_hMenu : nullptr); }

CMenu* CWnd::GetSystemMenu(BOOL revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND wnd = msg->hwnd; wnd; wnd = ::GetParent(wnd)) {
        CWnd* w = FromHandlePermanent(wnd);
        if (w && w->PreTranslateMessage(msg)) return TRUE;
        if (wnd == stop) break;
    }
    return FALSE;
}

BOOL AfxPreTranslateMessage(MSG* msg) {
    if (!msg->hwnd) return FALSE;
    return CWnd::WalkPreTranslateTree(::GetAncestor(msg->hwnd, GA_ROOT), msg);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    HWND item = ::GetDlgItem(m_hWnd, id);
    int n = item ? ::GetWindowTextLengthA(item) : 0;
    char* buf = text.GetBuffer(n + 1);
    int got = ::GetDlgItemTextA(m_hWnd, id, buf, n + 1);
    text.ReleaseBuffer(got);
    return got;
}

void CWnd::GetWindowText(CString& text) const {
    int n = ::GetWindowTextLengthA(m_hWnd);
    char* buf = text.GetBuffer(n + 1);
    int got = ::GetWindowTextA(m_hWnd, buf, n + 1);
    text.ReleaseBuffer(got);
}

void CWnd::ClientToScreen(RECT* r) const {
    ::ClientToScreen(m_hWnd, (POINT*)&r->left);
    ::ClientToScreen(m_hWnd, (POINT*)&r->right);
}

void CWnd::ScreenToClient(RECT* r) const {
    ::ScreenToClient(m_hWnd, (POINT*)&r->left);
    ::ScreenToClient(m_hWnd, (POINT*)&r->right);
}

void CWnd::CenterWindow(CWnd* alternate) {
    RECT me, area;
    ::GetWindowRect(m_hWnd, &me);
    HWND owner = alternate ? alternate->m_hWnd : ::GetParent(m_hWnd);
    if (owner && !(GetStyle() & WS_CHILD)) ::GetWindowRect(owner, &area);
    else ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int w = me.right - me.left, h = me.bottom - me.top;
    ::SetWindowPos(m_hWnd, nullptr, (area.left + area.right - w) / 2, (area.top + area.bottom - h) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static BOOL modify_long(HWND wnd, int index, DWORD remove, DWORD add, UINT flags) {
    DWORD style = (DWORD)::GetWindowLongA(wnd, index);
    DWORD updated = (style & ~remove) | add;
    if (style == updated) return FALSE;
    ::SetWindowLongA(wnd, index, (LONG)updated);
    if (flags) ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) { return modify_long(m_hWnd, GWL_STYLE, remove, add, flags); }
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) { return modify_long(m_hWnd, GWL_EXSTYLE, remove, add, flags); }

void CRect::NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
}

// ---- device contexts ----

CDC::~CDC() {
    if (m_hDC && !m_temporary) ::DeleteDC(m_hDC);
}

CDC* CDC::FromHandle(HDC dc) {
    if (!dc) return nullptr;
    auto& slot = AfxTemp().dcs[dc];
    if (!slot) {
        slot.reset(new CDC);
        slot->m_hDC = dc;
        slot->m_temporary = true;
    }
    return slot.get();
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

void CDC::FillSolidRect(const RECT* r, COLORREF c) {
    COLORREF old = ::SetBkColor(m_hDC, c);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
    RECT r = {x, y, x + cx, y + cy};
    FillSolidRect(&r, c);
}

void CDC::Draw3dRect(const RECT* r, COLORREF tl, COLORREF br) {
    int x = r->left, y = r->top, cx = r->right - r->left, cy = r->bottom - r->top;
    FillSolidRect(x, y, cx - 1, 1, tl);
    FillSolidRect(x, y, 1, cy - 1, tl);
    FillSolidRect(x + cx, y, -1, cy, br);
    FillSolidRect(x, y + cy, cx, -1, br);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) {
    m_temporary = true;  // EndPaint releases the DC
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    m_temporary = true;
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC() {
    ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    m_temporary = true;
    m_hDC = ::GetWindowDC(m_hWnd);
}

CWindowDC::~CWindowDC() {
    ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}
