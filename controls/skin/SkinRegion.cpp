#include "SkinRegion.h"
#include "SkinDraw.h"
#include "controls/skin_core/caption_bar.h"
#include <algorithm>
#include <cstdint>

namespace {

// Window property holding the size and skin load the window's region was built for.
const char kRegionProp[] = "tarmelo.skin.region";

HANDLE region_stamp(int width, int height) {
    // The top bit keeps the stamp non-zero (a property of 0 reads as "none").
    uint64_t stamp = (1ull << 62) | ((uint64_t)(skin_load_count & 0x3FFFFFFF) << 32) |
                     ((uint64_t)(height & 0xFFFF) << 16) | (uint64_t)(width & 0xFFFF);
    return (HANDLE)(uintptr_t)stamp;
}

}  // namespace

HRGN skin_window_region(int width, int height) {
    if (!skin_bmp_caption.m_hObject || width <= 0 || height <= 0) return nullptr;
    const CSize bar_size = skin_bmp_caption.GetSize();
    HRGN bar = skin_bmp_caption.CreateRegion(skin_key_colour);
    if (!bar) return nullptr;
    // Only the first of the bar's two stacked states is laid over the caption.
    const int band = std::min(skin_frame.caption_height, height);
    HRGN window = ::CreateRectRgn(0, band, width, height);
    HRGN caption = ::CreateRectRgn(0, 0, 0, 0);
    HRGN piece = ::CreateRectRgn(0, 0, 0, 0);
    HRGN span = ::CreateRectRgn(0, 0, 0, 0);
    for (const skin::CaptionPiece& p : skin::caption_pieces(width, (int)bar_size.cx, skin_frame.caption_piece_width)) {
        const int shift = p.x - p.source_left;
        ::SetRectRgn(span, p.source_left, 0, p.source_right, band);
        ::CombineRgn(piece, bar, span, RGN_AND);
        ::OffsetRgn(piece, shift, 0);
        ::OffsetRgn(span, shift, 0);
        // A later piece hides what lies under it, key pixels included.
        ::CombineRgn(caption, caption, span, RGN_DIFF);
        ::CombineRgn(caption, caption, piece, RGN_OR);
    }
    ::SetRectRgn(span, 0, 0, width, band);
    ::CombineRgn(caption, caption, span, RGN_AND);
    ::CombineRgn(window, window, caption, RGN_OR);
    ::DeleteObject(span);
    ::DeleteObject(piece);
    ::DeleteObject(caption);
    ::DeleteObject(bar);
    return window;
}

void skin_update_window_region(HWND wnd) {
    RECT r;
    if (!::IsWindow(wnd) || !::GetWindowRect(wnd, &r)) return;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (!skin_bmp_caption.m_hObject) {
        if (::RemovePropA(wnd, kRegionProp)) ::SetWindowRgn(wnd, nullptr, TRUE);
        return;
    }
    const HANDLE stamp = region_stamp(width, height);
    if (::GetPropA(wnd, kRegionProp) == stamp) return;
    HRGN region = skin_window_region(width, height);
    if (!region) return;
    // Stamped first: setting the region repaints the frame, and that paint must not set it again.
    ::SetPropA(wnd, kRegionProp, stamp);
    // The window owns the region from here on.
    if (!::SetWindowRgn(wnd, region, TRUE)) {
        ::DeleteObject(region);
        ::RemovePropA(wnd, kRegionProp);
    }
}

void skin_window_resized(HWND wnd) {
    if (::GetPropA(wnd, kRegionProp) && !::IsIconic(wnd)) skin_update_window_region(wnd);
}
