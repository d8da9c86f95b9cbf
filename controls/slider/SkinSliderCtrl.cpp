#include "SkinSliderCtrl.h"
#include "controls/skin/SkinPaint.h"

BEGIN_MESSAGE_MAP(CSkinSliderCtrl, CSliderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSkinSliderCtrl::CSkinSliderCtrl()
    : m_crSelection(::GetSysColor(COLOR_HIGHLIGHT)), m_crChannel(::GetSysColor(COLOR_WINDOW)),
      m_crThumb(::GetSysColor(COLOR_BTNFACE)) {
    Derive();
}

CSkinSliderCtrl::~CSkinSliderCtrl() {
    if (m_dcBackground.m_hDC && m_hOldBackground) ::SelectObject(m_dcBackground.m_hDC, m_hOldBackground);
}

skin::SliderSystem CSkinSliderCtrl::SystemColours() {
    return skin::SliderSystem{::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_BTNFACE),
                              ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_WINDOWFRAME)};
}

void CSkinSliderCtrl::Derive() { m_shades = skin::slider_shades(m_crThumb, m_crChannel, m_crSelection, SystemColours()); }

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

BOOL CSkinSliderCtrl::OnEraseBkgnd(CDC*) { return FALSE; }

void CSkinSliderCtrl::OnCustomDraw(NMHDR* hdr, LRESULT* result) {
    NMCUSTOMDRAW* cd = (NMCUSTOMDRAW*)hdr;
    if (cd->dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (cd->dwDrawStage != CDDS_ITEMPREPAINT || cd->dwItemSpec == TBCD_TICS) {
        *result = CDRF_DODEFAULT;
        return;
    }
    int saved = ::SaveDC(cd->hdc);
    if (cd->dwItemSpec == TBCD_THUMB) DrawThumb(*cd);
    else if (cd->dwItemSpec == TBCD_CHANNEL) DrawChannel(*cd);
    ::RestoreDC(cd->hdc, saved);
    *result = CDRF_SKIPDEFAULT;
}

void CSkinSliderCtrl::DrawThumb(const NMCUSTOMDRAW& cd) {
    // Held: the trackbar reports the thumb selected (Wine: hot while it holds the mouse).
    const bool held = (cd.uItemState & CDIS_SELECTED) || ((cd.uItemState & CDIS_HOT) && ::GetCapture() == m_hWnd);
    skin::SliderShades shades = m_shades;
    if (held) shades = skin::slider_shades(color_darken_keep(m_crThumb, 51), m_crChannel, m_crSelection, SystemColours());
    const RECT& r = cd.rc;
    const bool lying = r.right - r.left >= r.bottom - r.top;
    skin_paint_strokes(cd.hdc, skin::slider_thumb(skin_rect(r), skin::thumb_shape(GetStyle()), shades, SystemColours(),
                                                  IsWindowEnabled() != FALSE, lying));
}

void CSkinSliderCtrl::LayOverParent(HDC dc) {
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_dcBackground.m_hDC) {
        // The parent's pixels under the control, taken once.
        CWnd* parent = GetParent();
        if (!parent) return;
        CRect window;
        GetWindowRect(&window);
        parent->ScreenToClient(&window);
        CClientDC parent_dc(parent);
        m_dcBackground.CreateCompatibleDC(&parent_dc);
        m_bmpBackground.CreateCompatibleBitmap(&parent_dc, w, h);
        m_hOldBackground = ::SelectObject(m_dcBackground.m_hDC, m_bmpBackground.m_hObject);
        ::BitBlt(m_dcBackground.m_hDC, 0, 0, w, h, parent_dc.m_hDC, window.left, window.top, SRCCOPY);
    }
    // Where the control is white the parent shows through.
    HDC copy = ::CreateCompatibleDC(dc);
    HBITMAP copy_bitmap = ::CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old_copy = ::SelectObject(copy, copy_bitmap);
    ::BitBlt(copy, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    HDC mask = ::CreateCompatibleDC(dc);
    HBITMAP mask_bitmap = ::CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ old_mask = ::SelectObject(mask, mask_bitmap);
    ::SetBkColor(copy, 0xFFFFFF);
    ::BitBlt(mask, 0, 0, w, h, copy, 0, 0, SRCCOPY);
    ::BitBlt(dc, 0, 0, w, h, m_dcBackground.m_hDC, 0, 0, SRCCOPY);
    COLORREF old_text = ::SetTextColor(dc, 0x000000), old_back = ::SetBkColor(dc, 0xFFFFFF);
    ::BitBlt(dc, 0, 0, w, h, copy, 0, 0, SRCINVERT);
    ::BitBlt(dc, 0, 0, w, h, mask, 0, 0, SRCAND);
    ::BitBlt(dc, 0, 0, w, h, copy, 0, 0, SRCINVERT);
    ::SetTextColor(dc, old_text);
    ::SetBkColor(dc, old_back);
    ::SelectObject(mask, old_mask);
    ::DeleteObject(mask_bitmap);
    ::DeleteDC(mask);
    ::SelectObject(copy, old_copy);
    ::DeleteObject(copy_bitmap);
    ::DeleteDC(copy);
}

void CSkinSliderCtrl::DrawChannel(const NMCUSTOMDRAW& cd) {
    LayOverParent(cd.hdc);
    skin::SliderShades shades = m_shades;
    if (!IsWindowEnabled()) shades.channel = ::GetSysColor(COLOR_BTNFACE);
    CRect channel;
    GetChannelRect(&channel);
    skin::ChannelInput in;
    in.item = skin_rect(cd.rc);
    in.vertical = channel.Height() > channel.Width();
    GetRange(in.min, in.max);
    in.range_set = in.min != 0 || in.max != 0;
    GetSelection(in.sel_start, in.sel_end);
    skin_paint_strokes(cd.hdc, skin::slider_channel(in, shades, SystemColours()));
}
