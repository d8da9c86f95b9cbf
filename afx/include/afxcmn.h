// Common control wrappers and image lists.
#pragma once

class CImageList : public CObject {
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    ~CImageList() override {
        if (!m_temporary) DeleteImageList();
    }
    // A temporary wrapper of a list this object does not own; it lives until the thread is next idle.
    static CImageList* FromHandle(HIMAGELIST list);
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL Create(UINT bitmap_id, int cx, int grow, COLORREF mask);
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();
    int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
    int Add(CBitmap* bitmap, CBitmap* mask) {
        return ImageList_Add(m_hImageList, (HBITMAP)bitmap->m_hObject, mask ? (HBITMAP)mask->m_hObject : nullptr);
    }
    int Add(CBitmap* bitmap, COLORREF mask) { return ImageList_AddMasked(m_hImageList, (HBITMAP)bitmap->m_hObject, mask); }
    BOOL Remove(int index) { return ImageList_Remove(m_hImageList, index); }
    int Replace(int index, HICON icon) { return ImageList_ReplaceIcon(m_hImageList, index, icon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    COLORREF SetBkColor(COLORREF colour) { return ImageList_SetBkColor(m_hImageList, colour); }
    BOOL Draw(CDC* dc, int index, POINT at, UINT style);
    HICON ExtractIcon(int index) { return ImageList_GetIcon(m_hImageList, index, ILD_NORMAL); }
    BOOL GetImageInfo(int index, IMAGEINFO* info) const { return ImageList_GetImageInfo(m_hImageList, index, info); }
    BOOL GetIconSize(int* cx, int* cy) const { return ImageList_GetIconSize(m_hImageList, cx, cy); }

private:
    bool m_temporary = false;
    friend struct AfxTempMaps;
};

class CHeaderCtrl : public CWnd {
public:
    int GetItemCount() const { return (int)SendMessage(HDM_GETITEMCOUNT); }
    BOOL GetItem(int index, HDITEMA* item) const { return (BOOL)SendMessage(HDM_GETITEMA, index, (LPARAM)item); }
    BOOL SetItem(int index, HDITEMA* item) { return (BOOL)SendMessage(HDM_SETITEMA, index, (LPARAM)item); }
    BOOL GetItemRect(int index, RECT* r) const { return (BOOL)SendMessage(HDM_GETITEMRECT, index, (LPARAM)r); }
    CImageList* SetImageList(CImageList* list);
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1, int sub_item = -1);
    int InsertColumn(int column, const LVCOLUMNA* info) { return (int)SendMessage(LVM_INSERTCOLUMNA, column, (LPARAM)info); }
    BOOL DeleteColumn(int column) { return (BOOL)SendMessage(LVM_DELETECOLUMN, column); }
    int GetColumnWidth(int column) const { return (int)SendMessage(LVM_GETCOLUMNWIDTH, column); }
    BOOL SetColumnWidth(int column, int width) { return (BOOL)SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)); }
    BOOL GetColumn(int column, LVCOLUMNA* info) const { return (BOOL)SendMessage(LVM_GETCOLUMNA, column, (LPARAM)info); }
    int InsertItem(const LVITEMA* item) { return (int)SendMessage(LVM_INSERTITEMA, 0, (LPARAM)item); }
    int InsertItem(int index, const char* text, int image = -1);
    BOOL DeleteItem(int index) { return (BOOL)SendMessage(LVM_DELETEITEM, index); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(LVM_DELETEALLITEMS); }
    BOOL GetItem(LVITEMA* item) const { return (BOOL)SendMessage(LVM_GETITEMA, 0, (LPARAM)item); }
    BOOL SetItem(const LVITEMA* item) { return (BOOL)SendMessage(LVM_SETITEMA, 0, (LPARAM)item); }
    BOOL SetItem(int index, int sub_item, UINT mask, const char* text, int image, UINT state, UINT state_mask, LPARAM data);
    BOOL SetItemText(int index, int sub_item, const char* text);
    CString GetItemText(int index, int sub_item) const;
    int GetItemText(int index, int sub_item, char* buffer, int size) const;
    BOOL SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    BOOL SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask) const { return (UINT)SendMessage(LVM_GETITEMSTATE, index, mask); }
    // A row's check box: 1 checked, 0 not, -1 when the row has none.
    int GetCheck(int index) const { return (int)(GetItemState(index, LVIS_STATEIMAGEMASK) >> 12) - 1; }
    BOOL SetCheck(int index, BOOL check = TRUE) {
        return SetItemState(index, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    int GetNextItem(int start, int flags) const { return (int)SendMessage(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)); }
    UINT GetSelectedCount() const { return (UINT)SendMessage(LVM_GETSELECTEDCOUNT); }
    DWORD GetExtendedStyle() const { return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE); }
    DWORD SetExtendedStyle(DWORD style) { return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
    BOOL SetBkColor(COLORREF c) { return (BOOL)SendMessage(LVM_SETBKCOLOR, 0, c); }
    BOOL SetTextColor(COLORREF c) { return (BOOL)SendMessage(LVM_SETTEXTCOLOR, 0, c); }
    BOOL SetTextBkColor(COLORREF c) { return (BOOL)SendMessage(LVM_SETTEXTBKCOLOR, 0, c); }
    COLORREF GetBkColor() const { return (COLORREF)SendMessage(LVM_GETBKCOLOR); }
    COLORREF GetTextColor() const { return (COLORREF)SendMessage(LVM_GETTEXTCOLOR); }
    CHeaderCtrl* GetHeaderCtrl() const { return (CHeaderCtrl*)CWnd::FromHandle((HWND)SendMessage(LVM_GETHEADER)); }
    CImageList* SetImageList(CImageList* list, int which);
    BOOL GetItemRect(int index, RECT* r, UINT code) const;
    BOOL GetSubItemRect(int index, int sub_item, int area, RECT& r) const;
    int HitTest(LVHITTESTINFO* info) const { return (int)SendMessage(LVM_HITTEST, 0, (LPARAM)info); }
    int HitTest(POINT pt, UINT* flags = nullptr) const;
    int SubItemHitTest(LVHITTESTINFO* info) { return (int)SendMessage(LVM_SUBITEMHITTEST, 0, (LPARAM)info); }
    BOOL EnsureVisible(int index, BOOL partial) { return (BOOL)SendMessage(LVM_ENSUREVISIBLE, index, partial); }
    BOOL RedrawItems(int first, int last) { return (BOOL)SendMessage(LVM_REDRAWITEMS, first, last); }
    int GetTopIndex() const { return (int)SendMessage(LVM_GETTOPINDEX); }
    int GetCountPerPage() const { return (int)SendMessage(LVM_GETCOUNTPERPAGE); }
    int SetHotItem(int index) { return (int)SendMessage(LVM_SETHOTITEM, index); }
    int GetHotItem() const { return (int)SendMessage(LVM_GETHOTITEM); }
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data) { return (BOOL)SendMessage(LVM_SORTITEMS, data, (LPARAM)compare); }
    BOOL Scroll(CSize size) { return (BOOL)SendMessage(LVM_SCROLL, size.cx, size.cy); }
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CSliderCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetPos() const { return (int)SendMessage(TBM_GETPOS); }
    void SetPos(int pos) { SendMessage(TBM_SETPOS, TRUE, pos); }
    void SetRange(int lo, int hi, BOOL redraw = FALSE) { SetRangeMin(lo, FALSE); SetRangeMax(hi, redraw); }
    void SetRangeMin(int lo, BOOL redraw = FALSE) { SendMessage(TBM_SETRANGEMIN, redraw, lo); }
    void SetRangeMax(int hi, BOOL redraw = FALSE) { SendMessage(TBM_SETRANGEMAX, redraw, hi); }
    int GetRangeMin() const { return (int)SendMessage(TBM_GETRANGEMIN); }
    int GetRangeMax() const { return (int)SendMessage(TBM_GETRANGEMAX); }
    void GetRange(int& lo, int& hi) const { lo = GetRangeMin(); hi = GetRangeMax(); }
    void SetTicFreq(int freq) { SendMessage(TBM_SETTICFREQ, freq); }
    void SetSelection(int lo, int hi) { SendMessage(TBM_SETSELSTART, FALSE, lo); SendMessage(TBM_SETSELEND, FALSE, hi); }
    void GetSelection(int& lo, int& hi) const { lo = (int)SendMessage(TBM_GETSELSTART); hi = (int)SendMessage(TBM_GETSELEND); }
    void ClearSel(BOOL redraw = FALSE) { SendMessage(TBM_CLEARSEL, redraw); }
    int SetPageSize(int size) { return (int)SendMessage(TBM_SETPAGESIZE, 0, size); }
    int SetLineSize(int size) { return (int)SendMessage(TBM_SETLINESIZE, 0, size); }
    int GetPageSize() const { return (int)SendMessage(TBM_GETPAGESIZE); }
    int GetLineSize() const { return (int)SendMessage(TBM_GETLINESIZE); }
    void GetChannelRect(RECT* r) const { SendMessage(TBM_GETCHANNELRECT, 0, (LPARAM)r); }
    void GetThumbRect(RECT* r) const { SendMessage(TBM_GETTHUMBRECT, 0, (LPARAM)r); }
};

class CProgressCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange(short lo, short hi) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lo, hi)); }
    void SetRange32(int lo, int hi) { SendMessage(PBM_SETRANGE32, lo, hi); }
    void GetRange(int& lo, int& hi) const {
        PBRANGE r{};
        SendMessage(PBM_GETRANGE, TRUE, (LPARAM)&r);
        lo = r.iLow; hi = r.iHigh;
    }
    int GetPos() const { return (int)SendMessage(PBM_GETPOS); }
    int SetPos(int pos) { return (int)SendMessage(PBM_SETPOS, pos); }
    int OffsetPos(int delta) { return (int)SendMessage(PBM_DELTAPOS, delta); }
    int SetStep(int step) { return (int)SendMessage(PBM_SETSTEP, step); }
    int StepIt() { return (int)SendMessage(PBM_STEPIT); }
    COLORREF SetBarColor(COLORREF c) { return (COLORREF)SendMessage(PBM_SETBARCOLOR, 0, c); }
    COLORREF SetBkColor(COLORREF c) { return (COLORREF)SendMessage(PBM_SETBKCOLOR, 0, c); }
};

class CTabCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetItemCount() const { return (int)SendMessage(TCM_GETITEMCOUNT); }
    int GetCurSel() const { return (int)SendMessage(TCM_GETCURSEL); }
    int SetCurSel(int index) { return (int)SendMessage(TCM_SETCURSEL, index); }
    int InsertItem(int index, const char* text, int image = -1);
    int InsertItem(int index, TCITEMA* item) { return (int)SendMessage(TCM_INSERTITEMA, index, (LPARAM)item); }
    BOOL GetItem(int index, TCITEMA* item) const { return (BOOL)SendMessage(TCM_GETITEMA, index, (LPARAM)item); }
    BOOL SetItem(int index, TCITEMA* item) { return (BOOL)SendMessage(TCM_SETITEMA, index, (LPARAM)item); }
    BOOL DeleteItem(int index) { return (BOOL)SendMessage(TCM_DELETEITEM, index); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(TCM_DELETEALLITEMS); }
    BOOL GetItemRect(int index, RECT* r) const { return (BOOL)SendMessage(TCM_GETITEMRECT, index, (LPARAM)r); }
    void AdjustRect(BOOL larger, RECT* r) { SendMessage(TCM_ADJUSTRECT, larger, (LPARAM)r); }
    CSize SetItemSize(CSize size);
    void SetPadding(CSize size) { SendMessage(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy)); }
    CImageList* SetImageList(CImageList* list);
    CImageList* GetImageList() const { return CImageList::FromHandle((HIMAGELIST)SendMessage(TCM_GETIMAGELIST)); }
    int GetCurFocus() const { return (int)SendMessage(TCM_GETCURFOCUS); }
    void SetCurFocus(int index) { SendMessage(TCM_SETCURFOCUS, index); }
    int HitTest(TCHITTESTINFO* info) const { return (int)SendMessage(TCM_HITTEST, 0, (LPARAM)info); }
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* wnd, const char* text, const RECT* rect = nullptr, UINT_PTR id = 0);
    void DelTool(CWnd* wnd, UINT_PTR id = 0);
    void UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id = 0);
    void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, (LPARAM)msg); }
    void Activate(BOOL on) { SendMessage(TTM_ACTIVATE, on); }
    int SetMaxTipWidth(int width) { return (int)SendMessage(TTM_SETMAXTIPWIDTH, 0, width); }
    void SetDelayTime(DWORD which, int time) { SendMessage(TTM_SETDELAYTIME, which, MAKELPARAM(time, 0)); }
    void SetTipBkColor(COLORREF c) { SendMessage(TTM_SETTIPBKCOLOR, c); }
    void SetTipTextColor(COLORREF c) { SendMessage(TTM_SETTIPTEXTCOLOR, c); }
    int GetToolCount() const { return (int)SendMessage(TTM_GETTOOLCOUNT); }
    void Pop() { SendMessage(TTM_POP); }

private:
    void fill_tool(TTTOOLINFOA* info, CWnd* wnd, UINT_PTR id) const;
};
