#include "videofx/panel/mypicscrollview.h"
#include <cstdio>
#include <cstring>
#include "controls/menu/GlintMenu.h"
#include "controls/skin_core/skin_colour.h"
#include "engine/image/gdi/rgb_image_gdi.h"
#include "controls/skin/SkinPaint.h"
#include "skinlib/gradients/skinlib_gradients.h"
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"

using videofx::preview::Rect;
namespace preview = videofx::preview;

#define WM_VIEW_ADOPT_SIZE (WM_APP + 0x242)

IMPLEMENT_DYNCREATE(mypicscrollview, CScrollView)

BEGIN_MESSAGE_MAP(mypicscrollview, CScrollView)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONUP()
    ON_WM_SETCURSOR()
    ON_COMMAND_RANGE(32771, 32790, OnMenuItem)
    ON_MESSAGE(WM_VIEW_ADOPT_SIZE, OnAdoptSize)
END_MESSAGE_MAP()

mypicscrollview::mypicscrollview() = default;

mypicscrollview::~mypicscrollview() {
    brisvane::table().with_slots([&](videofx::SlotTable&) {
        std::lock_guard<std::mutex> hold(m_drawMutex);
        delete m_picture;
        m_picture = nullptr;
        return 0;
    });
}

mypicscrollview* mypicscrollview::CreateOver(CWnd* owner, UINT area_id) {
    CRect area(0, 0, 100, 100);
    if (CWnd* placeholder = owner->GetDlgItem(area_id)) {
        CRect page;
        owner->GetWindowRect(&page);
        placeholder->GetWindowRect(&area);
        area.OffsetRect(-page.left - 2, -page.top);
        // The placeholder only gives the place; the view takes it.
        placeholder->ShowWindow(SW_HIDE);
    }
    auto* view = static_cast<mypicscrollview*>(RUNTIME_CLASS(mypicscrollview)->CreateObject());
    view->SetScrollSizes(MM_TEXT, CSize(100, 100));
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, area, owner, IDC_PREVIEW_VIEW)) {
        delete view;
        return nullptr;
    }
    view->m_owner = owner->m_hWnd;
    LOGFONTA lf{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    view->m_font.CreateFontIndirect(&lf);
    lf.lfHeight = 12;
    view->m_smallFont.CreateFontIndirect(&lf);
    view->SetExtent(videofx::EffectTable::kDefaultWidth, videofx::EffectTable::kDefaultHeight);
    return view;
}

void mypicscrollview::OnInitialUpdate() {
    CScrollView::OnInitialUpdate();
    SetScrollSizes(MM_TEXT, CSize(100, 100));
}

void mypicscrollview::SetExtent(int width, int height) {
    m_extentWidth = width;
    m_extentHeight = height;
    SetScrollSizes(MM_TEXT, CSize(width > 0 ? width : 1, height > 0 ? height : 1));
    if (m_hWnd) Invalidate(FALSE);
}

void mypicscrollview::NewPicture(int width, int height, int fill) {
    TakePicture(new CRgbImage(width, height, fill));
    SetExtent(width, height);
}

void mypicscrollview::TakePicture(CRgbImage* picture) {
    brisvane::table().with_slots([&](videofx::SlotTable&) {
        std::lock_guard<std::mutex> hold(m_drawMutex);
        delete m_picture;
        m_picture = picture;
        return 0;
    });
    if (m_hWnd) Invalidate(FALSE);
}

void mypicscrollview::CopyFrameLocked(int width, int height, const uint8_t* frame) {
    std::lock_guard<std::mutex> hold(m_drawMutex);
    if (!m_picture || m_picture->width() != width || m_picture->height() != height) {
        auto* fresh = new CRgbImage(width, height);
        if (fresh->empty()) {
            delete fresh;
            return;
        }
        delete m_picture;
        m_picture = fresh;
        ::PostMessageA(m_hWnd, WM_VIEW_ADOPT_SIZE, (WPARAM)width, (LPARAM)height);
    }
    const int stride = CRgbImage::StrideFor(width);
    for (int y = 0; y < height; ++y) std::memcpy(m_picture->row(y), frame + size_t(stride) * y, size_t(3) * width);
    m_noBackground = 0;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT mypicscrollview::OnAdoptSize(WPARAM width, LPARAM height) {
    if ((int)width != m_extentWidth || (int)height != m_extentHeight) SetExtent((int)width, (int)height);
    return 0;
}

void mypicscrollview::OnDraw(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    const CPoint scroll = GetScrollPosition();
    client.OffsetRect(scroll.x, scroll.y);
    if (m_emptyState > 0) {
        DrawFramedPanel(dc, client, 0xC04020);
        const char* message = m_emptyState == 1 ? " 无图片 请选择图片" : "无文字 请产生需叠加文字";
        const int x = client.left + client.Width() / 2 - (m_emptyState == 1 ? 50 : 60);
        const int y = client.top + client.Height() / 2 - (m_emptyState == 1 ? 20 : 24);
        CFont* old = dc->SelectObject(&m_font);
        dc->SetBkMode(TRANSPARENT);
        CRect text(x + 1, y + 1, x + 421, y + 21);
        dc->SetTextColor(0);
        dc->DrawText(message, -1, &text, DT_SINGLELINE | DT_NOPREFIX);
        text.OffsetRect(-1, -1);
        dc->SetTextColor(0x5CFFFF);
        dc->DrawText(message, -1, &text, DT_SINGLELINE | DT_NOPREFIX);
        CRect title(x + 16, y + 32, x + 436, y + 52);
        dc->SetTextColor(0);
        for (int d : {-1, 1}) {
            CRect t = title;
            t.OffsetRect(d, d);
            dc->DrawText("Orvane视频处理器", -1, &t, DT_SINGLELINE | DT_NOPREFIX);
        }
        dc->SetTextColor(0x5CFFFF);
        dc->DrawText("Orvane视频处理器", -1, &title, DT_SINGLELINE | DT_NOPREFIX);
        dc->SelectObject(old);
        return;
    }
    char label[160] = {};
    bool show_rect = false;
    bool on = false;
    {
        std::lock_guard<std::mutex> hold(m_drawMutex);
        if (m_picture && !m_picture->empty()) {
            CRect dest(0, 0, m_extentWidth, m_extentHeight);
            CRgbImageGdi::StretchDraw(dc->GetSafeHdc(), dest, *m_picture, 0, 0);
        }
    }
    brisvane::table().with_slots([&](videofx::SlotTable& slots) {
        if (m_effectIndex >= 0 && m_effectIndex < videofx::kSlotCount && slots[m_effectIndex].whole_frame != 1) {
            const videofx::EffectSlot& s = slots[m_effectIndex];
            on = s.enabled != 0;
            std::snprintf(label, sizeof label, on ? "%s" : "未使用%s", s.name);
            show_rect = true;
        }
        return 0;
    });
    dc->SetBkMode(TRANSPARENT);
    CFont* old = dc->SelectObject(&m_font);
    if (m_noBackground > 0) {
        CRect banner(scroll.x + 1, scroll.y + 1, scroll.x + client.Width() + 1, scroll.y + 21);
        dc->SetTextColor(0);
        dc->DrawText("无视频背景显示", -1, &banner, DT_SINGLELINE | DT_NOPREFIX);
        banner.OffsetRect(-1, -1);
        dc->SetTextColor(0x00FFFF);
        dc->DrawText("无视频背景显示", -1, &banner, DT_SINGLELINE | DT_NOPREFIX);
    }
    if (show_rect) {
        CRect text(m_rect.x + 2, m_rect.y + 2, m_rect.right() + 1, m_rect.y + 21);
        dc->SetTextColor(0);
        dc->DrawText(label, -1, &text, DT_SINGLELINE | DT_NOPREFIX);
        text.OffsetRect(-1, -1);
        dc->SetTextColor(on ? 0xFFFFFF : 0x3737FF);
        dc->DrawText(label, -1, &text, DT_SINGLELINE | DT_NOPREFIX);
        if (m_rect.right() <= m_extentWidth && m_rect.bottom() <= m_extentHeight) {
            CPen pen(PS_SOLID, 1, 0x00FFFF);
            CPen* old_pen = dc->SelectObject(&pen);
            dc->SetROP2(R2_COPYPEN);
            dc->MoveTo(m_rect.x, m_rect.y);
            dc->LineTo(m_rect.right(), m_rect.y);
            dc->LineTo(m_rect.right(), m_rect.bottom());
            dc->LineTo(m_rect.x, m_rect.bottom());
            dc->LineTo(m_rect.x, m_rect.y);
            dc->SelectObject(old_pen);
        }
    }
    dc->SelectObject(old);
}

void mypicscrollview::DrawFramedPanel(CDC* dc, const CRect& r, COLORREF base) {
    HDC hdc = dc->GetSafeHdc();
    auto fill = [&](int l, int t, int rr, int b, COLORREF c, int style) {
        RECT box{l, t, rr, b};
        if (rr > l && b > t) skin_draw_gradient(hdc, skinlib::kButtonBrisvane, c, box, style);
    };
    fill(r.left, r.top, r.right, r.bottom, base, 22);
    int g = 130, h = 26, l = 132, m = 12;
    if (r.Height() <= 400) {
        g = r.Height() / 5;
        h = 20;
        l = r.Width() / 5 - 10;
        m = 8;
    }
    const int top = r.top + g, bottom = r.bottom - g, L = r.left + h + l, R = r.right - h - l;
    fill(r.left + l, top, L, bottom, m_panelColour, 10);
    fill(R, top, r.right - l, bottom, m_panelColour, 10);
    fill(L, top + m, R, bottom - m, color_lighten(base, 37), 21);
    fill(L, top + m, L + m, bottom - m, color_darken(base, 47), 10);
    fill(R - m, top + m, R, bottom - m, color_darken(base, 47), 10);
    fill(L, top + m, R, top + 2 * m, color_lighten(base, 57), 8);
    fill(L, bottom - 2 * m, R, bottom - m, color_lighten(base, 1), 8);
    for (int side : {0, 1}) {
        const int x0 = side ? R : r.left + l, x1 = side ? r.right - l : L;
        fill(x0, top, x1, top + m / 2, 0x2020FF, 10);
        fill(x0, bottom - m / 2, x1, bottom, 0x2020FF, 10);
    }
}

void mypicscrollview::Notify(WPARAM code, int x, int y) {
    if (m_owner) ::SendMessageA(m_owner, WM_PREVIEW_NOTIFY, code, (LPARAM)((x << 16) + (y & 0xFFFF)));
}

void mypicscrollview::DrawDragOutline() {
    CClientDC dc(this);
    const CPoint scroll = GetScrollPosition();
    CPen pen(PS_SOLID, 1, 0x00FFFF);
    CPen* old = dc.SelectObject(&pen);
    const int old_rop = dc.SetROP2(R2_XORPEN);
    const int l = m_dragRect.x - scroll.x, t = m_dragRect.y - scroll.y;
    const int r = m_dragRect.right() - scroll.x, b = m_dragRect.bottom() - scroll.y;
    dc.MoveTo(l, t);
    dc.LineTo(r, t);
    dc.LineTo(r, b);
    dc.LineTo(l, b);
    dc.LineTo(l, t);
    dc.SetROP2(old_rop);
    dc.SelectObject(old);
    m_outlineShown = !m_outlineShown;
}

void mypicscrollview::OnLButtonDown(UINT, CPoint point) {
    if (m_emptyState > 0 || m_effectIndex < 0) return;
    const CPoint scroll = GetScrollPosition();
    const int px = point.x + scroll.x, py = point.y + scroll.y;
    const int hit = preview::hit_test(m_rect, px, py);
    if (hit == preview::kNone) {
        ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_CROSS));
        return;
    }
    m_hit = hit;
    m_grabX = px - m_rect.x;
    m_grabY = py - m_rect.y;
    m_dragging = true;
    m_dragRect = m_rect;
    m_outlineShown = false;
    SetCapture();
    DrawDragOutline();
    Notify(88, m_rect.x, m_rect.y);
}

void mypicscrollview::OnMouseMove(UINT, CPoint point) {
    if (m_emptyState > 0 || m_effectIndex < 0) return;
    const CPoint scroll = GetScrollPosition();
    const int px = point.x + scroll.x, py = point.y + scroll.y;
    if (m_dragging) {
        if (m_outlineShown) DrawDragOutline();
        m_dragRect = preview::release(m_rect, m_hit, px, py, m_grabX, m_grabY, m_extentWidth, m_extentHeight);
        DrawDragOutline();
        int x = 0, y = 0;
        preview::drag_point(m_rect, m_hit, px, py, m_grabX, m_grabY, &x, &y);
        Notify(88, x, y);
        return;
    }
    m_hit = preview::hit_test(m_rect, px, py);
    Notify(88, px, py);
}

void mypicscrollview::EndDrag() {
    if (m_dragging && m_outlineShown) DrawDragOutline();
    m_dragging = false;
    m_hit = 0;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void mypicscrollview::OnLButtonUp(UINT, CPoint point) {
    const CPoint scroll = GetScrollPosition();
    const int px = point.x + scroll.x, py = point.y + scroll.y;
    if (m_effectIndex < 0) {
        bool inside = false;
        brisvane::table().with_slots([&](videofx::SlotTable&) {
            inside = m_picture && !m_picture->empty() && px >= 0 && py >= 0 && px < m_picture->width() &&
                     py < m_picture->height();
            return 0;
        });
        if (inside && m_emptyState <= 0) Notify(22, px, py);
        return;
    }
    if (!m_dragging) return;
    const int hit = m_hit;
    EndDrag();
    m_rect = preview::release(m_rect, hit, px, py, m_grabX, m_grabY, m_extentWidth, m_extentHeight);
    Invalidate(FALSE);
    Notify(8888, 0, 0);
}

void mypicscrollview::OnRButtonUp(UINT, CPoint) {
    if (m_emptyState > 0) return;
    GlintMenu menu;
    if (!menu.LoadMenu(IDR_PREVIEW_MENU)) return;
    menu.SetImageSize(16, 16);
    menu.SetImageKeyColour(0xFF0000);
    GlintMenu::s_themedDrawMode = 1;
    GlintMenu::s_plainDrawMode = 1;
    GlintMenu::s_imageVariants = 1;
    POINT at{};
    ::GetCursorPos(&at);
    if (HMENU popup = ::GetSubMenu(menu.m_hMenu, 0))
        ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    menu.DestroyMenu();
}

void mypicscrollview::OnMenuItem(UINT id) {
    Rect r = m_rect;
    if (!preview::apply_menu_item((int)id, r, m_extentWidth, m_extentHeight)) return;
    EndDrag();
    m_rect = r;
    Invalidate(FALSE);
    Notify(8888, 0, 0);
}

BOOL mypicscrollview::OnSetCursor(CWnd* wnd, UINT hit, UINT message) {
    if (m_emptyState > 0) return CScrollView::OnSetCursor(wnd, hit, message);
    LPCSTR id = IDC_ARROW;
    switch (m_hit) {
    case 1: case 3: id = IDC_SIZEWE; break;
    case 2: case 4: id = IDC_SIZENS; break;
    case 6: case 7: id = IDC_SIZENESW; break;
    case 5: case 8: id = IDC_SIZENWSE; break;
    default: break;
    }
    if (m_hit == 99 || (m_dragging && m_hit == 0)) {
        ::SetCursor(::LoadCursorA(brisvane::instance(), MAKEINTRESOURCEA(IDC_MOVE_CURSOR)));
        return TRUE;
    }
    ::SetCursor(::LoadCursorA(nullptr, id));
    return TRUE;
}
