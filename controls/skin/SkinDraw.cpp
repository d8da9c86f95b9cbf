#include "SkinDraw.h"
#include "SkinRegion.h"
#include "SkinDialog.h"
#include "controls/skin_core/skin_fill_profile.h"
#include "controls/res/skin_res.h"

COLORREF skin_color_main = 0x606060;
COLORREF skin_color_dark = 0x404040;
COLORREF skin_color_accent = 0xFFFFFF;

CSkinBitmap skin_bmp_background;
CSkinBitmap skin_bmp_caption;
CSkinBitmap skin_bmp_frame_left;
CSkinBitmap skin_bmp_frame_right;
CSkinBitmap skin_bmp_frame_bottom;
CSkinBitmap skin_bmp_button_close;
CSkinBitmap skin_bmp_button_min;
CSkinBitmap skin_bmp_background2;
CSkinBitmap skin_bmp_button_colour;

skin::FrameMetrics skin_frame{};
BYTE skin_ready = 0;
BYTE skin_loaded_before = 0;
unsigned skin_load_count = 0;
COLORREF skin_key_colour = 0x000000;
BOOL skin_key_transparent = FALSE;

namespace {

const COLORREF kSkinBackground = 0x0C0C01;

struct SkinBitmapSlot {
    CSkinBitmap* bitmap;
    UINT id;
};

// In load order.
const SkinBitmapSlot kSlots[] = {
    {&skin_bmp_background, IDB_SKIN_BACKGROUND}, {&skin_bmp_caption, IDB_SKIN_CAPTION},
    {&skin_bmp_frame_left, IDB_SKIN_FRAME_LEFT}, {&skin_bmp_frame_right, IDB_SKIN_FRAME_RIGHT},
    {&skin_bmp_frame_bottom, IDB_SKIN_FRAME_BOTTOM}, {&skin_bmp_button_close, IDB_SKIN_BUTTON_CLOSE},
    {&skin_bmp_button_min, IDB_SKIN_BUTTON_MIN}, {&skin_bmp_background2, IDB_SKIN_BACKGROUND},
    {&skin_bmp_button_colour, IDB_SKIN_BUTTON_COLOUR},
};

skin::Size size_of(const CSkinBitmap& bitmap) {
    CSize s = bitmap.GetSize();
    return skin::Size{(int)s.cx, (int)s.cy};
}

CSkinBitmap* caption_button_bitmap(int which) {
    switch (which) {
    case 0: return &skin_bmp_button_close;
    case 1: return &skin_bmp_button_min;
    case 4: return &skin_bmp_button_colour;
    default: return nullptr;
    }
}

}  // namespace

void skin_set_scheme(int n) {
    skin::Scheme s = skin::scheme(n);
    skin_color_main = s.main;
    skin_color_dark = s.dark;
    skin_color_accent = s.accent;
    skin_ui_color = s.dark;
}

void skin_apply_startup_colours(int scheme, BOOL have_saved_ui, COLORREF saved_ui) {
    skin::UiColours c = skin::startup_colours(scheme, have_saved_ui != FALSE, saved_ui);
    skin_color_main = c.main;
    skin_color_dark = c.dark;
    skin_color_accent = c.accent;
    skin_ui_color = c.ui;
}

void skin_set_ui_color(COLORREF color) { skin_ui_color = color; }

int skin_reload_bitmaps() {
    for (const SkinBitmapSlot& slot : kSlots) slot.bitmap->DeleteObject();
    skin_loaded_before = 0;
    for (const SkinBitmapSlot& slot : kSlots) {
        slot.bitmap->DeleteObject();
        slot.bitmap->LoadFromResource(slot.id, (LPCSTR)RT_BITMAP, nullptr, kSkinBackground);
    }
    skin_ready = 1;
    skin_loaded_before = 1;
    ++skin_load_count;
    CSkinDialog::s_pfnSized = skin_window_resized;
    skin_frame = skin::frame_metrics({size_of(skin_bmp_caption), size_of(skin_bmp_frame_left),
                                      size_of(skin_bmp_frame_right), size_of(skin_bmp_frame_bottom)});
    return 0;
}

RECT* skin_caption_button_rect(RECT* out, HWND wnd, int which) {
    RECT window{};
    ::GetWindowRect(wnd, &window);
    CSkinBitmap* bitmap = caption_button_bitmap(which);
    skin::Rect r = skin::caption_button_rect(window.right - window.left, which,
                                             bitmap ? size_of(*bitmap) : skin::Size{});
    ::SetRect(out, r.left, r.top, r.right, r.bottom);
    return out;
}

int skin_draw_caption_button(HWND wnd, CDC* dc, int which, int cell) {
    CSkinBitmap* bitmap = caption_button_bitmap(which);
    if (!bitmap || !bitmap->m_hObject || !dc) return 1;
    RECT at;
    skin_caption_button_rect(&at, wnd, which);
    int cell_width = at.right - at.left;
    RECT source = {cell * cell_width, 0, (cell + 1) * cell_width, at.bottom - at.top};
    bitmap->DrawTransparent(dc, at.left, at.top, &source, skin_key_colour, skin_key_transparent);
    return 1;
}

void skin_fill_shaded(HDC dc, COLORREF colour, int left, int top, int right, int bottom, int style) {
    skin_draw_gradient(dc, skin::kSkinFillProfile, colour, RECT{left, top, right, bottom}, style);
}

int skin_fill_rect(CDC* dc, int x, int y, int width, int height, COLORREF colour, int style) {
    skin_fill_shaded(dc->m_hDC, colour, x, y, x + width, y + height, style);
    return 1;
}

int skin_draw_frame(CDC* dc, int width, int height) {
    COLORREF edge = color_lighten(skin_ui_color, 0x33);
    int s = skin_frame.side_width;
    skin_fill_shaded(dc->m_hDC, edge, s / 2, 0, s, height - 6, 10);
    skin_fill_shaded(dc->m_hDC, edge, width - s, 0, width - s / 2, height - 6, 10);
    skin_fill_shaded(dc->m_hDC, edge, s - 5, height - 12, width - s + 5, height - 6, 8);
    return 1;
}

void skin_paint_window(CWnd* wnd, HICON small_icon) {
    if (!wnd || !::IsWindow(wnd->m_hWnd) || wnd->IsIconic()) return;
    skin_update_window_region(wnd->m_hWnd);
    CWindowDC dc(wnd);
    CRect r;
    wnd->GetWindowRect(&r);
    const int w = r.Width(), h = r.Height();
    skin_draw_frame(&dc, w, h);
    COLORREF band = color_darken(skin_ui_color, 17);
    skin_fill_rect(&dc, 3, 2, w - 6, 28, band, 8);
    skin_fill_rect(&dc, 5, 30, w - 10, 6, band, 21);
    for (int which : {0, 1, 4}) skin_draw_caption_button(wnd->m_hWnd, &dc, which, 0);
    const int icon = ::GetSystemMetrics(SM_CXSMICON);
    if (small_icon) dc.DrawIconEx(24, (skin_frame.caption_height - icon) / 2, small_icon, icon, icon, 0, nullptr, DI_NORMAL);
    // The title in the caption text box: from 24 left of the text origin and 8 below it.
    CString title;
    wnd->GetWindowText(title);
    CFont font;
    font.CreatePointFont(::GetSystemMetrics(SM_CYSMCAPTION) * 15 / 2, "System");
    HGDIOBJ old_font = ::SelectObject(dc.m_hDC, font.m_hObject);
    int old_mode = dc.SetBkMode(TRANSPARENT);
    CRect text(skin_frame.caption_text_x - 24, skin_frame.caption_text_y + 8, w - 120, skin_frame.caption_height);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS;
    CRect shadow = text;
    shadow.OffsetRect(1, 1);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.DrawText(title, &shadow, format);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.DrawText(title, &text, format);
    dc.SetBkMode(old_mode);
    ::SelectObject(dc.m_hDC, old_font);
}

int skin_caption_hit(HWND wnd, POINT screen) {
    RECT window{};
    if (!skin_ready || !::GetWindowRect(wnd, &window)) return 0;
    POINT at = {screen.x - window.left, screen.y - window.top};
    const struct {
        int which, hit;
    } buttons[] = {{0, HTCLOSE}, {1, HTMINBUTTON}, {4, HTMENU}};
    for (const auto& b : buttons) {
        RECT r;
        skin_caption_button_rect(&r, wnd, b.which);
        if (::PtInRect(&r, at)) return b.hit;
    }
    return 0;
}
