// Standard control wrappers and menus. Owner-drawn controls get DrawItem (and MeasureItem,
// CompareItem, DeleteItem where the control has items) by reflection from their parent.
#pragma once

class CMenu;

class CButton : public CWnd {
public:
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    UINT GetState() const { return (UINT)SendMessage(BM_GETSTATE); }
    void SetState(BOOL highlight) { SendMessage(BM_SETSTATE, highlight); }
    int GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, check); }
    UINT GetButtonStyle() const { return (UINT)GetStyle() & 0xFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
    HICON SetIcon(HICON icon) { return (HICON)SendMessage(BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon); }
    HICON GetIcon() const { return (HICON)SendMessage(BM_GETIMAGE, IMAGE_ICON); }
    HBITMAP SetBitmap(HBITMAP bitmap) { return (HBITMAP)SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap); }
    HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(BM_GETIMAGE, IMAGE_BITMAP); }
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CStatic : public CWnd {
public:
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    HICON SetIcon(HICON icon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)icon); }
    HICON GetIcon() const { return (HICON)SendMessage(STM_GETICON); }
    HBITMAP SetBitmap(HBITMAP bitmap) { return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap); }
    HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP); }
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int start, int end, BOOL no_scroll = FALSE) {
        SendMessage(EM_SETSEL, start, end);
        if (!no_scroll) SendMessage(EM_SCROLLCARET);
    }
    void GetSel(int& start, int& end) const {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, (WPARAM)&s, (LPARAM)&e);
        start = (int)s; end = (int)e;
    }
    void ReplaceSel(const char* text, BOOL can_undo = FALSE) { SendMessage(EM_REPLACESEL, can_undo, (LPARAM)text); }
    void LimitText(int max_chars = 0) { SendMessage(EM_LIMITTEXT, max_chars); }
    BOOL SetReadOnly(BOOL read_only = TRUE) { return (BOOL)SendMessage(EM_SETREADONLY, read_only); }
    int GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }
    BOOL GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY); }
    void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, modified); }
};

// Item-owning controls share the owner-draw reflection of their items.
class CItemOwnerWnd : public CWnd {
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
    virtual int CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
    virtual void DeleteItem(LPDELETEITEMSTRUCT) {}
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CComboBox : public CItemOwnerWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
    int SetCurSel(int index) { return (int)SendMessage(CB_SETCURSEL, index); }
    int AddString(const char* text) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)text); }
    int InsertString(int index, const char* text) { return (int)SendMessage(CB_INSERTSTRING, index, (LPARAM)text); }
    int DeleteString(UINT index) { return (int)SendMessage(CB_DELETESTRING, index); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int FindString(int start, const char* text) const { return (int)SendMessage(CB_FINDSTRING, start, (LPARAM)text); }
    int FindStringExact(int start, const char* text) const { return (int)SendMessage(CB_FINDSTRINGEXACT, start, (LPARAM)text); }
    int SelectString(int start, const char* text) { return (int)SendMessage(CB_SELECTSTRING, start, (LPARAM)text); }
    int GetLBTextLen(int index) const { return (int)SendMessage(CB_GETLBTEXTLEN, index); }
    void GetLBText(int index, CString& text) const;
    DWORD_PTR GetItemData(int index) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, index); }
    int SetItemData(int index, DWORD_PTR data) { return (int)SendMessage(CB_SETITEMDATA, index, (LPARAM)data); }
    int GetItemHeight(int index) const { return (int)SendMessage(CB_GETITEMHEIGHT, index); }
    int SetItemHeight(int index, UINT height) { return (int)SendMessage(CB_SETITEMHEIGHT, index, height); }
    void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show); }
    BOOL GetDroppedState() const { return (BOOL)SendMessage(CB_GETDROPPEDSTATE); }
    void GetDroppedControlRect(RECT* r) const { SendMessage(CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)r); }
    int SetDroppedWidth(UINT width) { return (int)SendMessage(CB_SETDROPPEDWIDTH, width); }
    BOOL LimitText(int max_chars) { return (BOOL)SendMessage(CB_LIMITTEXT, max_chars); }
};

class CListBox : public CItemOwnerWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }
    int SetCurSel(int index) { return (int)SendMessage(LB_SETCURSEL, index); }
    int AddString(const char* text) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)text); }
    int InsertString(int index, const char* text) { return (int)SendMessage(LB_INSERTSTRING, index, (LPARAM)text); }
    int DeleteString(UINT index) { return (int)SendMessage(LB_DELETESTRING, index); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    void GetText(int index, CString& text) const;
    DWORD_PTR GetItemData(int index) const { return (DWORD_PTR)SendMessage(LB_GETITEMDATA, index); }
    int SetItemData(int index, DWORD_PTR data) { return (int)SendMessage(LB_SETITEMDATA, index, (LPARAM)data); }
};

class CScrollBar : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int pos, BOOL redraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw); }
    void SetScrollRange(int lo, int hi, BOOL redraw = TRUE) { ::SetScrollRange(m_hWnd, SB_CTL, lo, hi, redraw); }
    BOOL GetScrollInfo(SCROLLINFO* info) { return ::GetScrollInfo(m_hWnd, SB_CTL, info); }
    BOOL SetScrollInfo(SCROLLINFO* info, BOOL redraw = TRUE) { return ::SetScrollInfo(m_hWnd, SB_CTL, info, redraw); }
};

class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    HMENU m_hMenu = nullptr;

    CMenu() = default;
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Menus attached to an object are found again by FromHandlePermanent (owner-drawn items).
    static CMenu* FromHandle(HMENU menu);
    static CMenu* FromHandlePermanent(HMENU menu);
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL Attach(HMENU menu);
    HMENU Detach();
    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    BOOL LoadMenu(UINT id);
    BOOL LoadMenu(const char* name);
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* item = nullptr) { return ::AppendMenuA(m_hMenu, flags, id, item); }
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* item = nullptr) {
        return ::InsertMenuA(m_hMenu, position, flags, id, item);
    }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* item = nullptr) {
        return ::ModifyMenuA(m_hMenu, position, flags, id, item);
    }
    BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
    BOOL DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
    UINT CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
    UINT EnableMenuItem(UINT id, UINT enable) { return ::EnableMenuItem(m_hMenu, id, enable); }
    BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags) {
        return ::CheckMenuRadioItem(m_hMenu, first, last, item, flags);
    }
    BOOL SetDefaultItem(UINT item, BOOL by_position = FALSE) { return ::SetMenuDefaultItem(m_hMenu, item, by_position); }
    UINT GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
    int GetMenuString(UINT id, CString& text, UINT flags) const;
    BOOL GetMenuItemInfo(UINT item, MENUITEMINFOA* info, BOOL by_position = FALSE) {
        return ::GetMenuItemInfoA(m_hMenu, item, by_position, info);
    }
    BOOL SetMenuItemInfo(UINT item, MENUITEMINFOA* info, BOOL by_position = FALSE) {
        return ::SetMenuItemInfoA(m_hMenu, item, by_position, info);
    }
    CMenu* GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, const RECT* rect = nullptr) {
        return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, wnd ? wnd->m_hWnd : nullptr, rect);
    }

    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}

private:
    bool m_temporary = false;
    friend struct AfxTempMaps;
};
