#include "SkinButton.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/button_rules.h"
#include "controls/skin_core/skin_colour.h"
#include <cstring>
#include <vector>

const skin::ButtonVariant* CSkinButton::s_defaultVariant = &skin::kTarmeloButton;
const HICON CSkinButton::kGreyIcon = (HICON)(INT_PTR)-2;

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
    ON_WM_GETDLGCODE()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_MESSAGE(BM_GETIMAGE, OnGetImage)
    ON_WM_MENUCHAR()
    ON_WM_MEASUREITEM()
    ON_WM_ENABLE()
    ON_WM_KILLFOCUS()
    ON_WM_CANCELMODE()
    ON_WM_ACTIVATE()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

namespace {

void destroy_icon(HICON icon) {
    if (icon && icon != CSkinButton::kGreyIcon) ::DestroyIcon(icon);
}

// Width and height of an icon: twice its hot spot. False when it cannot be inspected.
bool icon_size(HICON icon, int* cx, int* cy) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return false;
    *cx = (int)info.xHotspot * 2;
    *cy = (int)info.yHotspot * 2;
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    return true;
}

// A copy of the icon whose coloured pixels are grey (0.299 R + 0.587 G + 0.114 B); NULL on failure.
HICON grey_icon(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return nullptr;
    HICON grey = nullptr;
    BITMAP bm{};
    if (info.hbmColor && ::GetObjectA(info.hbmColor, sizeof bm, &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = bm.bmWidth;
        bi.bmiHeader.biHeight = -bm.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        std::vector<DWORD> px((size_t)bm.bmWidth * bm.bmHeight);
        HDC screen = ::GetDC(nullptr);
        if (::GetDIBits(screen, info.hbmColor, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS) == bm.bmHeight) {
            for (DWORD& p : px) {
                DWORD alpha = p & 0xFF000000;
                COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
                if (c == 0) continue;
                COLORREF g = skin::grey(c);
                p = alpha | (GetRValue(g) << 16) | (GetGValue(g) << 8) | GetBValue(g);
            }
            HBITMAP colour = ::CreateCompatibleBitmap(screen, bm.bmWidth, bm.bmHeight);
            ::SetDIBits(screen, colour, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
            ICONINFO made = info;
            made.fIcon = TRUE;
            made.hbmColor = colour;
            grey = ::CreateIconIndirect(&made);
            ::DeleteObject(colour);
        }
        ::ReleaseDC(nullptr, screen);
    }
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    return grey;
}

}  // namespace

CSkinButton::CSkinButton() : m_pVariant(s_defaultVariant) {
    memset(m_szUrl, 0, sizeof m_szUrl);
    SetDefaultColours(FALSE);
}

CSkinButton::~CSkinButton() {
    ReleaseBackgroundCache();
    destroy_icon(m_hIconIn);
    destroy_icon(m_hIconOut);
    if (m_hCursor) ::DestroyCursor(m_hCursor);
}

void CSkinButton::SetDefaultVariant(const skin::ButtonVariant* variant) {
    if (variant) s_defaultVariant = variant;
}

void CSkinButton::SetVariant(const skin::ButtonVariant* variant) {
    if (variant) m_pVariant = variant;
}

void CSkinButton::DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const {
    skin_draw_gradient(dc, *m_pVariant->gradient, colour, rect, style);
}

// ---- configuration ----

int CSkinButton::LoadIcons(UINT in_id, UINT out_id) {
    auto load = [](UINT id) {
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), (LPCSTR)RT_GROUP_ICON);
        return (HICON)::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
    };
    HICON in = load(in_id);
    HICON out = out_id == 0 ? nullptr : out_id == (UINT)-2 ? kGreyIcon : load(out_id);
    return SetIcons(in, out);
}

int CSkinButton::SetIcons(HICON in, HICON out) {
    destroy_icon(m_hIconIn);
    destroy_icon(m_hIconOut);
    m_hIconIn = m_hIconOut = nullptr;
    m_cxIconIn = m_cyIconIn = m_cxIconOut = m_cyIconOut = 0;
    int result = 0;
    if (in) {
        if (!icon_size(in, &m_cxIconIn, &m_cyIconIn)) {
            destroy_icon(in);
            destroy_icon(out);
            result = 1;
        } else {
            m_hIconIn = in;
            if (out == kGreyIcon) out = grey_icon(in);
            if (out && !icon_size(out, &m_cxIconOut, &m_cyIconOut)) {
                destroy_icon(m_hIconIn);
                destroy_icon(out);
                m_hIconIn = nullptr;
                m_cxIconIn = m_cyIconIn = 0;
                result = 1;
            } else {
                m_hIconOut = out;
            }
        }
    }
    Repaint(TRUE);
    return result;
}

int CSkinButton::SetPressed(BOOL state, BOOL repaint) {
    // Workers call this: it only stores the state and invalidates.
    if (m_bCheckMode) {
        m_bChecked = state != FALSE;
        Repaint(repaint);
    }
    return 0;
}

int CSkinButton::SetDefaultColours(BOOL repaint) {
    m_crColours[0] = ::GetSysColor(COLOR_BTNFACE);
    m_crColours[1] = ::GetSysColor(COLOR_BTNTEXT);
    m_crColours[2] = 0x969600;
    m_crColours[3] = ::GetSysColor(COLOR_BTNTEXT);
    m_crColours[4] = ::GetSysColor(COLOR_BTNFACE);
    m_crColours[5] = ::GetSysColor(COLOR_BTNTEXT);
    Repaint(repaint);
    return 0;
}

int CSkinButton::SetColour(BYTE index, COLORREF colour, BOOL repaint) {
    if (index >= skin::kStateColourCount) return skin::kBadIndex;
    m_crColours[index] = colour;
    Repaint(repaint);
    return skin::kColourOk;
}

int CSkinButton::OffsetColour(BYTE index, short shade, BOOL repaint) {
    if (index >= skin::kStateColourCount) return skin::kBadIndex;
    int code = skin::offset_colour(&m_crColours[index], shade);
    if (code == skin::kColourOk) Repaint(repaint);
    return code;
}

void CSkinButton::SetTooltipText(const char* text, BOOL) {
    if (!text) return;
    if (!m_tip.m_hWnd) m_tip.Create(this);
    m_tip.RemoveTool(this);
    m_tip.AddTool(this, text, m_hIconIn);
}

void CSkinButton::ReleaseBackgroundCache() {
    if (m_hCacheDC) {
        ::SelectObject(m_hCacheDC, m_hCacheOld);
        ::DeleteDC(m_hCacheDC);
    }
    if (m_hCacheBitmap) ::DeleteObject(m_hCacheBitmap);
    m_hCacheDC = nullptr;
    m_hCacheBitmap = nullptr;
    m_hCacheOld = nullptr;
}

void CSkinButton::DropBackgroundCache(BOOL repaint) {
    m_bTransparent = TRUE;
    ReleaseBackgroundCache();
    Repaint(repaint);
}

int CSkinButton::SetUrl(const char* url) {
    memset(m_szUrl, 0, sizeof m_szUrl);
    if (!url) return 0;
    size_t n = 0;
    while (url[n]) {
        size_t step = ::IsDBCSLeadByte((BYTE)url[n]) && url[n + 1] ? 2 : 1;
        if (n + step > sizeof m_szUrl - 1) break;
        n += step;
    }
    memcpy(m_szUrl, url, n);
    return 0;
}

// ---- messages ----

void CSkinButton::PreSubclassWindow() {
    skin::SubclassedStyle s = skin::subclassed_style(GetStyle());
    m_nButtonType = (int)s.type;
    m_bCheckMode = s.check_mode;
    m_bDefault = s.default_button;
    ModifyStyle(skin::kTypeMask, skin::kOwnerDraw, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

BOOL CSkinButton::PreTranslateMessage(MSG* msg) {
    m_tip.RelayEvent(msg);
    return CButton::PreTranslateMessage(msg);
}

LRESULT CSkinButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // The button relays its own mouse messages too, so that its tip shows under any message loop (a
    // library's window run by its host's loop never sees this module's pre-translation).
    if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN) {
        MSG m{};
        m.hwnd = m_hWnd;
        m.message = msg;
        m.wParam = wp;
        m.lParam = lp;
        m.time = (DWORD)::GetMessageTime();
        DWORD pos = ::GetMessagePos();
        m.pt = {(short)LOWORD(pos), (short)HIWORD(pos)};
        m_tip.RelayEvent(&m);
    }
    return CButton::WindowProc(msg, wp, lp);
}

LRESULT CSkinButton::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // A quick second click is a second press.
    if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
    return CButton::DefWindowProc(msg, wp, lp);
}

UINT CSkinButton::OnGetDlgCode() {
    UINT code = (UINT)Default();
    return code | (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

HBRUSH CSkinButton::CtlColor(CDC*, UINT) { return (HBRUSH)::GetStockObject(NULL_BRUSH); }

void CSkinButton::OnSysColorChange() {
    Default();
    ReleaseBackgroundCache();
}

LRESULT CSkinButton::OnSetStyle(WPARAM wp, LPARAM lp) {
    skin::SetStyle s = skin::set_style((uint32_t)wp, m_bDefault != FALSE);
    m_bDefault = s.default_button;
    return DefWindowProc(BM_SETSTYLE, s.style, lp);
}

LRESULT CSkinButton::OnSetCheck(WPARAM wp, LPARAM) {
    SetPressed(wp == 1 || wp == 2, TRUE);
    return 0;
}

LRESULT CSkinButton::OnGetCheck(WPARAM, LPARAM) { return IsPressed(); }

// The button paints its icons itself; asked as a standard button is, it names the one it shows normally.
LRESULT CSkinButton::OnGetImage(WPARAM type, LPARAM) { return type == IMAGE_ICON ? (LRESULT)m_hIconIn : 0; }

LRESULT CSkinButton::OnMenuChar(UINT ch, UINT flags, CMenu* menu) {
    if (GlintMenu::IsOwnMenu(menu)) return GlintMenu::FindKeyboardAccelerator(ch, flags, menu);
    return Default();
}

void CSkinButton::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    if (mis && mis->CtlType == ODT_MENU && ::IsMenu((HMENU)(UINT_PTR)mis->itemID) &&
        GlintMenu::IsOwnMenuHandle((HMENU)(UINT_PTR)mis->itemID)) {
        m_menu.MeasureItem(mis);
        return;
    }
    CButton::OnMeasureItem(id, mis);
}

void CSkinButton::CancelHover() {
    if (m_bFlat && m_bHovered) {
        m_bHovered = FALSE;
        Invalidate();
    }
}

void CSkinButton::OnEnable(BOOL enable) {
    Default();
    if (enable) return;
    CWnd* parent = GetParent();
    if (parent) {
        CWnd* next = parent->GetNextDlgTabItem(this);
        if (next && next->m_hWnd != m_hWnd) next->SetFocus();
        else parent->SetFocus();
    }
    CancelHover();
}

void CSkinButton::OnKillFocus(CWnd*) {
    Default();
    CancelHover();
}

void CSkinButton::OnCancelMode() {
    Default();
    CancelHover();
}

void CSkinButton::OnActivate(UINT state, CWnd*, BOOL) {
    Default();
    if (state == WA_INACTIVE) CancelHover();
}

BOOL CSkinButton::OnSetCursor(CWnd*, UINT, UINT) {
    if (m_hCursor) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return (BOOL)Default();
}

void CSkinButton::OnMouseMove(UINT flags, CPoint point) {
    Default();
    if (!m_bFlat) return;
    if ((flags & MK_LBUTTON) && !m_bHovered) return;
    ClientToScreen(&point);
    bool over = ::WindowFromPoint(point) == m_hWnd && (m_bTrackWhenInactive || ::GetActiveWindow());
    if (!over) {
        CancelHover();
        return;
    }
    if (!m_bHovered) {
        m_bHovered = TRUE;
        Invalidate();
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        ::TrackMouseEvent(&track);
    }
}

LRESULT CSkinButton::OnMouseLeave(WPARAM, LPARAM) {
    CancelHover();
    return 0;
}

BOOL CSkinButton::OnClicked() {
    SetFocus();
    if (m_bCheckMode) {
        m_bChecked = !m_bChecked;
        Invalidate();
    } else if (m_menu.m_hMenu) {
        m_bMenuShowing = TRUE;
        RedrawWindow();
        CRect r;
        GetWindowRect(&r);
        UINT command = 0;
        if (HMENU popup = ::GetSubMenu(m_menu.m_hMenu, 0))
            command = (UINT)::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                                             r.left, r.bottom, 0, m_hWnd, nullptr);
        m_bMenuShowing = FALSE;
        RedrawWindow();
        // Posted only to a window that asked for it (a null window would make it a thread message).
        if (command && m_hMenuOwner) ::PostMessageA(m_hMenuOwner, WM_COMMAND, command, 0);
    } else if (m_szUrl[0]) {
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.hwnd = m_hWnd;
        info.lpVerb = "open";
        info.lpFile = m_szUrl;
        info.nShow = SW_SHOWMAXIMIZED;
        AfxShellExecuteEx(&info);
    }
    return FALSE;  // the parent gets the click too
}

// ---- drawing ----

int CSkinButton::DrawBackground(CDC* dc, RECT* rect) {
    COLORREF colour = m_bHovered || m_bPressed ? m_crColours[0] : m_bFocused ? m_crColours[4] : m_crColours[2];
    dc->FillSolidRect(rect, colour);
    return 0;
}

int CSkinButton::DrawBorder(CDC* dc, RECT* rect) {
    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_bPressed) dc->Draw3dRect(rect, shadow, light);
    else dc->Draw3dRect(rect, light, shadow);
    return 0;
}

void CSkinButton::DrawFace(CDC* dc, CRect rect, bool pressed, bool focused) {
    if (m_bTransparent) {
        CRect client;
        GetClientRect(&client);
        if (!m_hCacheDC) {
            // The parent's pixels under the button, taken once.
            CWnd* parent = GetParent();
            HDC parent_dc = ::GetDC(parent ? parent->m_hWnd : nullptr);
            m_hCacheDC = ::CreateCompatibleDC(parent_dc);
            m_hCacheBitmap = ::CreateCompatibleBitmap(parent_dc, client.Width(), client.Height());
            m_hCacheOld = ::SelectObject(m_hCacheDC, m_hCacheBitmap);
            CRect at;
            GetWindowRect(&at);
            if (parent) parent->ScreenToClient(&at);
            ::BitBlt(m_hCacheDC, 0, 0, client.Width(), client.Height(), parent_dc, at.left, at.top, SRCCOPY);
            ::ReleaseDC(parent ? parent->m_hWnd : nullptr, parent_dc);
        }
        ::BitBlt(dc->m_hDC, 0, 0, client.Width(), client.Height(), m_hCacheDC, 0, 0, SRCCOPY);
        return;
    }
    int style;
    COLORREF colour;
    skin::FaceState state;
    if (m_bHovered || pressed) {
        style = m_nHoverStyle;
        colour = m_crHoverFace;
        state = skin::FaceState::Hover;
    } else if (focused) {
        style = m_nFocusStyle;
        colour = m_crFocusFace;
        state = skin::FaceState::Focus;
    } else {
        style = m_nNormalStyle;
        colour = m_crNormalFace;
        state = skin::FaceState::Normal;
    }
    if (style == 0) {
        DrawBackground(dc, &rect);
    } else if (style <= 6) {
        skin_paint_strokes(dc->m_hDC, skin::button_face(style, skin_rect(rect), colour, state, skin_system_shades()));
    } else {
        if (m_bDoubleFace) {
            CRect shadow = rect;
            --shadow.right;
            --shadow.bottom;
            shadow.OffsetRect(1, 1);
            DrawGradient(dc->m_hDC, color_darken(color_darken(colour, 51), 51), shadow, style);
            shadow.OffsetRect(-1, -1);
            DrawGradient(dc->m_hDC, color_lighten(color_lighten(colour, 51), 51), shadow, style);
        } else {
            DrawGradient(dc->m_hDC, color_lighten(color_lighten(colour, 51), 51), rect, style);
        }
    }
}

void CSkinButton::DrawIconAndText(CDC* dc, CRect rect, bool pressed, bool disabled) {
    CString text;
    GetWindowText(text);
    const bool has_text = !text.IsEmpty();
    const bool shift = pressed && !m_bCheckMode;
    CRect area = rect;
    HICON icon = m_hIconIn;
    int cx = m_cxIconIn, cy = m_cyIconIn;
    if (m_hIconOut && ((!pressed && !m_bHovered) || (m_bCheckMode && !pressed))) {
        icon = m_hIconOut;
        cx = m_cxIconOut;
        cy = m_cyIconOut;
    }
    if (icon) {
        CPoint at;
        switch (m_nIconAlign) {
        case 1:
            at = CPoint(rect.left + (rect.Width() - cx) / 2, has_text ? rect.top + 3 : rect.top + (rect.Height() - cy) / 2);
            if (has_text) area.top += cy;
            break;
        case 2:
            if (has_text) {
                at = CPoint(rect.right - cx - 3, rect.top + (rect.Height() - cy) / 2);
                area.left = 3;
                area.right = rect.right - rect.left - cx - 3;
            } else {
                at = CPoint(rect.left + (rect.Width() - cx) / 2, rect.top + (rect.Height() - cy) / 2);
            }
            break;
        default:
            at = CPoint(has_text ? rect.left + 3 : rect.left + (rect.Width() - cx) / 2, rect.top + (rect.Height() - cy) / 2);
            if (has_text) area.left = rect.left + cx + 3;
            break;
        }
        if (shift) at.Offset(1, 1);
        dc->DrawState(at, CSize(cx, cy), icon, DSS_NORMAL | (disabled ? DSS_DISABLED : 0));
    }
    if (!has_text) return;
    if (shift) area.OffsetRect(1, 1);
    CRect measured = area;
    dc->DrawText(text, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    // The measured text centred in the text area.
    CRect place;
    place.left = area.left + (area.Width() - measured.Width()) / 2;
    place.right = place.left + measured.Width();
    place.top = area.top + (area.Height() - measured.Height()) / 2;
    place.bottom = place.top + measured.Height();
    auto pass = [&](int dx, int dy, COLORREF colour) {
        CRect r = place;
        r.OffsetRect(dx, dy);
        dc->SetTextColor(colour);
        dc->DrawText(text, &r, DT_WORDBREAK | DT_CENTER);
    };
    if (disabled) {
        pass(1, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        pass(0, 0, ::GetSysColor(COLOR_BTNSHADOW));
    } else if (m_bHovered || pressed) {
        dc->SetBkColor(m_crColours[0]);
        if (m_nTextEffect == 1) pass(-1, -1, RGB(0, 0, 0));
        else if (m_nTextEffect == 2) pass(1, 1, RGB(255, 255, 255));
        pass(0, 0, m_crColours[1]);
    } else {
        dc->SetBkColor(m_crColours[2]);
        if (m_nTextEffect == 1) {
            pass(-1, -1, skin::button_contrast(m_crColours[3]));
            pass(0, 0, m_crColours[3]);
        } else if (m_nTextEffect == 2) {
            pass(-1, -1, m_crColours[3]);
            pass(0, 0, RGB(255, 255, 255));
        } else {
            pass(0, 0, m_crColours[3]);
        }
    }
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT dis) {
    CDC* dc = CDC::FromHandle(dis->hDC);
    const UINT state = dis->itemState;
    m_bPressed = (m_bCheckMode ? ((state & ODS_SELECTED) || m_bChecked) : (state & ODS_SELECTED) != 0) || m_bMenuShowing;
    m_bFocused = (state & ODS_FOCUS) != 0;
    m_bDisabled = (state & ODS_DISABLED) != 0;
    const bool pressed = m_bPressed != FALSE, focused = m_bFocused != FALSE;
    int saved = dc->SaveDC();
    dc->SetBkMode(TRANSPARENT);
    CRect rect = dis->rcItem;
    if (!m_bFlat && (focused || m_bDefault)) {
        HBRUSH black = (HBRUSH)::GetStockObject(BLACK_BRUSH);
        dc->FrameRect(&rect, black);
        rect.DeflateRect(1, 1);
    }
    DrawFace(dc, rect, pressed, focused);
    if (pressed) {
        if (!m_bFlat) {
            HBRUSH shadow = ::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));
            dc->FrameRect(&rect, shadow);
            ::DeleteObject(shadow);
        } else if (m_bDrawBorder) {
            DrawBorder(dc, &rect);
        }
    } else if (!m_bFlat) {
        CRect outer = rect, inner = rect;
        inner.DeflateRect(1, 1);
        dc->Draw3dRect(&outer, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_3DDKSHADOW));
        dc->Draw3dRect(&inner, ::GetSysColor(COLOR_3DLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    } else if (m_bHovered && m_bDrawBorder) {
        DrawBorder(dc, &rect);
    }
    DrawIconAndText(dc, rect, pressed, m_bDisabled != FALSE);
    if (focused && (!m_bFlat || m_bFlatFocus)) {
        CRect focus = dis->rcItem;
        focus.DeflateRect(3, 3);
        dc->DrawFocusRect(&focus);
    }
    dc->RestoreDC(saved);
}
