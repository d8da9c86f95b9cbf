// The skinned report list: per-cell text and back colours in a record every row carries, a striped
// background, column-click sorting by typed keys, row selection by state filters, skinned header and
// scroll bars, and an in-place cell editor that stays off unless its owner turns it on. The libraries'
// extra operations (deleting by state, moving rows, grid lines, the small image list) are the same
// class's. UI thread only.
#pragma once
#include "afxwin.h"
#include "SkinHeaderCtrl.h"
#include "SkinScrollBar.h"
#include "controls/skin_core/control_variants.h"
#include "controls/skin_core/list_rules.h"

// Messages to the list's parent.
#define WM_SKINLIST_ROWCLICK 0xA710  // wParam row, lParam the mouse message: a click changed a check box
#define WM_SKINLIST_SORTED   0xA711  // wParam sort column, lParam 1 ascending or 0
#define WM_SKINLIST_EDITED   0xA712  // wParam row, lParam column: the editor changed a cell

class CListEdit : public CEdit {
public:
    ~CListEdit() override;
};

class CSkinListCtrl : public CListCtrl {
public:
    CSkinListCtrl();
    ~CSkinListCtrl() override;

    static void SetDefaultVariant(const skin::ListVariant* variant);
    void SetVariant(const skin::ListVariant* variant);
    const skin::ListVariant* Variant() const { return m_pVariant; }

    // A NULL rectangle takes the parent's client rectangle; the style is forced to a visible report
    // view with both scroll bars.
    virtual BOOL Create(CWnd* parent, UINT id, const RECT* rect = nullptr, DWORD style = 0);

    // ---- rows and columns ----
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1, int sub_item = -1);
    // The caller's lParam (with LVIF_PARAM) becomes the row's user data.
    int InsertItem(const LVITEMA* item);
    int InsertItem(int index, const char* text);
    BOOL SetItem(int row, int sub_item, UINT mask, const char* text, int image, UINT state, UINT state_mask, LPARAM data);
    BOOL SetItemImage(int row, int sub_item, int image);
    int GetItemImage(int row, int sub_item) const;
    // The caller's own data of a row (GetItemData gives the row's record).
    LPARAM GetItemUserData(int row) const;
    skin::ListRowData* RowRecord(int row) const;
    // Ends an open edit keeping its text and forgets the sort, then sets the text.
    BOOL SetItemText(int row, int column, const char* text);
    BOOL DeleteItem(int row, BOOL select_next = FALSE);
    // Deletes the rows a state filter selects (1: all, freeing every record); the number deleted.
    int DeleteItems(int filter = 1);
    void FreeItemData(int row);
    BOOL IsValidItem(int row) const { return row >= 0 && row < GetItemCount(); }
    int GetColumnCount() const;
    // The height of one row (13 while the list is empty).
    int RowHeight() const;

    // ---- colours: -1 is the system's window text and window colour ----
    void SetItemTextColor(int row, int column, COLORREF colour, BOOL redraw = TRUE);
    void SetItemBkColor(int row, int column, COLORREF colour, BOOL redraw = TRUE);
    COLORREF GetItemTextColor(int row, int column) const;
    COLORREF GetItemBkColor(int row, int column) const;

    // ---- states: the bits of list_rules.h ----
    int GetItemStateImage(int row) const;
    BOOL ItemMatchesState(int row, int filter) const;
    int GetItemCountByState(int filter) const;
    int FindNextItemByState(int filter, int after = -1) const;
    // Applies action bits; TRUE only when every one succeeded (FALSE for none).
    BOOL SetItemState(int row, int bits);
    BOOL SetItemState(int row, UINT state, UINT mask) { return CListCtrl::SetItemState(row, state, mask); }
    int SetItemStateWhere(int filter, int bits);

    // ---- sorting ----
    void SortByColumn(int column, BOOL ascending);
    void ResetSortState();
    int GetSortColumn() const { return m_nSortColumn; }
    BOOL IsSortAscending() const { return m_bSortAscending; }

    // ---- editing ----
    void EnableEdit(BOOL on);
    BOOL IsEditEnabled() const { return m_bEditEnabled; }
    BOOL EditSubItem(int row, int column);
    BOOL EndEdit(BOOL keep);
    int GetEditRow() const { return m_nEditRow; }
    int GetEditColumn() const { return m_nEditColumn; }
    CListEdit* Editor() const { return m_pEdit; }

    // ---- the libraries' extras ----
    DWORD SetGridLines(BOOL on);
    // Moves a row with its texts, images, states and record; its new index, or -1.
    int MoveItem(int from, int to);
    int MoveUp(int row, int count = 1) { return MoveItem(row, row - count); }
    int MoveDown(int row, int count = 1) { return MoveItem(row, row + count); }
    // A new small image list from a strip of 16-pixel images; the new list, or NULL.
    CImageList* CreateSmallImageList(UINT bitmap_id, COLORREF mask);

    // Replaces the list's scroll bars by the skinned ones beside it on its parent.
    void CreateSkinScrollBars();
    // Moves the bars' thumbs to where the list is scrolled.
    void SyncScrollBars();

    BOOL PreTranslateMessage(MSG* msg) override;

    int m_nBandStyle = 0;          // 0: no bands (the program sets 21)
    COLORREF m_crBand = 0xC0C0C0;  // the bands' colour
    BOOL m_bScrollInset = FALSE;   // where the skinned bars go
    int m_nCheckMode = 0;          // 2: checking a row unchecks every other one
    CSkinHeaderCtrl m_header;
    CSkinHScrollBar m_hbar;
    CSkinVScrollBar m_vbar;

protected:
    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    afx_msg void OnCustomDraw(NMHDR* hdr, LRESULT* result);
    afx_msg void OnColumnClick(NMHDR* hdr, LRESULT* result);
    afx_msg int OnCreate(LPCREATESTRUCTA cs);
    afx_msg void OnDestroy();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnMButtonDown(UINT flags, CPoint point);
    afx_msg void OnMButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

    void ForceStyle();
    void AttachHeader();
    void Click(UINT msg, bool may_edit, CPoint point);
    BOOL EditOpen() const;
    void Redraw(BOOL redraw);
    void ColourCells(int row, int column, COLORREF colour, bool text, BOOL redraw);
    // The sort's comparison of two rows' texts.
    static int CompareTexts(const CString& a, const CString& b);

    const skin::ListVariant* m_pVariant;
    CListEdit* m_pEdit;
    BOOL m_bEditEnabled = FALSE;
    int m_nEditRow = -1, m_nEditColumn = -1;
    int m_nEditAlign = 0;
    CImageList m_imageSmall, m_imageState;
    int m_nSortColumn = -1;
    BOOL m_bSortAscending = TRUE;
    static const skin::ListVariant* s_defaultVariant;
};
