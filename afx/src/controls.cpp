// Control wrappers: creation, item access, and owner-draw reflection.
#include "afximpl.h"

namespace {
BOOL create_control(CWnd* wnd, const char* cls, const char* text, DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return wnd->CreateEx(0, cls, text, style | WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         parent ? parent->m_hWnd : nullptr, (HMENU)(UINT_PTR)id);
}

// The text of a list or combo item: its length first, then the text (both fail with a negative value).
void item_text(const CWnd* wnd, UINT length_msg, UINT text_msg, int index, CString& text) {
    int n = (int)wnd->SendMessage(length_msg, index);
    if (n < 0) {
        text.Empty();
        return;
    }
    char* buf = text.GetBuffer(n + 1);
    int got = (int)wnd->SendMessage(text_msg, index, (LPARAM)buf);
    text.ReleaseBuffer(got < 0 ? 0 : got);
}

// A parent hands WM_DRAWITEM back to the owner-drawn control it describes.
template <typename T>
BOOL reflect_draw_item(T* self, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg != WM_DRAWITEM) return self->CWnd::OnChildNotify(msg, wp, lp, result);
    self->DrawItem((LPDRAWITEMSTRUCT)lp);
    *result = TRUE;
    return TRUE;
}
}  // namespace

BOOL CButton::Create(const char* caption, DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, "BUTTON", caption, style, r, parent, id);
}
BOOL CButton::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return reflect_draw_item(this, msg, wp, lp, result); }

BOOL CStatic::Create(const char* text, DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, "STATIC", text, style, r, parent, id);
}
BOOL CStatic::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return reflect_draw_item(this, msg, wp, lp, result); }

BOOL CEdit::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, "EDIT", "", style, r, parent, id);
}

BOOL CItemOwnerWnd::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
    case WM_DRAWITEM: DrawItem((LPDRAWITEMSTRUCT)lp); *result = TRUE; return TRUE;
    case WM_MEASUREITEM: MeasureItem((LPMEASUREITEMSTRUCT)lp); *result = TRUE; return TRUE;
    case WM_COMPAREITEM: *result = CompareItem((LPCOMPAREITEMSTRUCT)lp); return TRUE;
    case WM_DELETEITEM: DeleteItem((LPDELETEITEMSTRUCT)lp); *result = TRUE; return TRUE;
    default: return CWnd::OnChildNotify(msg, wp, lp, result);
    }
}

BOOL CComboBox::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, "COMBOBOX", "", style, r, parent, id);
}

void CComboBox::GetLBText(int index, CString& text) const { item_text(this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text); }

BOOL CListBox::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, "LISTBOX", "", style, r, parent, id);
}

void CListBox::GetText(int index, CString& text) const { item_text(this, LB_GETTEXTLEN, LB_GETTEXT, index, text); }

BOOL CScrollBar::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, "SCROLLBAR", "", style, r, parent, id);
}

// ---- common controls ----

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    return Attach(ImageList_Create(cx, cy, flags, initial, grow));
}

BOOL CImageList::Create(UINT bitmap_id, int cx, int grow, COLORREF mask) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(bitmap_id), (LPCSTR)RT_BITMAP);
    return Attach(ImageList_LoadImageA(module, MAKEINTRESOURCEA(bitmap_id), cx, grow, mask, IMAGE_BITMAP, 0));
}

CImageList* CImageList::FromHandle(HIMAGELIST list) {
    if (!list) return nullptr;
    auto& slot = AfxTemp().image_lists[list];
    if (!slot) {
        slot.reset(new CImageList);
        slot->m_hImageList = list;
        slot->m_temporary = true;
    }
    return slot.get();
}

BOOL CImageList::Attach(HIMAGELIST list) {
    if (!list) return FALSE;
    DeleteImageList();
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Draw(CDC* dc, int index, POINT at, UINT style) {
    return ImageList_Draw(m_hImageList, index, dc->m_hDC, at.x, at.y, style);
}

namespace {
// Image lists handed to a control stay owned by the caller; the previous one is not wrapped.
CImageList* no_previous_list(LRESULT) { return nullptr; }
}  // namespace

CImageList* CHeaderCtrl::SetImageList(CImageList* list) {
    return no_previous_list(SendMessage(HDM_SETIMAGELIST, 0, (LPARAM)(list ? list->m_hImageList : nullptr)));
}
BOOL CHeaderCtrl::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return reflect_draw_item(this, msg, wp, lp, result); }

BOOL CListCtrl::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, WC_LISTVIEWA, "", style, r, parent, id);
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int sub_item) {
    LVCOLUMNA c{};
    c.mask = LVCF_FMT | LVCF_TEXT;
    c.fmt = format;
    c.pszText = const_cast<char*>(heading);
    if (width != -1) { c.mask |= LVCF_WIDTH; c.cx = width; }
    if (sub_item != -1) { c.mask |= LVCF_SUBITEM; c.iSubItem = sub_item; }
    return InsertColumn(column, &c);
}

int CListCtrl::InsertItem(int index, const char* text, int image) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItem(int index, int sub_item, UINT mask, const char* text, int image, UINT state,
                        UINT state_mask, LPARAM data) {
    LVITEMA item{};
    item.mask = mask;
    item.iItem = index;
    item.iSubItem = sub_item;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.state = state;
    item.stateMask = state_mask;
    item.lParam = data;
    return SetItem(&item);
}

BOOL CListCtrl::SetItemText(int index, int sub_item, const char* text) {
    LVITEMA item{};
    item.iSubItem = sub_item;
    item.pszText = const_cast<char*>(text);
    return (BOOL)SendMessage(LVM_SETITEMTEXTA, index, (LPARAM)&item);
}

int CListCtrl::GetItemText(int index, int sub_item, char* buffer, int size) const {
    LVITEMA item{};
    item.iSubItem = sub_item;
    item.pszText = buffer;
    item.cchTextMax = size;
    return (int)SendMessage(LVM_GETITEMTEXTA, index, (LPARAM)&item);
}

CString CListCtrl::GetItemText(int index, int sub_item) const {
    // Grow the buffer until the text fits.
    for (int size = 256;; size *= 2) {
        CString text;
        char* buf = text.GetBuffer(size);
        int got = GetItemText(index, sub_item, buf, size);
        text.ReleaseBuffer(got);
        if (got < size - 1 || size >= (1 << 20)) return text;
    }
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data) {
    return SetItem(index, 0, LVIF_PARAM, nullptr, 0, 0, 0, (LPARAM)data);
}

DWORD_PTR CListCtrl::GetItemData(int index) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    return (BOOL)SendMessage(LVM_SETITEMSTATE, index, (LPARAM)&item);
}

CImageList* CListCtrl::SetImageList(CImageList* list, int which) {
    return no_previous_list(SendMessage(LVM_SETIMAGELIST, which, (LPARAM)(list ? list->m_hImageList : nullptr)));
}

BOOL CListCtrl::GetItemRect(int index, RECT* r, UINT code) const {
    r->left = (LONG)code;
    return (BOOL)SendMessage(LVM_GETITEMRECT, index, (LPARAM)r);
}

BOOL CListCtrl::GetSubItemRect(int index, int sub_item, int area, RECT& r) const {
    r.top = sub_item;
    r.left = area;
    return (BOOL)SendMessage(LVM_GETSUBITEMRECT, index, (LPARAM)&r);
}

int CListCtrl::HitTest(POINT pt, UINT* flags) const {
    LVHITTESTINFO info{};
    info.pt = pt;
    int index = HitTest(&info);
    if (flags) *flags = info.flags;
    return index;
}

BOOL CListCtrl::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return reflect_draw_item(this, msg, wp, lp, result); }

BOOL CSliderCtrl::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, TRACKBAR_CLASSA, "", style, r, parent, id);
}

BOOL CProgressCtrl::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, PROGRESS_CLASSA, "", style, r, parent, id);
}

BOOL CTabCtrl::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return create_control(this, WC_TABCONTROLA, "", style, r, parent, id);
}

int CTabCtrl::InsertItem(int index, const char* text, int image) {
    TCITEMA item{};
    item.mask = TCIF_TEXT | (image >= 0 ? TCIF_IMAGE : 0);
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    return InsertItem(index, &item);
}

CSize CTabCtrl::SetItemSize(CSize size) {
    LRESULT old = SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy));
    return CSize(LOWORD(old), HIWORD(old));
}

CImageList* CTabCtrl::SetImageList(CImageList* list) {
    return no_previous_list(SendMessage(TCM_SETIMAGELIST, 0, (LPARAM)(list ? list->m_hImageList : nullptr)));
}

BOOL CTabCtrl::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return reflect_draw_item(this, msg, wp, lp, result); }

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, nullptr);
}

void CToolTipCtrl::fill_tool(TTTOOLINFOA* info, CWnd* wnd, UINT_PTR id) const {
    *info = TTTOOLINFOA{};
    info->cbSize = sizeof *info;
    if (id == 0 && wnd) {
        info->hwnd = ::GetParent(wnd->m_hWnd);
        info->uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info->uId = (UINT_PTR)wnd->m_hWnd;
    } else {
        info->hwnd = wnd ? wnd->m_hWnd : nullptr;
        info->uId = id;
        info->uFlags = TTF_SUBCLASS;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, const char* text, const RECT* rect, UINT_PTR id) {
    TTTOOLINFOA info;
    fill_tool(&info, wnd, id);
    if (rect) info.rect = *rect;
    else if (wnd && !(info.uFlags & TTF_IDISHWND)) ::GetClientRect(wnd->m_hWnd, &info.rect);
    info.lpszText = const_cast<char*>(text ? text : LPSTR_TEXTCALLBACKA);
    return (BOOL)SendMessage(TTM_ADDTOOLA, 0, (LPARAM)&info);
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id) {
    TTTOOLINFOA info;
    fill_tool(&info, wnd, id);
    SendMessage(TTM_DELTOOLA, 0, (LPARAM)&info);
}

void CToolTipCtrl::UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id) {
    TTTOOLINFOA info;
    fill_tool(&info, wnd, id);
    info.lpszText = const_cast<char*>(text);
    SendMessage(TTM_UPDATETIPTEXTA, 0, (LPARAM)&info);
}
