#include "FrameSkin.h"

namespace {
const COLORREF kSkinBackground = 0x0C0C01;

skin::Size size_of(const CSkinBitmap& bitmap) {
    CSize s = bitmap.GetSize();
    return skin::Size{(int)s.cx, (int)s.cy};
}
}  // namespace

CSkinBitmap& CFrameSkin::Bitmap(skinlib::Strip strip) {
    switch (strip) {
    case skinlib::Strip::Caption: return m_caption;
    case skinlib::Strip::Left: return m_left;
    case skinlib::Strip::Right: return m_right;
    case skinlib::Strip::Bottom: break;
    }
    return m_bottom;
}

int CFrameSkin::Reload() {
    CSkinBitmap* all[] = {&m_background, &m_background2, &m_caption, &m_left, &m_right, &m_bottom, &m_buttons[0], &m_buttons[1]};
    const unsigned ids[] = {m_ids.background, m_ids.background, m_ids.caption, m_ids.left, m_ids.right,
                            m_ids.bottom,     m_ids.buttons[0], m_ids.buttons[1]};
    for (CSkinBitmap* b : all) b->DeleteObject();
    m_bPresent = FALSE;
    m_bLoaded = FALSE;
    for (size_t i = 0; i < sizeof all / sizeof all[0]; ++i)
        if (ids[i]) all[i]->LoadFromResource(ids[i], (LPCSTR)RT_BITMAP, nullptr, kSkinBackground);
    m_bPresent = TRUE;
    // A frame without its caption, a border or the close button is a skin that is not loaded.
    m_bLoaded = m_caption.m_hObject && m_left.m_hObject && m_right.m_hObject && m_bottom.m_hObject &&
                m_buttons[0].m_hObject;
    skinlib::FrameSizes sizes{};
    if (m_bLoaded)
        sizes = {size_of(m_caption), size_of(m_left), size_of(m_right), size_of(m_bottom),
                 {size_of(m_buttons[0]), size_of(m_buttons[1])}};
    m_metrics = skinlib::frame_metrics(sizes);
    return 0;
}

int CFrameSkin::DrawStrip(CDC* dc, skinlib::Strip strip, int x, int y, int length, int row) {
    CSkinBitmap& bitmap = Bitmap(strip);
    if (!bitmap.m_hObject || !dc) return 1;
    for (const skinlib::StripCopy& c : skinlib::plan_strip(strip, size_of(bitmap), m_metrics, x, y, length, row)) {
        RECT source = {c.source.left, c.source.top, c.source.right, c.source.bottom};
        bitmap.Draw(dc, c.x, c.y, &source);
    }
    return 1;
}

int CFrameSkin::DrawFrame(CDC* dc, int x, int y, int width, int height, BOOL with_caption, int row) {
    const skinlib::FrameMetrics& m = m_metrics;
    if (with_caption) DrawStrip(dc, skinlib::Strip::Caption, x + m.left_width, y, width - m.left_width - m.right_width + 1, row);
    DrawStrip(dc, skinlib::Strip::Left, x, y, height, row);
    DrawStrip(dc, skinlib::Strip::Right, x + width - m.right_width, y, height, row);
    DrawStrip(dc, skinlib::Strip::Bottom, x + m.left_width, y + height - m.bottom_height,
              width - m.left_width - m.right_width, row);
    return 1;
}

RECT CFrameSkin::CaptionButtonRect(HWND wnd, int which) {
    RECT window{};
    ::GetWindowRect(wnd, &window);
    skin::Size strip = which == 0 || which == 1 ? size_of(ButtonBitmap(which)) : skin::Size{};
    skin::Rect r = skinlib::caption_button_rect(window.right - window.left, which, strip);
    return RECT{r.left, r.top, r.right, r.bottom};
}

int CFrameSkin::DrawCaptionButton(HWND wnd, CDC* dc, int which, int state) {
    if ((which != 0 && which != 1) || !ButtonBitmap(which).m_hObject || !dc) return 1;
    RECT at = CaptionButtonRect(wnd, which);
    int w = at.right - at.left;
    RECT source = {state * w, 0, (state + 1) * w, size_of(ButtonBitmap(which)).height};
    ButtonBitmap(which).Draw(dc, at.left, at.top - 3, &source);
    return 1;
}

CFrameSkin& skin_frame_skin() {
    static CFrameSkin skin(skinlib::kBrisvane.frame);
    return skin;
}

int skin_reload_bitmaps() { return skin_frame_skin().Reload(); }
int skin_draw_caption_bar(CDC* dc, int x, int y, int length, int row) {
    return skin_frame_skin().DrawStrip(dc, skinlib::Strip::Caption, x, y, length, row);
}
int skin_draw_left_edge(CDC* dc, int x, int y, int length, int row) {
    return skin_frame_skin().DrawStrip(dc, skinlib::Strip::Left, x, y, length, row);
}
int skin_draw_right_edge(CDC* dc, int x, int y, int length, int row) {
    return skin_frame_skin().DrawStrip(dc, skinlib::Strip::Right, x, y, length, row);
}
int skin_draw_bottom_edge(CDC* dc, int x, int y, int length, int row) {
    return skin_frame_skin().DrawStrip(dc, skinlib::Strip::Bottom, x, y, length, row);
}
int skin_draw_frame(CDC* dc, int x, int y, int width, int height, BOOL with_caption, int row) {
    return skin_frame_skin().DrawFrame(dc, x, y, width, height, with_caption, row);
}
RECT skin_caption_button_rect(HWND wnd, int which) { return skin_frame_skin().CaptionButtonRect(wnd, which); }
int skin_draw_caption_button(HWND wnd, CDC* dc, int which, int state) {
    return skin_frame_skin().DrawCaptionButton(wnd, dc, which, state);
}
BYTE skin_frame_loaded() { return skin_frame_skin().IsLoaded() ? 1 : 0; }
