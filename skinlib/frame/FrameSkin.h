// The libraries' window frame painter: one frame skin per library, loaded from the library's own bitmap
// resources (caption bar, left, right and bottom borders, caption buttons) and painted as tiled strips,
// with the free functions the library's windows call. Only the libraries link this: the program has
// functions of the same names with other signatures (controls/skin/SkinDraw.h).
#pragma once
#include "afxwin.h"
#include "controls/skin/PictureBitmap.h"
#include "skinlib/frame/frame_plan.h"
#include "skinlib/variants/skinlib_variants.h"

class CFrameSkin {
public:
    explicit CFrameSkin(const skinlib::FrameIds& ids) : m_ids(ids) {}
    CFrameSkin(const CFrameSkin&) = delete;
    CFrameSkin& operator=(const CFrameSkin&) = delete;

    void SetIds(const skinlib::FrameIds& ids) { m_ids = ids; }
    // Frees what was loaded, loads every bitmap and the metrics. Loaded only when the caption, the
    // three borders and the close button all loaded. Returns 0.
    int Reload();
    BOOL IsLoaded() const { return m_bLoaded; }
    const skinlib::FrameMetrics& Metrics() const { return m_metrics; }
    CSkinBitmap& Bitmap(skinlib::Strip strip);
    CSkinBitmap& Background() { return m_background; }
    CSkinBitmap& ButtonBitmap(int which) { return m_buttons[which == 1 ? 1 : 0]; }

    // The strips and the frame; a strip whose bitmap is missing draws nothing. Each returns 1.
    int DrawStrip(CDC* dc, skinlib::Strip strip, int x, int y, int length, int row);
    int DrawFrame(CDC* dc, int x, int y, int width, int height, BOOL with_caption, int row);
    RECT CaptionButtonRect(HWND wnd, int which);
    int DrawCaptionButton(HWND wnd, CDC* dc, int which, int state);

private:
    skinlib::FrameIds m_ids;
    CSkinBitmap m_background, m_background2, m_caption, m_left, m_right, m_bottom, m_buttons[2];
    skinlib::FrameMetrics m_metrics{};
    BOOL m_bLoaded = FALSE;
    BOOL m_bPresent = FALSE;
};

// This library's frame skin (its ids are set when the module selects its variant).
CFrameSkin& skin_frame_skin();

int skin_reload_bitmaps();
int skin_draw_caption_bar(CDC* dc, int x, int y, int length, int row);
int skin_draw_left_edge(CDC* dc, int x, int y, int length, int row);
int skin_draw_right_edge(CDC* dc, int x, int y, int length, int row);
int skin_draw_bottom_edge(CDC* dc, int x, int y, int length, int row);
int skin_draw_frame(CDC* dc, int x, int y, int width, int height, BOOL with_caption, int row);
RECT skin_caption_button_rect(HWND wnd, int which);
int skin_draw_caption_button(HWND wnd, CDC* dc, int which, int state);
// 1 while the frame bitmaps are loaded: the windows paint the frame only then.
BYTE skin_frame_loaded();
