#include "soundfx/window/SkinSliderCtrl.h"
#include <algorithm>
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/skin_colour.h"
#include "skinlib/gradients/skinlib_gradients.h"

namespace {

// Per channel a + (b - a) / 2, halving by an arithmetic shift.
COLORREF blend_half(COLORREF a, COLORREF b) {
    auto ch = [](int x, int y) { return x + ((y - x) >> 1); };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

void frame3d(HDC dc, const RECT& r, COLORREF top_left, COLORREF bottom_right) {
    auto fill = [dc](int x, int y, int w, int h, COLORREF c) {
        const COLORREF old = ::SetBkColor(dc, c);
        RECT f{x, y, x + w, y + h};
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &f, nullptr, 0, nullptr);
        ::SetBkColor(dc, old);
    };
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    fill(r.left, r.top, w - 1, 1, top_left);
    fill(r.left, r.top, 1, h - 1, top_left);
    fill(r.right, r.top, -1, h, bottom_right);
    fill(r.left, r.bottom, w, -1, bottom_right);
}

void line(HDC dc, int x0, int y0, int x1, int y1) {
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
}

}  // namespace

BEGIN_MESSAGE_MAP(CSkinSliderCtrl, CSliderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSkinSliderCtrl::CSkinSliderCtrl()
    : m_crSelection(::GetSysColor(COLOR_HIGHLIGHT)),
      m_crChannel(::GetSysColor(COLOR_WINDOW)),
      m_crThumb(::GetSysColor(COLOR_BTNFACE)) {
    Derive();
}

CSkinSliderCtrl::~CSkinSliderCtrl() {
    DeletePens();
    if (m_dcBackground) {
        if (m_hOldBackground) ::SelectObject(m_dcBackground, m_hOldBackground);
        ::DeleteDC(m_dcBackground);
    }
    if (m_bmpBackground) ::DeleteObject(m_bmpBackground);
}

void CSkinSliderCtrl::DeletePens() {
    for (HPEN& pen : m_pens) {
        if (pen) ::DeleteObject(pen);
        pen = nullptr;
    }
}

void CSkinSliderCtrl::Derive() {
    m_crLight1 = color_lighten(m_crThumb, 51);
    m_crLight2 = color_lighten(m_crLight1, 51);
    m_crDark1 = color_darken(m_crThumb, 51);
    m_crDark2 = color_darken(m_crDark1, 51);
    m_crShadowBlend = blend_half(::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_3DDKSHADOW));
    m_crFaceBlend = blend_half(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNSHADOW));
    m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    DeletePens();
    const COLORREF colours[kPens] = {m_crThumb, m_crLight1, m_crLight2, m_crDark1, m_crDark2, 0x000000,
                                     m_crShadowBlend, m_crFaceBlend, 0xFF0000, m_crHighlight};
    for (int i = 0; i < kPens; ++i) m_pens[i] = ::CreatePen(PS_SOLID, i == kBlue ? 2 : 1, colours[i]);
}

void CSkinSliderCtrl::SetChannelColour(COLORREF colour) {
    m_crChannel = colour;
    Derive();
}

void CSkinSliderCtrl::SetThumbColour(COLORREF colour) {
    m_crThumb = colour;
    Derive();
    if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CSkinSliderCtrl::SetSelectionColour(COLORREF colour) {
    m_crSelection = colour;
    Derive();
    if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CSkinSliderCtrl::Setup(int min, int max, int tick, int zone_lo, int zone_hi) {
    if (!m_hWnd) return;
    SendMessage(TBM_SETRANGEMIN, FALSE, min);
    SendMessage(TBM_SETRANGEMAX, FALSE, max);
    SendMessage(TBM_SETTICFREQ, tick, 0);
    SendMessage(TBM_SETSEL, TRUE, MAKELPARAM(zone_lo, zone_hi));
}

void CSkinSliderCtrl::DropBackground() {
    if (m_dcBackground) {
        if (m_hOldBackground) ::SelectObject(m_dcBackground, m_hOldBackground);
        ::DeleteDC(m_dcBackground);
    }
    if (m_bmpBackground) ::DeleteObject(m_bmpBackground);
    m_dcBackground = nullptr, m_bmpBackground = nullptr, m_hOldBackground = nullptr;
}

void CSkinSliderCtrl::DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const {
    skin_draw_gradient(dc, skinlib::kSliderOlumbra, colour, rect, style);
}

BOOL CSkinSliderCtrl::OnEraseBkgnd(CDC*) { return FALSE; }

void CSkinSliderCtrl::CaptureBackground() {
    if (m_dcBackground) return;
    CWnd* parent = GetParent();
    if (!parent) return;
    RECT client, window;
    ::GetClientRect(m_hWnd, &client);
    ::GetWindowRect(m_hWnd, &window);
    POINT at{window.left, window.top};
    ::ScreenToClient(parent->m_hWnd, &at);
    HDC parent_dc = ::GetDC(parent->m_hWnd);
    if (!parent_dc) return;
    m_dcBackground = ::CreateCompatibleDC(parent_dc);
    m_bmpBackground = ::CreateCompatibleBitmap(parent_dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
    if (m_dcBackground && m_bmpBackground) {
        m_hOldBackground = ::SelectObject(m_dcBackground, m_bmpBackground);
        ::BitBlt(m_dcBackground, 0, 0, client.right, client.bottom, parent_dc, at.x, at.y, SRCCOPY);
    }
    ::ReleaseDC(parent->m_hWnd, parent_dc);
}

void CSkinSliderCtrl::OnCustomDraw(NMHDR* hdr, LRESULT* result) {
    auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(hdr);
    *result = CDRF_DODEFAULT;
    if (cd->dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (cd->dwDrawStage != CDDS_ITEMPREPAINT) return;
    if (cd->dwItemSpec == TBCD_TICS) return;
    const int saved = ::SaveDC(cd->hdc);
    if (cd->dwItemSpec == TBCD_THUMB) {
        DrawThumb(cd->hdc, cd->rc, (cd->uItemState & CDIS_SELECTED) != 0);
        *result = CDRF_SKIPDEFAULT;
    } else if (cd->dwItemSpec == TBCD_CHANNEL) {
        DrawChannel(cd->hdc, cd->rc);
        *result = CDRF_SKIPDEFAULT;
    }
    ::RestoreDC(cd->hdc, saved);
}

void CSkinSliderCtrl::DrawChannel(HDC dc, RECT item) {
    CaptureBackground();
    const int w = item.right - item.left, h = item.bottom - item.top;
    if (w > 0 && h > 0 && m_dcBackground) {
        // The trackbar's own image of the item: white where it shows its background. The captured
        // parent pixels show everywhere else (the mask trick: invert, and, invert).
        HDC copy_dc = ::CreateCompatibleDC(dc);
        HBITMAP copy = ::CreateCompatibleBitmap(dc, w, h);
        HDC mask_dc = ::CreateCompatibleDC(dc);
        HBITMAP mask = ::CreateBitmap(w, h, 1, 1, nullptr);
        if (copy_dc && copy && mask_dc && mask) {
            HGDIOBJ old_copy = ::SelectObject(copy_dc, copy);
            HGDIOBJ old_mask = ::SelectObject(mask_dc, mask);
            ::BitBlt(copy_dc, 0, 0, w, h, dc, item.left, item.top, SRCCOPY);
            const COLORREF old_back = ::SetBkColor(copy_dc, 0xFFFFFF);
            ::BitBlt(mask_dc, 0, 0, w, h, copy_dc, 0, 0, SRCCOPY);
            ::SetBkColor(copy_dc, old_back);
            ::BitBlt(dc, item.left, item.top, w, h, m_dcBackground, item.left, item.top, SRCCOPY);
            const COLORREF bk = ::SetBkColor(dc, 0x000000), fg = ::SetTextColor(dc, 0xFFFFFF);
            ::BitBlt(dc, item.left, item.top, w, h, copy_dc, 0, 0, SRCINVERT);
            ::BitBlt(dc, item.left, item.top, w, h, mask_dc, 0, 0, SRCAND);
            ::BitBlt(dc, item.left, item.top, w, h, copy_dc, 0, 0, SRCINVERT);
            ::SetBkColor(dc, bk);
            ::SetTextColor(dc, fg);
            ::SelectObject(copy_dc, old_copy);
            ::SelectObject(mask_dc, old_mask);
        }
        if (mask) ::DeleteObject(mask);
        if (copy) ::DeleteObject(copy);
        if (mask_dc) ::DeleteDC(mask_dc);
        if (copy_dc) ::DeleteDC(copy_dc);
    }

    const COLORREF channel = IsWindowEnabled() ? m_crChannel : ::GetSysColor(COLORREF(COLOR_BTNFACE));
    RECT channel_rect{};
    SendMessage(TBM_GETCHANNELRECT, 0, (LPARAM)&channel_rect);
    soundfx::SliderChannelInput in;
    in.item = {(int)item.left, (int)item.top, (int)item.right, (int)item.bottom};
    in.narrow = channel_rect.right - channel_rect.left < channel_rect.bottom - channel_rect.top;
    in.min = (int)SendMessage(TBM_GETRANGEMIN);
    in.max = (int)SendMessage(TBM_GETRANGEMAX);
    in.sel_start = (int)SendMessage(TBM_GETSELSTART);
    in.sel_end = (int)SendMessage(TBM_GETSELEND);
    in.marks_across = m_bMarksAcross != 0;
    const soundfx::SliderChannelPlan plan = soundfx::plan_slider_channel(in);
    auto rect_of = [](const soundfx::PlanRect& p) { return RECT{p.left, p.top, p.right, p.bottom}; };

    RECT r = rect_of(plan.frame);
    frame3d(dc, r, channel, m_crShadowBlend);
    HBRUSH brush = ::CreateSolidBrush(channel);
    HGDIOBJ old_pen = ::SelectObject(dc, m_pens[kShadowBlend]);
    HGDIOBJ old_brush = ::SelectObject(dc, brush);
    if ((in.narrow ? r.bottom - r.top : r.right - r.left) > 3) ::RoundRect(dc, r.left, r.top, r.right, r.bottom, 2, 2);
    DrawGradient(dc, channel, rect_of(plan.fill), plan.fill_style);
    ::SelectObject(dc, m_pens[kFaceBlend]);
    line(dc, r.left, r.bottom - 1, r.left, r.top);
    line(dc, r.left, r.top, r.right - 1, r.top);
    ::SelectObject(dc, m_pens[kHighlight]);
    line(dc, r.left, r.bottom - 1, r.right - 1, r.bottom - 1);
    line(dc, r.right - 1, r.bottom - 1, r.right - 1, r.top);

    if (plan.has_selection) {
        RECT s = rect_of(plan.selection);
        HBRUSH sel = ::CreateSolidBrush(m_crSelection);
        ::FillRect(dc, &s, sel);
        ::DeleteObject(sel);
        frame3d(dc, s, m_crHighlight, m_crShadowBlend);
        if (plan.selection_style == 8) s.bottom += 1;
        DrawGradient(dc, m_crSelection, s, plan.selection_style);
    }
    ::SelectObject(dc, m_pens[kHighlight]);
    for (const soundfx::PlanLine& m : plan.marks) line(dc, m.x0, m.y0, m.x1, m.y1);
    ::SelectObject(dc, m_pens[kBlack]);
    for (const soundfx::PlanLine& m : plan.shadows) line(dc, m.x0, m.y0, m.x1, m.y1);
    ::SelectObject(dc, old_pen);
    ::SelectObject(dc, old_brush);
    ::DeleteObject(brush);
}

void CSkinSliderCtrl::DrawThumb(HDC dc, RECT r, bool held) {
    const COLORREF saved_thumb = m_crThumb;
    if (held) {
        m_crThumb = color_darken(m_crThumb, 51);
        Derive();
    }
    const bool upright = r.right - r.left < r.bottom - r.top;
    const DWORD style = (DWORD)GetStyle();
    HPEN frame = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOWFRAME));
    HBRUSH brush = ::CreateSolidBrush(m_crThumb);
    HGDIOBJ old_pen = ::SelectObject(dc, frame);
    HGDIOBJ old_brush = ::SelectObject(dc, brush);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (style & TBS_BOTH) {
        ::RoundRect(dc, r.left, r.top, r.right, r.bottom, 2, 2);
        RECT in{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        if (upright) frame3d(dc, in, m_crLight1, m_crDark1);
        else DrawGradient(dc, m_crLight1, in, 8);
        ::SetPixel(dc, in.left, in.top, m_crLight2);
        ::SetPixel(dc, in.right - 1, in.top, m_crThumb);
        ::SetPixel(dc, in.right - 1, in.bottom - 1, m_crDark2);
        ::SetPixel(dc, in.left, in.bottom - 1, m_crThumb);
    } else {
        // A thumb pointed toward the top (left) or the bottom (right).
        const bool toward_start = (style & TBS_TOP) != 0;
        POINT p[5];
        if (upright) {
            const int tip = std::min(w / 2, h / 3);
            if (toward_start) {
                p[0] = {r.left, r.top + tip}; p[1] = {r.left + w / 2, r.top}; p[2] = {r.right - 1, r.top + tip};
                p[3] = {r.right - 1, r.bottom - 1}; p[4] = {r.left, r.bottom - 1};
            } else {
                p[0] = {r.left, r.top}; p[1] = {r.right - 1, r.top}; p[2] = {r.right - 1, r.bottom - 1 - tip};
                p[3] = {r.left + w / 2, r.bottom - 1}; p[4] = {r.left, r.bottom - 1 - tip};
            }
        } else {
            const int tip = std::min(h / 2, w / 3);
            if (toward_start) {
                p[0] = {r.left + tip, r.top}; p[1] = {r.right - 1, r.top}; p[2] = {r.right - 1, r.bottom - 1};
                p[3] = {r.left + tip, r.bottom - 1}; p[4] = {r.left, r.top + h / 2};
            } else {
                p[0] = {r.left, r.top}; p[1] = {r.right - 1 - tip, r.top}; p[2] = {r.right - 1, r.top + h / 2};
                p[3] = {r.right - 1 - tip, r.bottom - 1}; p[4] = {r.left, r.bottom - 1};
            }
        }
        ::Polygon(dc, p, 5);
        if (std::max(w, h) > 5) {
            ::SelectObject(dc, m_pens[kLight1]);
            line(dc, p[0].x + 1, p[0].y, p[1].x, p[1].y + 1);
            ::SelectObject(dc, m_pens[kDark1]);
            line(dc, p[2].x - 1, p[2].y, p[3].x - 1, p[3].y - 1);
        }
    }
    if (IsWindowEnabled()) {
        if (upright && w > 5) {
            for (int x : {1, 3, 5, 7}) {
                if (x >= 5 && w <= 9) break;
                ::SelectObject(dc, m_pens[kLight1]);
                line(dc, r.left + x, r.top + 5, r.left + x, r.bottom - 5);
                ::SetPixel(dc, r.left + x, r.top + 4, m_crLight2);
            }
            for (int x : {2, 4, 6}) {
                if (x == 6 && w <= 9) break;
                ::SelectObject(dc, m_pens[kDark2]);
                line(dc, r.left + x, r.top + 5, r.left + x, r.bottom - 4);
            }
        } else if (!upright && h >= 6) {
            const int mid = r.top + h / 2;
            const int pairs = h < 10 ? 1 : 2;
            for (int k = 0; k < pairs; ++k) {
                ::SelectObject(dc, m_pens[kLight1]);
                line(dc, r.left + 5, mid - 1 - 2 * k, r.right - 5, mid - 1 - 2 * k);
                ::SelectObject(dc, m_pens[kDark2]);
                line(dc, r.left + 5, mid - 2 * k, r.right - 5, mid - 2 * k);
            }
        }
    }
    ::SelectObject(dc, old_pen);
    ::SelectObject(dc, old_brush);
    ::DeleteObject(frame);
    ::DeleteObject(brush);
    if (held) {
        m_crThumb = saved_thumb;
        Derive();
    }
}
