#include "BaseTabCtrl.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/skin_colour.h"
#include "controls/skin_core/tab_rules.h"

const skin::TabVariant* CBaseTabCtrl::s_defaultVariant = &skin::kTarmeloTab;

BEGIN_MESSAGE_MAP(CBaseTabCtrl, CTabCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {
const char kNoVerticalTabs[] =
    "CBaseTabCtrl属性页不支持纵向排列页标，请去掉TCS_VERTICAL属性设置以及相关风格设置代码代码";

void line(CDC* dc, COLORREF colour, int x1, int y1, int x2, int y2) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = ::SelectObject(dc->m_hDC, pen);
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
    ::SelectObject(dc->m_hDC, old);
    ::DeleteObject(pen);
}
}  // namespace

void ClearStaleTabPress(HWND tab) {
    if (!::IsWindow(tab)) return;
    const LONG style = ::GetWindowLongA(tab, GWL_STYLE);
    if ((style & TCS_BUTTONS) && (style & TCS_MULTISELECT)) return;
    const int count = (int)::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    const int selected = (int)::SendMessageA(tab, TCM_GETCURSEL, 0, 0);
    for (int i = 0; i < count; ++i) {
        if (i == selected) continue;
        TCITEMA item{};
        item.mask = TCIF_STATE;
        item.dwStateMask = TCIS_BUTTONPRESSED;
        if (!::SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)&item) || !(item.dwState & TCIS_BUTTONPRESSED)) continue;
        item.dwState = 0;
        ::SendMessageA(tab, TCM_SETITEMA, i, (LPARAM)&item);
    }
}

CBaseTabCtrl::CBaseTabCtrl() : m_pVariant(s_defaultVariant) {
    m_font.CreateFont(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, FF_SWISS, "宋体");
}

CBaseTabCtrl::~CBaseTabCtrl() { DeleteBitmap(); }

void CBaseTabCtrl::SetDefaultVariant(const skin::TabVariant* variant) {
    if (variant) s_defaultVariant = variant;
}

void CBaseTabCtrl::SetVariant(const skin::TabVariant* variant) {
    if (variant) m_pVariant = variant;
}

void CBaseTabCtrl::DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const {
    skin_draw_gradient(dc, *m_pVariant->gradient, colour, rect, style);
}

void CBaseTabCtrl::PreSubclassWindow() {
    CTabCtrl::PreSubclassWindow();
    ModifyStyle(0, TCS_OWNERDRAWFIXED);
}

int CBaseTabCtrl::AddPage(const char* text, CDialog* page, UINT dialog_id, int image, UINT normal_bitmap,
                          UINT selected_bitmap) {
    if (m_nPageCount >= kMaxPages) return 0;
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<char*>(text ? text : "");
    item.iImage = image;
    item.lParam = 0;
    InsertItem(m_nPageCount, &item);
    const int index = m_nPageCount;
    m_pPages[index] = page;
    m_nPageIds[index] = dialog_id;
    m_nTabBitmaps[index][0] = normal_bitmap;
    m_nTabBitmaps[index][1] = selected_bitmap;
    if (page) {
        if (page->m_hWnd) page->DestroyWindow();
        page->Create(dialog_id, this);
        if (page->m_hWnd) page->ShowWindow(SW_HIDE);
    }
    LayoutPage(index);
    ++m_nPageCount;
    return 1;
}

BOOL CBaseTabCtrl::LayoutPage(int index) {
    CDialog* page = index >= 0 && index < kMaxPages ? m_pPages[index] : nullptr;
    if (!page || !page->m_hWnd) return FALSE;
    CRect client, first;
    GetClientRect(&client);
    GetItemRect(0, &first);
    DWORD style = GetStyle();
    skin::Rect at = skin::page_placement(skin_rect(client), skin_rect(first), (style & TCS_VERTICAL) != 0,
                                         (style & TCS_BOTTOM) != 0);
    return page->SetWindowPos(&CWnd::wndTop, at.left, at.top, at.right - at.left, at.bottom - at.top, SWP_HIDEWINDOW);
}

int CBaseTabCtrl::SetBitmap(UINT resource_id) {
    BOOL ok = skin_load_bitmap(&m_hBackBitmap, &m_nBackWidth, &m_nBackHeight, resource_id);
    if (m_hWnd && ::IsWindow(m_hWnd)) Invalidate(TRUE);
    return ok ? 1 : 0;
}

int CBaseTabCtrl::SetBitmapHandle(HBITMAP bitmap) {
    if (!skin_take_bitmap(&m_hBackBitmap, &m_nBackWidth, &m_nBackHeight, bitmap)) return 0;
    if (m_hWnd && ::IsWindow(m_hWnd)) Invalidate(TRUE);
    return 1;
}

void CBaseTabCtrl::DeleteBitmap() { skin_take_bitmap(&m_hBackBitmap, &m_nBackWidth, &m_nBackHeight, nullptr); }

int CBaseTabCtrl::SetImageList(CImageList* list) {
    SendMessage(TCM_SETIMAGELIST, 0, (LPARAM)(list ? list->m_hImageList : nullptr));
    return 1;
}

int CBaseTabCtrl::SetActivePage(int index) {
    if (GetStyle() & TCS_VERTICAL) AfxMessageBox(kNoVerticalTabs, MB_OK);
    if (index < 0 || index >= m_nPageCount) return 0;
    if (m_nActivePage != -1 && m_nActivePage < m_nPageCount && m_pPages[m_nActivePage]) {
        CDialog* old = m_pPages[m_nActivePage];
        if (old->m_hWnd) old->ShowWindow(SW_HIDE);
        old->UpdateData(TRUE);
    }
    m_nActivePage = index;
    SendMessage(TCM_SETCURFOCUS, index);
    if (CDialog* page = m_pPages[index]) {
        page->UpdateData(FALSE);
        if (page->m_hWnd) page->ShowWindow(SW_SHOW);
    }
    return 1;
}

void CBaseTabCtrl::OnLButtonDown(UINT, CPoint) {
    // A tab selected by the keyboard before this click must not swallow it.
    ClearStaleTabPress(m_hWnd);
    Default();
}

BOOL CBaseTabCtrl::OnEraseBkgnd(CDC* dc) {
    if (GetStyle() & TCS_BUTTONS) return TRUE;
    CRect client;
    GetClientRect(&client);
    if (m_hBackBitmap) {
        skin_tile_bitmap(dc->m_hDC, m_hBackBitmap, m_nBackWidth, m_nBackHeight, client.Width(), client.Height());
        return TRUE;
    }
    HBRUSH brush = ::CreateSolidBrush(m_crBack);
    HPEN pen = ::CreatePen(PS_SOLID, 1, m_crBack);
    HGDIOBJ old_brush = ::SelectObject(dc->m_hDC, brush), old_pen = ::SelectObject(dc->m_hDC, pen);
    dc->Rectangle(&client);
    ::SelectObject(dc->m_hDC, old_brush);
    ::SelectObject(dc->m_hDC, old_pen);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
    // The page area's white outline, from the last tab's bottom-right corner round the client.
    int count = GetItemCount();
    if (count > 0) {
        CRect last;
        GetItemRect(count - 1, &last);
        HPEN white = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        HGDIOBJ old = ::SelectObject(dc->m_hDC, white);
        dc->MoveTo(last.right, last.bottom);
        dc->LineTo(client.right - 1, last.bottom);
        dc->LineTo(client.right - 1, client.bottom - 1);
        dc->LineTo(client.left + 1, client.bottom - 1);
        dc->LineTo(client.left + 1, last.bottom);
        ::SelectObject(dc->m_hDC, old);
        ::DeleteObject(white);
    }
    return TRUE;
}

UINT CBaseTabCtrl::DrawTabBitmap(CDC* dc, int index, RECT* rect, BOOL selected) {
    if (index < 0 || index >= kMaxPages) return 0;
    UINT id = m_nTabBitmaps[index][selected ? 1 : 0];
    if (!id) return 0;
    CBitmap bitmap;
    // Loaded for this paint and deleted after it.
    if (!bitmap.LoadBitmap(id)) return id;
    CSize size = bitmap.GetSize();
    skin::TabBitmapBlit blit = skin::tab_bitmap_blit(skin_rect(*rect), size.cx, size.cy, selected);
    HDC memory = ::CreateCompatibleDC(dc->m_hDC);
    HGDIOBJ old = ::SelectObject(memory, bitmap.m_hObject);
    const skin::Rect& d = blit.dest;
    if (blit.stretch)
        ::StretchBlt(dc->m_hDC, d.left, d.top, d.right - d.left, d.bottom - d.top, memory, 0, 0, size.cx, size.cy, SRCCOPY);
    else
        ::BitBlt(dc->m_hDC, d.left, d.top, d.right - d.left, d.bottom - d.top, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return id;
}

int CBaseTabCtrl::DrawTabText(CDC* dc, const char* text, COLORREF colour, RECT* rect, BOOL selected) {
    int old_mode = dc->SetBkMode(TRANSPARENT);
    CRect area(rect->left + 32, rect->top + 8, rect->right, rect->bottom);
    const UINT format = DT_CENTER | DT_VCENTER | DT_BOTTOM | DT_SINGLELINE;
    for (const skin::TextPass& p : skin::tab_text_passes(m_nTextEffect, colour, selected != FALSE,
                                                         m_pVariant->raised_always_white)) {
        CRect r = area;
        r.OffsetRect(p.dx, p.dy);
        dc->SetTextColor(p.colour);
        dc->DrawText(text, -1, &r, format);
    }
    dc->SetBkMode(old_mode);
    return 1;
}

void CBaseTabCtrl::DrawTabImage(CDC* dc, const TCITEMA& item, RECT* rect) {
    HIMAGELIST list = (HIMAGELIST)SendMessage(TCM_GETIMAGELIST);
    if (!list || item.iImage < 0) return;
    rect->left += dc->GetTextExtent(" ", 1).cx;
    ::ImageList_Draw(list, item.iImage, dc->m_hDC, rect->left, rect->top - 1, ILD_TRANSPARENT);
    IMAGEINFO info{};
    if (::ImageList_GetImageInfo(list, item.iImage, &info)) rect->left += info.rcImage.right - info.rcImage.left;
}

void CBaseTabCtrl::DrawTabFace(CDC* dc, int index, CRect rect, bool selected) {
    if (m_nTabBitmaps[index][selected ? 1 : 0]) {
        DrawTabBitmap(dc, index, &rect, selected);
        return;
    }
    const skin::TabVariant& v = *m_pVariant;
    COLORREF face = selected ? m_crSelected : m_crNormal;
    if (v.shorten_bottom) rect.bottom -= 2;
    CRect shadow = rect;
    shadow.OffsetRect(v.shadow_offset, v.shadow_offset);
    COLORREF shadow_colour = v.shadow_darker_face ? color_darken(face, 51) : RGB(0, 0, 0);
    int shadow_style = !selected && v.shadow_next_style ? m_nGradientStyle + 1 : m_nGradientStyle;
    DrawGradient(dc->m_hDC, shadow_colour, shadow, shadow_style);
    DrawGradient(dc->m_hDC, face, rect, m_nGradientStyle);
}

void CBaseTabCtrl::DrawButtonFace(CDC* dc, int index, CRect r, bool selected) {
    if (m_nTabBitmaps[index][selected ? 1 : 0]) {
        DrawTabBitmap(dc, index, &r, selected);
        return;
    }
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const COLORREF dark = 0x404040, grey = 0x808080, white = 0xFFFFFF;
    if (selected) {
        line(dc, dark, L, T, L, B);
        line(dc, grey, L + 1, T + 1, L + 1, B - 1);
        line(dc, dark, L, T, R - 1, T);
        line(dc, grey, L + 1, T + 1, R - 1, T + 1);
        line(dc, grey, R - 2, T + 1, R - 2, B - 1);
        line(dc, grey, L + 1, B - 1, R - 1, B - 1);
    } else {
        line(dc, white, L, T, L, B);
        line(dc, white, L, T, R - 1, T);
        line(dc, grey, R - 2, T + 1, R - 2, B - 1);
        line(dc, grey, L + 1, B - 1, R - 1, B - 1);
    }
    CRect inside(L + 1, T + 2, R - 2, B);
    dc->FillSolidRect(&inside, selected ? m_crSelected : m_crNormal);
}

void CBaseTabCtrl::OnPaint() {
    CPaintDC dc(this);
    const int count = GetItemCount();
    const int selected = GetCurSel();
    const bool buttons = (GetStyle() & TCS_BUTTONS) != 0;
    for (int i = count - 1; i >= 0; --i) {
        char text[64] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = 63;
        if (!GetItem(i, &item)) break;
        CRect rect;
        GetItemRect(i, &rect);
        const bool sel = i == selected;
        int saved = dc.SaveDC();
        if (buttons) {
            DrawButtonFace(&dc, i, rect, sel);
        } else {
            if (sel) {
                rect.top -= 2;
                rect.bottom += 2;
                if (m_pVariant->lift_selected) rect.OffsetRect(0, -1);
            }
            DrawTabFace(&dc, i, rect, sel);
        }
        rect.left += m_nTextOffsetX;
        rect.top += m_nTextOffsetY;
        HGDIOBJ old_font = ::SelectObject(dc.m_hDC, m_font.m_hObject);
        DrawTabText(&dc, text, m_crText, &rect, buttons || sel);
        ::SelectObject(dc.m_hDC, old_font);
        // The page switch happens here, with the painted selection.
        if (i < kMaxPages && m_pPages[i] && m_pPages[i]->m_hWnd) m_pPages[i]->ShowWindow(sel ? SW_SHOW : SW_HIDE);
        DrawTabImage(&dc, item, &rect);
        dc.RestoreDC(saved);
    }
}
