#include "SkinListCtrl.h"
#include "afxdisp.h"
#include "controls/skin/SkinPaint.h"
#include <vector>

const skin::ListVariant* CSkinListCtrl::s_defaultVariant = &skin::kTarmeloList;

CListEdit::~CListEdit() = default;

namespace {

// Report view, child, visible, both scroll bars; no other view, no label editing, no NOSCROLL.
constexpr DWORD kClearedStyle = 0x2203, kForcedStyle = 0x50300001;
constexpr DWORD kExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;

bool read_date(const char* text, double* date, void*) {
    COleDateTime d;
    if (!d.ParseDateTime(text, 0, LANG_USER_DEFAULT)) return false;
    *date = d.m_dt;
    return true;
}

// One row as the sort and a move take it out of the list and put it back.
struct RowSnapshot {
    int state_bits = 0;
    LPARAM data = 0;
    std::vector<int> images;
    std::vector<CString> texts;
};

}  // namespace

BEGIN_MESSAGE_MAP(CSkinListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MBUTTONDOWN()
    ON_WM_MBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONDBLCLK()
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CSkinListCtrl::CSkinListCtrl() : m_pVariant(s_defaultVariant), m_pEdit(new CListEdit) {
    m_hbar.SetList(this);
    m_vbar.SetList(this);
}

CSkinListCtrl::~CSkinListCtrl() { delete m_pEdit; }

void CSkinListCtrl::SetDefaultVariant(const skin::ListVariant* variant) {
    if (variant) s_defaultVariant = variant;
}

void CSkinListCtrl::SetVariant(const skin::ListVariant* variant) {
    if (variant) m_pVariant = variant;
}

// ---- creation ----

BOOL CSkinListCtrl::Create(CWnd* parent, UINT id, const RECT* rect, DWORD style) {
    CRect r;
    if (rect) r = *rect;
    else if (parent) parent->GetClientRect(&r);
    return CWnd::Create(WC_LISTVIEWA, "", (style & ~kClearedStyle) | kForcedStyle, r, parent, id);
}

BOOL CSkinListCtrl::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style = (cs.style & ~kClearedStyle) | kForcedStyle;
    return CListCtrl::PreCreateWindow(cs);
}

void CSkinListCtrl::ForceStyle() {
    DWORD style = GetStyle();
    DWORD want = (style & ~kClearedStyle) | kForcedStyle;
    if (want != style) ModifyStyle(style & ~want, want & ~style);
}

void CSkinListCtrl::AttachHeader() {
    HWND header = (HWND)SendMessage(LVM_GETHEADER);
    if (header && !m_header.m_hWnd) m_header.SubclassWindow(header);
}

void CSkinListCtrl::PreSubclassWindow() {
    ForceStyle();
    // A list being created has no header yet: OnCreate finishes the set-up.
    if (SendMessage(LVM_GETHEADER)) {
        SetExtendedStyle(kExtendedStyle);
        AttachHeader();
    }
    CListCtrl::PreSubclassWindow();
}

int CSkinListCtrl::OnCreate(LPCREATESTRUCTA cs) {
    int result = CListCtrl::OnCreate(cs);
    if (result == -1) return result;
    ForceStyle();
    SetExtendedStyle(GetExtendedStyle() | kExtendedStyle);
    AttachHeader();
    return result;
}

void CSkinListCtrl::OnDestroy() {
    DeleteItems(1);
    if (m_pEdit->m_hWnd) m_pEdit->DestroyWindow();
    m_imageSmall.DeleteImageList();
    m_imageState.DeleteImageList();
    CListCtrl::OnDestroy();
}

LRESULT CSkinListCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = CListCtrl::WindowProc(msg, wp, lp);
    switch (msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_SIZE:
    case LVM_SCROLL:
    case LVM_ENSUREVISIBLE:
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
        // The skinned bars follow every scroll, the list's own ones included.
        SyncScrollBars();
        break;
    default:
        break;
    }
    return result;
}

// ---- rows and columns ----

skin::ListRowData* CSkinListCtrl::RowRecord(int row) const {
    return IsValidItem(row) ? (skin::ListRowData*)CListCtrl::GetItemData(row) : nullptr;
}

LPARAM CSkinListCtrl::GetItemUserData(int row) const {
    skin::ListRowData* record = RowRecord(row);
    return record ? (LPARAM)record->user_data : 0;
}

int CSkinListCtrl::GetColumnCount() const {
    HWND header = (HWND)SendMessage(LVM_GETHEADER);
    return header ? (int)::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
}

int CSkinListCtrl::RowHeight() const {
    CRect r;
    if (GetItemCount() > 0 && GetItemRect(GetTopIndex(), &r, LVIR_BOUNDS) && r.Height() > 0) return r.Height();
    return skin::kListBandHeight;
}

int CSkinListCtrl::InsertColumn(int column, const char* heading, int format, int width, int sub_item) {
    EndEdit(TRUE);
    int at = CListCtrl::InsertColumn(column, heading, format, width, sub_item);
    if (at < 0) return -1;
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT), back = ::GetSysColor(COLOR_WINDOW);
    for (int row = 0; row < GetItemCount(); ++row)
        if (skin::ListRowData* record = RowRecord(row)) record->insert_column(at, text, back);
    return at;
}

int CSkinListCtrl::InsertItem(const LVITEMA* item) {
    if (!item) return -1;
    EndEdit(TRUE);
    ResetSortState();
    LVITEMA copy = *item;
    const LPARAM user = (copy.mask & LVIF_PARAM) ? copy.lParam : 0;
    auto* record = new skin::ListRowData(user, GetColumnCount(), ::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_WINDOW));
    copy.mask |= LVIF_PARAM;
    copy.lParam = (LPARAM)record;
    int row = CListCtrl::InsertItem(&copy);
    if (row < 0) delete record;
    return row;
}

int CSkinListCtrl::InsertItem(int index, const char* text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text ? text : "");
    return InsertItem(&item);
}

BOOL CSkinListCtrl::SetItem(int row, int sub_item, UINT mask, const char* text, int image, UINT state, UINT state_mask,
                            LPARAM data) {
    EndEdit(TRUE);
    if (mask & LVIF_PARAM) {
        if (skin::ListRowData* record = RowRecord(row)) {
            // The record stays the item data; the caller's value is its user data.
            record->user_data = data;
            data = (LPARAM)record;
        }
    }
    return CListCtrl::SetItem(row, sub_item, mask, text, image, state, state_mask, data);
}

BOOL CSkinListCtrl::SetItemImage(int row, int sub_item, int image) {
    return CListCtrl::SetItem(row, sub_item, LVIF_IMAGE, nullptr, image, 0, 0, 0);
}

int CSkinListCtrl::GetItemImage(int row, int sub_item) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = sub_item;
    return GetItem(&item) ? item.iImage : -1;
}

BOOL CSkinListCtrl::SetItemText(int row, int column, const char* text) {
    EndEdit(TRUE);
    ResetSortState();
    return CListCtrl::SetItemText(row, column, text);
}

void CSkinListCtrl::FreeItemData(int row) {
    skin::ListRowData* record = RowRecord(row);
    if (!record) return;
    CListCtrl::SetItem(row, 0, LVIF_PARAM, nullptr, 0, 0, 0, 0);
    delete record;
}

BOOL CSkinListCtrl::DeleteItem(int row, BOOL select_next) {
    if (!IsValidItem(row)) return FALSE;
    EndEdit(row != m_nEditRow);
    if (select_next && IsValidItem(row + 1)) SetItemState(row + 1, (int)skin::kRowSelected);
    FreeItemData(row);
    return CListCtrl::DeleteItem(row);
}

int CSkinListCtrl::DeleteItems(int filter) {
    EndEdit(FALSE);
    const int count = GetItemCount();
    const BOOL locked = LockWindowUpdate();
    int deleted = 0;
    if (filter & skin::kRowAny) {
        for (int row = 0; row < count; ++row) FreeItemData(row);
        DeleteAllItems();
        deleted = count;
    } else {
        // A deleted row's successor moves into its place and is tested next.
        for (int row = 0; row < GetItemCount();) {
            if (ItemMatchesState(row, filter)) {
                DeleteItem(row, FALSE);
                ++deleted;
            } else {
                ++row;
            }
        }
    }
    if (locked) UnlockWindowUpdate();
    return deleted;
}

// ---- colours ----

void CSkinListCtrl::Redraw(BOOL redraw) {
    if (redraw && m_hWnd) RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CSkinListCtrl::ColourCells(int row, int column, COLORREF colour, bool text, BOOL redraw) {
    skin::CellRange cells = skin::colour_cells(row, column, GetItemCount(), GetColumnCount());
    for (int r = cells.first_row; r < cells.end_row; ++r) {
        skin::ListRowData* record = RowRecord(r);
        if (!record) continue;
        CArray<skin::Colour, skin::Colour>& colours = text ? record->text_colours : record->back_colours;
        for (int c = cells.first_column; c < cells.end_column && c < colours.GetSize(); ++c) colours[c] = colour;
    }
    Redraw(redraw);
}

void CSkinListCtrl::SetItemTextColor(int row, int column, COLORREF colour, BOOL redraw) {
    ColourCells(row, column, colour == (COLORREF)-1 ? ::GetSysColor(COLOR_WINDOWTEXT) : colour, true, redraw);
}

void CSkinListCtrl::SetItemBkColor(int row, int column, COLORREF colour, BOOL redraw) {
    ColourCells(row, column, colour == (COLORREF)-1 ? ::GetSysColor(COLOR_WINDOW) : colour, false, redraw);
}

COLORREF CSkinListCtrl::GetItemTextColor(int row, int column) const {
    skin::ListRowData* record = RowRecord(row);
    if (!record || column < 0 || column >= record->text_colours.GetSize()) return CLR_INVALID;
    return record->text_colours[column];
}

COLORREF CSkinListCtrl::GetItemBkColor(int row, int column) const {
    skin::ListRowData* record = RowRecord(row);
    if (!record || column < 0 || column >= record->back_colours.GetSize()) return CLR_INVALID;
    return record->back_colours[column];
}

void CSkinListCtrl::OnCustomDraw(NMHDR* hdr, LRESULT* result) {
    NMLVCUSTOMDRAW* cd = (NMLVCUSTOMDRAW*)hdr;
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        if (m_pVariant->paints_bands && m_nBandStyle != 0) {
            CRect client;
            GetClientRect(&client);
            for (const skin::Rect& band : skin::list_band_rects(skin_rect(client)))
                skin_draw_gradient(cd->nmcd.hdc, *m_pVariant->gradient, m_crBand,
                                   RECT{band.left, band.top, band.right, band.bottom}, m_nBandStyle);
        }
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const skin::ListRowData* record = (const skin::ListRowData*)cd->nmcd.lItemlParam;
        const int column = cd->iSubItem;
        if (record && column >= 0 && column < record->text_colours.GetSize()) {
            cd->clrText = record->text_colours[column];
            cd->clrTextBk = record->back_colours[column];
        }
        *result = CDRF_DODEFAULT;
        return;
    }
    default:
        *result = CDRF_DODEFAULT;
        return;
    }
}

// ---- states ----

int CSkinListCtrl::GetItemStateImage(int row) const {
    return (int)skin::row_state_bits(GetCheck(row) > 0, GetItemState(row, LVIS_SELECTED) != 0,
                                     GetItemState(row, LVIS_FOCUSED) != 0);
}

BOOL CSkinListCtrl::ItemMatchesState(int row, int filter) const {
    return IsValidItem(row) && skin::row_matches((unsigned)filter, (unsigned)GetItemStateImage(row));
}

int CSkinListCtrl::GetItemCountByState(int filter) const {
    if (filter == (int)skin::kRowAny) return GetItemCount();
    int n = 0;
    for (int row = 0; row < GetItemCount(); ++row) n += ItemMatchesState(row, filter) ? 1 : 0;
    return n;
}

int CSkinListCtrl::FindNextItemByState(int filter, int after) const {
    for (int row = after + 1 < 0 ? 0 : after + 1; row < GetItemCount(); ++row)
        if (ItemMatchesState(row, filter)) return row;
    return -1;
}

BOOL CSkinListCtrl::SetItemState(int row, int bits) {
    if (!bits || !IsValidItem(row)) return FALSE;
    bool ok = true;
    for (unsigned action : skin::state_actions((unsigned)bits)) {
        switch (action) {
        case skin::kRowSelected: ok &= CListCtrl::SetItemState(row, LVIS_SELECTED, LVIS_SELECTED) != FALSE; break;
        case skin::kRowNotSelected: ok &= CListCtrl::SetItemState(row, 0, LVIS_SELECTED) != FALSE; break;
        case skin::kRowChecked:
            ok &= SetCheck(row, TRUE) != FALSE;
            // One checked row: every other one is unchecked.
            if (m_nCheckMode == 2)
                for (int other = 0; other < GetItemCount(); ++other)
                    if (other != row && GetCheck(other) > 0) SetCheck(other, FALSE);
            break;
        case skin::kRowNotChecked: ok &= SetCheck(row, FALSE) != FALSE; break;
        case skin::kRowFocused: ok &= CListCtrl::SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED) != FALSE; break;
        case skin::kRowNotFocused: ok &= CListCtrl::SetItemState(row, 0, LVIS_FOCUSED) != FALSE; break;
        default: break;
        }
    }
    return ok ? TRUE : FALSE;
}

int CSkinListCtrl::SetItemStateWhere(int filter, int bits) {
    int n = 0;
    for (int row = 0; row < GetItemCount(); ++row)
        if (ItemMatchesState(row, filter)) {
            SetItemState(row, bits);
            ++n;
        }
    return n;
}

// ---- sorting and moving ----

namespace {

RowSnapshot take_row(const CSkinListCtrl& list, int row, int columns) {
    RowSnapshot s;
    s.state_bits = list.GetItemStateImage(row);
    s.data = (LPARAM)list.CListCtrl::GetItemData(row);
    for (int c = 0; c < columns; ++c) {
        s.images.push_back(list.GetItemImage(row, c));
        s.texts.push_back(list.GetItemText(row, c));
    }
    return s;
}

// Writes a snapshot's texts, images and item data into `row` with the list view's own calls (no
// record is made or changed).
void put_row(CSkinListCtrl& list, int row, const RowSnapshot& s) {
    list.CListCtrl::SetItem(row, 0, LVIF_PARAM, nullptr, 0, 0, 0, s.data);
    for (size_t c = 0; c < s.texts.size(); ++c) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row;
        item.iSubItem = (int)c;
        item.pszText = const_cast<char*>(s.texts[c].GetString());
        item.iImage = s.images[c];
        list.CListCtrl::SetItem(&item);
    }
}

}  // namespace

int CSkinListCtrl::CompareTexts(const CString& a, const CString& b) { return skin::compare_sort_keys(a, b, read_date, nullptr); }

void CSkinListCtrl::ResetSortState() {
    m_nSortColumn = -1;
    m_bSortAscending = TRUE;
}

void CSkinListCtrl::OnColumnClick(NMHDR* hdr, LRESULT* result) {
    const int column = ((NMLISTVIEW*)hdr)->iSubItem;
    SortByColumn(column, skin::click_sorts_ascending(column, m_nSortColumn, m_bSortAscending != FALSE));
    *result = 0;
}

void CSkinListCtrl::SortByColumn(int column, BOOL ascending) {
    EndEdit(TRUE);
    const int columns = GetColumnCount();
    if (column < 0 || column >= columns || (GetStyle() & LVS_NOCOLUMNHEADER)) return;
    HWND header = (HWND)SendMessage(LVM_GETHEADER);
    if (!header || !(::GetWindowLongA(header, GWL_STYLE) & HDS_BUTTONS)) return;
    m_nSortColumn = column;
    m_bSortAscending = ascending;
    const int count = GetItemCount();
    if (count >= 2) {
        std::vector<CString> keys;
        for (int row = 0; row < count; ++row) keys.push_back(GetItemText(row, column));
        std::vector<int> order = skin::sorted_rows(count, ascending != FALSE,
                                                   [&keys](int a, int b) { return CompareTexts(keys[a], keys[b]); });
        std::vector<RowSnapshot> rows;
        for (int row : order) rows.push_back(take_row(*this, row, columns));
        for (int row = 0; row < count; ++row) {
            put_row(*this, row, rows[row]);
            SetItemState(row, rows[row].state_bits);
        }
    }
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_SKINLIST_SORTED, column, ascending ? 1 : 0);
}

int CSkinListCtrl::MoveItem(int from, int to) {
    if (!IsValidItem(from)) return -1;
    EndEdit(TRUE);
    const int count = GetItemCount();
    if (to < 0) to = 0;
    if (to > count - 1) to = count - 1;
    if (from == to) return to;
    ResetSortState();
    RowSnapshot row = take_row(*this, from, GetColumnCount());
    // The record moves with the row: deleted without freeing, inserted with the list view's own call.
    CListCtrl::DeleteItem(from);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = to;
    item.pszText = const_cast<char*>("");
    const int at = CListCtrl::InsertItem(&item);
    if (at < 0) {
        delete (skin::ListRowData*)row.data;
        return -1;
    }
    put_row(*this, at, row);
    SetItemState(at, row.state_bits);
    return at;
}

DWORD CSkinListCtrl::SetGridLines(BOOL on) {
    DWORD style = GetExtendedStyle();
    return SetExtendedStyle(on ? style | LVS_EX_GRIDLINES : style & ~(DWORD)LVS_EX_GRIDLINES);
}

CImageList* CSkinListCtrl::CreateSmallImageList(UINT bitmap_id, COLORREF mask) {
    m_imageSmall.DeleteImageList();
    if (!m_imageSmall.Create(bitmap_id, 16, 4, mask)) {
        CListCtrl::SetImageList(nullptr, LVSIL_SMALL);
        return nullptr;
    }
    // The list shares the image list, which this object destroys.
    ModifyStyle(0, LVS_SHAREIMAGELISTS);
    CListCtrl::SetImageList(&m_imageSmall, LVSIL_SMALL);
    return &m_imageSmall;
}

// ---- editing ----

BOOL CSkinListCtrl::EditOpen() const {
    return m_bEditEnabled && IsValidItem(m_nEditRow) && m_nEditColumn >= 0 && m_nEditColumn < GetColumnCount();
}

void CSkinListCtrl::EnableEdit(BOOL on) {
    if (!on) EndEdit(TRUE);
    m_bEditEnabled = on;
}

BOOL CSkinListCtrl::EditSubItem(int row, int column) {
    if (!m_bEditEnabled || !IsValidItem(row) || column < 0 || column >= GetColumnCount()) return FALSE;
    if (row == m_nEditRow && column == m_nEditColumn) return TRUE;
    EndEdit(TRUE);
    m_nEditRow = row;
    m_nEditColumn = column;
    SetItemStateWhere((int)skin::kRowSelected, (int)skin::kRowNotSelected);
    SetItemState(row, (int)(skin::kRowSelected | skin::kRowFocused));
    int align = 0;
    HWND header = (HWND)SendMessage(LVM_GETHEADER);
    if (header) {
        HDITEMA h{};
        h.mask = HDI_FORMAT;
        ::SendMessageA(header, HDM_GETITEMA, column, (LPARAM)&h);
        align = (h.fmt & HDF_CENTER) ? 1 : (h.fmt & HDF_RIGHT) ? 2 : 0;
    }
    if (align != m_nEditAlign) {
        m_nEditAlign = align;
        if (m_pEdit->m_hWnd) m_pEdit->DestroyWindow();
    }
    if (!m_pEdit->m_hWnd && !m_pEdit->Create(align | 0x40800180, CRect(0, 0, 1, 1), this, 0)) {
        // No editor: no edit is open, so no later end of it can blank the cell.
        m_nEditRow = m_nEditColumn = -1;
        return FALSE;
    }
    m_pEdit->SetFont(GetFont());
    CRect cell;
    GetSubItemRect(row, column, LVIR_LABEL, cell);
    if (column != 0 && SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL) && GetItemImage(row, column) >= 0) cell.left += 16;
    m_pEdit->MoveWindow(&cell, TRUE);
    m_pEdit->SetWindowText(GetItemText(row, column));
    m_pEdit->ShowWindow(SW_SHOW);
    m_pEdit->SetSel(0, -1);
    m_pEdit->SetFocus();
    return TRUE;
}

BOOL CSkinListCtrl::EndEdit(BOOL keep) {
    if (!EditOpen()) return FALSE;
    const int row = m_nEditRow, column = m_nEditColumn;
    BOOL changed = FALSE;
    if (keep && m_pEdit->m_hWnd) {
        CString text;
        m_pEdit->GetWindowText(text);
        if (text != GetItemText(row, column)) {
            CListCtrl::SetItemText(row, column, text);
            ResetSortState();
            changed = TRUE;
        }
    }
    if (m_pEdit->m_hWnd) m_pEdit->ShowWindow(SW_HIDE);
    m_nEditRow = m_nEditColumn = -1;
    if (changed)
        if (CWnd* parent = GetParent()) parent->SendMessage(WM_SKINLIST_EDITED, row, column);
    return changed;
}

BOOL CSkinListCtrl::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (EditOpen()) {
            skin::EditKey k = skin::edit_key((unsigned)msg->wParam, m_nEditRow, m_nEditColumn, GetItemCount(), GetColumnCount());
            if (k.consumed) {
                if (k.end != skin::EditEnd::None) EndEdit(k.end == skin::EditEnd::Keep);
                if (k.row >= 0) {
                    EditSubItem(k.row, k.column);
                    if (k.ensure_visible) EnsureVisible(k.row, FALSE);
                }
                return TRUE;
            }
        } else if (msg->wParam == VK_SPACE) {
            // The keyboard never toggles a check box.
            return TRUE;
        }
    }
    return CListCtrl::PreTranslateMessage(msg);
}

// ---- clicks ----

void CSkinListCtrl::Click(UINT msg, bool may_edit, CPoint point) {
    LVHITTESTINFO hit{};
    hit.pt = point;
    SubItemHitTest(&hit);
    const int row = hit.iItem, column = hit.iSubItem;
    const bool on_row = IsValidItem(row);
    const int check_before = on_row ? GetCheck(row) : -2;
    const bool was_open = EditOpen() != FALSE;
    EndEdit(TRUE);
    const bool selected_and_focused =
        may_edit && on_row && ItemMatchesState(row, (int)(skin::kRowSelected | skin::kRowFocused));
    Default();
    bool acted = false;
    if (on_row && IsValidItem(row) && GetCheck(row) != check_before) {
        if (m_nCheckMode == 2 && GetCheck(row) > 0) SetItemState(row, (int)skin::kRowChecked);
        SetItemStateWhere((int)skin::kRowSelected, (int)skin::kRowNotSelected);
        SetItemState(row, (int)(skin::kRowSelected | skin::kRowFocused));
        if (CWnd* parent = GetParent()) parent->SendMessage(WM_SKINLIST_ROWCLICK, row, msg);
        acted = true;
    }
    if (may_edit && m_bEditEnabled && !acted && !was_open && selected_and_focused) EditSubItem(row, column);
}

void CSkinListCtrl::OnLButtonDown(UINT, CPoint point) { Click(WM_LBUTTONDOWN, true, point); }
void CSkinListCtrl::OnLButtonDblClk(UINT, CPoint point) { Click(WM_LBUTTONDBLCLK, true, point); }
void CSkinListCtrl::OnMButtonDown(UINT, CPoint point) { Click(WM_MBUTTONDOWN, false, point); }
void CSkinListCtrl::OnMButtonDblClk(UINT, CPoint point) { Click(WM_MBUTTONDBLCLK, false, point); }
void CSkinListCtrl::OnRButtonDown(UINT, CPoint point) { Click(WM_RBUTTONDOWN, false, point); }
void CSkinListCtrl::OnRButtonDblClk(UINT, CPoint point) { Click(WM_RBUTTONDBLCLK, false, point); }

// ---- scroll bars ----

void CSkinListCtrl::CreateSkinScrollBars() {
    ::InitializeFlatSB(m_hWnd);
    ::FlatSB_EnableScrollBar(m_hWnd, SB_BOTH, ESB_DISABLE_BOTH);
    CWnd* parent = GetParent();
    if (!parent) return;
    CRect list, frame;
    GetWindowRect(&list);
    parent->GetWindowRect(&frame);
    const int L = list.left - frame.left, T = list.top - frame.top, R = list.right - frame.left, B = list.bottom - frame.top;
    const DWORD style = parent->GetStyle();
    const int cap = (style & WS_CAPTION) == WS_CAPTION ? ::GetSystemMetrics(SM_CYSIZE) : 0;
    int f = (style & WS_BORDER) ? ::GetSystemMetrics(SM_CYDLGFRAME) : 0;
    if (style & WS_THICKFRAME) ++f;
    CRect h, v;
    if (!m_bScrollInset) {
        h.SetRect(L - f, B - f - cap - 2, R - f + 1, B - f - cap + 10);
        v.SetRect(R - f, T - f - cap - 2, R - f + 12, B - f - cap + 10);
    } else {
        h.SetRect(L - f - 3, B - f - cap - 3, R - f - 2, B - f - cap + 9);
        v.SetRect(R - f - 3, T - f - cap - 3, R - f + 9, B - f - cap + 9);
    }
    const DWORD bar_style = 0x50020100;  // child, visible, group, notify
    m_vbar.Create("", bar_style, v, parent, 0xFFFF);
    m_hbar.Create("", bar_style, h, parent, 0xFFFF);
    m_vbar.SetList(this);
    m_hbar.SetList(this);
    SyncScrollBars();
}

void CSkinListCtrl::SyncScrollBars() {
    if (m_hbar.m_hWnd) m_hbar.Sync();
    if (m_vbar.m_hWnd) m_vbar.Sync();
}
