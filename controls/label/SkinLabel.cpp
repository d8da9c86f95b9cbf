#include "SkinLabel.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/skin_colour.h"
#include "controls/skin_core/skin_strokes.h"
#include <algorithm>
#include <cstring>

const skin::LabelVariant* CSkinLabel::s_defaultVariant = &skin::kTarmeloLabel;

BEGIN_MESSAGE_MAP(CSkinLabel, CStatic)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_CREATE()
END_MESSAGE_MAP()

namespace {
const UINT_PTR kFlashTimer = 1;
}

CSkinLabel::CSkinLabel()
    : m_crBack(::GetSysColor(COLOR_BTNFACE)), m_pVariant(s_defaultVariant), m_crText(::GetSysColor(COLOR_WINDOWTEXT)) {
    m_hFaceBrush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    memset(&m_lf, 0, sizeof m_lf);
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof m_lf, &m_lf);
    m_font.CreateFontIndirect(&m_lf);
}

CSkinLabel::~CSkinLabel() {
    if (m_hBackBitmap) ::DeleteObject(m_hBackBitmap);
    if (m_hFaceBrush) ::DeleteObject(m_hFaceBrush);
    if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
}

void CSkinLabel::SetDefaultVariant(const skin::LabelVariant* variant) {
    if (variant) s_defaultVariant = variant;
}

void CSkinLabel::SetVariant(const skin::LabelVariant* variant) {
    if (variant) m_pVariant = variant;
}

void CSkinLabel::DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const {
    skin_draw_gradient(dc, *m_pVariant->gradient, colour, rect, style);
}

void CSkinLabel::Redraw() {
    if (m_hWnd && ::IsWindow(m_hWnd)) RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CSkinLabel::RebuildFont() {
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lf);
}

// ---- setters ----

CSkinLabel& CSkinLabel::SetBkColor(COLORREF colour) {
    if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
    m_hBackBrush = ::CreateSolidBrush(colour);
    m_crBack = colour;
    return *this;
}

CSkinLabel& CSkinLabel::SetTextColor(COLORREF colour) {
    m_crText = colour;
    Redraw();
    return *this;
}

CSkinLabel& CSkinLabel::SetText(const CString& text) {
    if (m_hWnd) SetWindowText(text);
    return *this;
}

CSkinLabel& CSkinLabel::SetFontBold(BOOL bold) {
    m_lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    Redraw();
    return *this;
}

CSkinLabel& CSkinLabel::SetFontName(const CString& name) {
    // The face field holds 31 bytes and its terminator: a longer name is cut at a whole character.
    const char* s = name;
    size_t n = 0;
    while (s[n]) {
        size_t step = ::IsDBCSLeadByte((BYTE)s[n]) && s[n + 1] ? 2 : 1;
        if (n + step > LF_FACESIZE - 1) break;
        n += step;
    }
    memset(m_lf.lfFaceName, 0, sizeof m_lf.lfFaceName);
    memcpy(m_lf.lfFaceName, s, n);
    RebuildFont();
    Redraw();
    return *this;
}

CSkinLabel& CSkinLabel::SetFontUnderline(BOOL underline) {
    m_lf.lfUnderline = underline ? 1 : 0;
    RebuildFont();
    Redraw();
    return *this;
}

CSkinLabel& CSkinLabel::SetFontItalic(BOOL italic) {
    m_lf.lfItalic = italic ? 1 : 0;
    RebuildFont();
    Redraw();
    return *this;
}

CSkinLabel& CSkinLabel::SetFontSize(int size) {
    m_lf.lfHeight = -size;
    RebuildFont();
    Redraw();
    return *this;
}

CSkinLabel& CSkinLabel::SetSunken(BOOL sunken) {
    if (m_hWnd) ModifyStyleEx(sunken ? 0 : WS_EX_STATICEDGE, sunken ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
    return *this;
}

CSkinLabel& CSkinLabel::SetBorder(BOOL border) {
    if (m_hWnd) ModifyStyle(border ? 0 : WS_BORDER, border ? WS_BORDER : 0, SWP_FRAMECHANGED);
    return *this;
}

CSkinLabel& CSkinLabel::SetTransparent(BOOL transparent) {
    m_bTransparent = transparent;
    if (m_hWnd) {
        InvalidateRect(nullptr, TRUE);
        UpdateWindow();
    }
    return *this;
}

void CSkinLabel::ApplyTimer(const skin::LabelFlash::TimerChange& change) {
    if (!m_hWnd) return;
    if (change.kill) KillTimer(kFlashTimer);
    if (change.start) SetTimer(kFlashTimer, change.period);
}

CSkinLabel& CSkinLabel::FlashText(BOOL on) {
    ApplyTimer(m_flash.flash_text(on != FALSE, m_pVariant->text_flash_ms));
    return *this;
}

CSkinLabel& CSkinLabel::FlashBackground(BOOL on) {
    ApplyTimer(m_flash.flash_background(on != FALSE, m_pVariant->back_flash_ms));
    return *this;
}

CSkinLabel& CSkinLabel::SetLink(BOOL link, BOOL open_link) {
    m_bOpenLink = open_link;
    m_bLink = link;
    if (m_hWnd) ModifyStyle(link ? 0 : SS_NOTIFY, link ? SS_NOTIFY : 0);
    return *this;
}

CSkinLabel& CSkinLabel::SetLinkCursor(HCURSOR cursor) {
    m_hLinkCursor = cursor;
    return *this;
}

CSkinLabel& CSkinLabel::SetFont3D(BOOL on, int type) {
    m_bFont3D = on;
    m_nFont3DType = type;
    Redraw();
    return *this;
}

CSkinLabel& CSkinLabel::SetRotationAngle(int angle, BOOL rotate) {
    m_lf.lfEscapement = m_lf.lfOrientation = angle * 10;
    m_bRotate = rotate;
    RebuildFont();
    Redraw();
    return *this;
}

BOOL CSkinLabel::SetBackBitmap(UINT resource_id) {
    BOOL ok = skin_load_bitmap(&m_hBackBitmap, &m_nBackWidth, &m_nBackHeight, resource_id);
    if (m_hWnd && ::IsWindow(m_hWnd)) Invalidate(TRUE);
    return ok;
}

BOOL CSkinLabel::SetBackBitmap(HBITMAP bitmap) {
    if (!skin_take_bitmap(&m_hBackBitmap, &m_nBackWidth, &m_nBackHeight, bitmap)) return FALSE;
    if (m_hWnd && ::IsWindow(m_hWnd)) Invalidate(TRUE);
    return TRUE;
}

// ---- messages ----

int CSkinLabel::OnCreate(LPCREATESTRUCTA) { return (int)Default(); }

void CSkinLabel::OnTimer(UINT_PTR) {
    m_flash.tick();
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
    Default();
}

BOOL CSkinLabel::OnSetCursor(CWnd*, UINT, UINT) {
    if (m_hLinkCursor) {
        ::SetCursor(m_hLinkCursor);
        return TRUE;
    }
    return (BOOL)Default();
}

void CSkinLabel::OnLButtonDown(UINT, CPoint) {
    if (m_bOpenLink) {
        CString text;
        GetWindowText(text);
        const char* target = m_pVariant->open_link ? m_pVariant->open_link : (const char*)text;
        AfxShellExecute(nullptr, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
    } else if (CWnd* parent = GetParent()) {
        NMHDR hdr{};
        hdr.hwndFrom = m_hWnd;
        hdr.idFrom = (UINT_PTR)GetDlgCtrlID();
        hdr.code = NM_LABELCLICK;
        parent->SendMessage(WM_NOTIFY, hdr.idFrom, (LPARAM)&hdr);
    }
    Default();
}

void CSkinLabel::OnSysColorChange() {
    if (m_hFaceBrush) ::DeleteObject(m_hFaceBrush);
    m_hFaceBrush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    Redraw();
}

// ---- painting ----

void CSkinLabel::PaintShadedFace(CDC* dc, CRect r) {
    if (m_pVariant->double_face && m_bDoubleFace) {
        --r.right;
        --r.bottom;
        CRect shadow = r;
        shadow.OffsetRect(1, 1);
        DrawGradient(dc->m_hDC, m_nBackStyle == 57 ? m_crBack : RGB(0, 0, 0), shadow, m_nBackStyle);
    }
    DrawGradient(dc->m_hDC, color_lighten(color_lighten(m_crBack, 51), 51), r, m_nBackStyle);
}

void CSkinLabel::PaintBackground(CDC* dc, const CRect& r) {
    HBRUSH brush = m_hBackBrush ? m_hBackBrush : m_hFaceBrush;
    if (m_hBackBitmap) {
        if (r.Width() < m_nBackWidth && r.Height() < m_nBackHeight) {
            HDC memory = ::CreateCompatibleDC(dc->m_hDC);
            HGDIOBJ old = ::SelectObject(memory, m_hBackBitmap);
            ::BitBlt(dc->m_hDC, 0, 0, r.Width(), r.Height(), memory, 0, 0, SRCCOPY);
            ::SelectObject(memory, old);
            ::DeleteDC(memory);
        } else {
            skin_tile_bitmap(dc->m_hDC, m_hBackBitmap, m_nBackWidth, m_nBackHeight, r.Width(), r.Height());
        }
        if (m_nBackStyle > 16) PaintShadedFace(dc, r);
    } else if (m_nBackStyle >= 1 && m_nBackStyle <= 6) {
        skin_paint_strokes(dc->m_hDC, skin::bevelled_face(skin_rect(r), skin::bevel_shades(m_crBack, 27), skin_system_shades()));
    } else if (m_nBackStyle >= 7) {
        PaintShadedFace(dc, r);
    } else {
        ::FillRect(dc->m_hDC, &r, brush);
    }
}

void CSkinLabel::PaintText(CDC* dc, CRect r, const CString& text) {
    if (m_bRotate) {
        UINT old_align = dc->SetTextAlign(TA_BASELINE | TA_CENTER);
        CPoint old_origin = dc->SetViewportOrg(r.Width() / 2, r.Height() / 2);
        dc->TextOut(0, 0, text);
        dc->SetViewportOrg(old_origin.x, old_origin.y);
        dc->SetTextAlign(old_align);
        return;
    }
    const UINT format = skin::label_text_format(GetStyle(), text.Find("\r\n") >= 0, m_bOwnFormat != 0, m_nFormat);
    if (m_pVariant->indicator && m_nIndicatorStyle > 0) {
        // Lit: black, then yellow one pixel off; unlit: grey with a dark copy up and left.
        r.top += 6;
        auto pass = [&](COLORREF colour, int d) {
            CRect t = r;
            t.OffsetRect(d, d);
            dc->SetTextColor(colour);
            dc->DrawText(text, &t, format);
        };
        if (!m_flash.timer_on) {
            pass(RGB(0, 0, 0), 0);
        } else if (m_flash.phase) {
            pass(RGB(0, 0, 0), 0);
            pass(0x05FFFF, m_nFont3DType ? 1 : -1);
        } else {
            pass(0xC4C4C4, 0);
            pass(0x444444, -1);
        }
        return;
    }
    if (m_pVariant->double_face && m_nBackStyle == 57) r.DeflateRect(16, 0);
    dc->DrawText(text, &r, format);
    if (m_bFont3D) {
        CRect copy = r;
        int d = m_nFont3DType ? 1 : -1;
        copy.OffsetRect(d, d);
        dc->SetTextColor(RGB(255, 255, 255));
        dc->DrawText(text, &copy, format);
    }
}

void CSkinLabel::OnPaint() {
    CPaintDC paint(this);
    CRect r;
    GetClientRect(&r);
    CString text;
    GetWindowText(text);
    CDC memory;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    CDC* dc = &paint;
    if (!m_bTransparent) {
        memory.CreateCompatibleDC(&paint);
        bitmap = ::CreateCompatibleBitmap(paint.m_hDC, std::max(1, r.Width()), std::max(1, r.Height()));
        old_bitmap = ::SelectObject(memory.m_hDC, bitmap);
        dc = &memory;
    }
    COLORREF old_colour = dc->SetTextColor(m_crText);
    HGDIOBJ old_font = ::SelectObject(dc->m_hDC, m_font.m_hObject);
    if (!m_bTransparent) PaintBackground(dc, r);
    int old_mode = dc->SetBkMode(TRANSPARENT);
    if (m_flash.text_hidden()) {
        // The text takes the background brush's colour (black without one).
        LOGBRUSH lb{};
        COLORREF c = m_hBackBrush && ::GetObjectA(m_hBackBrush, sizeof lb, &lb) ? lb.lbColor : RGB(0, 0, 0);
        dc->SetTextColor(c);
    }
    PaintText(dc, r, text);
    dc->SetBkMode(old_mode);
    ::SelectObject(dc->m_hDC, old_font);
    dc->SetTextColor(old_colour);
    if (!m_bTransparent) {
        paint.BitBlt(0, 0, r.Width(), r.Height(), &memory, 0, 0, SRCCOPY);
        ::SelectObject(memory.m_hDC, old_bitmap);
        ::DeleteObject(bitmap);
        memory.DeleteDC();
    }
}
