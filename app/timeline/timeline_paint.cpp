#include "timeline_paint.h"
#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include "engine/image/rgb_image.h"
#include "timeline_rules.h"

namespace {

constexpr int kThumbWidth = 128;
constexpr int kThumbHeight = 88;

// Times are shown from milliseconds through the single-precision 0.001.
double seconds(int32_t ms) { return double(float(ms) * 0.001f); }

// Text with a black shadow one pixel up and left of it.
void shadowed(TimelineCanvas& canvas, const char* text, TlRect r, skin::Colour colour, TlFont font,
              bool centred = false) {
    canvas.text(text, TlRect{r.left - 1, r.top - 1, r.right - 1, r.bottom - 1}, 0x000000, font, centred);
    canvas.text(text, r, colour, font, centred);
}

void paint_empty(TimelineCanvas& canvas, const PaintContext& ctx) {
    const TlRect client{0, 0, ctx.client_width, ctx.client_height};
    draw_gradient(canvas, ctx.ui, client, 177, 0, 1000);
    draw_film_frame(canvas, ctx.ui, client);
    const int left = ctx.client_width / 2 - 106, top = ctx.client_height / 2 - 4;
    const char* message = "无视频关键帧显示 无时间标定";
    canvas.text(message, TlRect{left + 1, top + 1, left + 420 + 1, ctx.client_height + 1}, 0x000000, TlFont::Message,
                false);
    canvas.text(message, TlRect{left, top, left + 420, ctx.client_height}, 0x5CFFFF, TlFont::Message, false);
}

// Unpacks a stored thumbnail into a white 128 x 88 picture; a payload the unpacker refuses leaves it
// white. Null when the picture cannot be made.
std::unique_ptr<CRgbImage> unpack_thumbnail(const Segment& segment, const ThumbUnpackFn& unpack) {
    std::unique_ptr<CRgbImage> image(new (std::nothrow) CRgbImage(kThumbWidth, kThumbHeight, 0xFFFFFF));
    if (!image || image->empty()) return nullptr;
    if (!unpack) return image;
    std::vector<unsigned char> buffer(image->byte_size() + 100);
    uint32_t length = uint32_t(image->byte_size());
    const int result = unpack(buffer.data(), &length, segment.thumbnail.data(), uint32_t(segment.thumbnail.size()));
    if (result >= 0) std::copy_n(buffer.begin(), std::min<size_t>(length, image->byte_size()), image->pixels());
    return image;
}

bool is_thumb_entry(const Segment& s) { return s.entry.is_key != 0 && s.entry.data_size != 0 && s.has_thumbnail(); }

}  // namespace

ThumbSpots paint_timeline(TimelineCanvas& canvas, const TimelineState& state, const PaintContext& ctx) {
    ThumbSpots spots;
    const int count = int(state.segments.size());
    if (count < 1) {
        paint_empty(canvas, ctx);
        return spots;
    }
    const int s = ctx.scroll_x, w = ctx.client_width;
    const int width = content_width(count);
    const int h = band_height(ctx.client_height);
    const int clip_right = s + w;
    const int sel_start = clamp_entry(state.sel_start, count), sel_end = clamp_entry(state.sel_end, count);
    const EntrySpan span = visible_entries(s, w, count);
    // 3.-5. Background, strip and range band.
    draw_range_band(canvas, 0x240100, TlRect{0, 0, width, ctx.client_height}, s, clip_right, ctx.edges);
    draw_gradient(canvas, invert_green_blue(ctx.ui), TlRect{0, 0, width, h}, 221, s, clip_right);
    const TlRect band{entry_x(sel_start), 4, entry_x(sel_end), h - 8};
    if (state.edit_mode) draw_gradient(canvas, invert_color(ctx.ui), band, 222, s, clip_right);
    else draw_gradient(canvas, ctx.ui, band, 22, s, clip_right);
    // 6. Grid every tenth entry; 7. base lines.
    canvas.set_rop(TlRop::Copy);
    for (int i = (span.first + 9) / 10 * 10; i < span.end; i += 10) canvas.line(entry_x(i), 0, entry_x(i), h, 0x000F00, 1);
    canvas.line(0, h - 3, width, h - 3, 0x00FF00, 1);
    canvas.line(0, h - 4, width, h - 4, 0x000000, 1);
    // 8. Thumbnails at key entries, at least 65 pixels apart.
    int last = -1999;
    for (int i = span.first; i < span.end; ++i) {
        const Segment& segment = state.segments[size_t(i)];
        const int x = entry_x(i);
        if (!is_thumb_entry(segment) || !thumb_visible(x, s, w) || x <= last + kThumbSpan) continue;
        std::unique_ptr<CRgbImage> image = unpack_thumbnail(segment, ctx.unpack);
        if (!image) continue;
        spots.emplace_back(i, x);
        canvas.picture(*image, TlRect{x, 8, x + kThumbSpan, h - 10});
        last = x;
    }
    // 9. Labels: the key entries' times above the base lines, every 20th entry's time below.
    canvas.set_rop(TlRop::Xor);
    char text[64];
    last = -2000;
    for (int i = span.first; i < span.end; ++i) {
        const Segment& segment = state.segments[size_t(i)];
        const int x = entry_x(i);
        std::snprintf(text, sizeof text, "%.2f秒", seconds(segment.entry.time_ms));
        if (is_thumb_entry(segment) && thumb_visible(x, s, w) && x > last + kThumbSpan) {
            shadowed(canvas, text, TlRect{x + 2, h - 14, x + 50, h - 2}, 0xFFFF9B, TlFont::Label);
            last = x;
            canvas.line(x - 1, 0, x - 1, h - 2, 0x00FFFF, 1);
        }
        if (i % 20 == 0) {
            shadowed(canvas, text, TlRect{x + 2, h - 2, x + 50, h + 8}, 0xFFFFFF, TlFont::Label);
            canvas.line(x, h - 2, x, h + 8, 0xFFFF00, 1);
        }
    }
    // 10. The end label; 11. the title; 12. the end marker.
    const int end_x = entry_x(count);
    shadowed(canvas, "结束", TlRect{end_x + 2, h - 14, end_x + 50, h - 2}, 0x3737FF, TlFont::Label);
    std::string title(state.file_path.size() + 64, '\0');
    std::snprintf(&title[0], title.size(), "选择文件 %s[%.2f-%.2f秒]", state.file_path.c_str(),
                  seconds(state.segments[size_t(sel_start)].entry.time_ms),
                  seconds(state.segments[size_t(sel_end)].entry.time_ms));
    shadowed(canvas, title.c_str(), TlRect{s + 2, h / 2 - 8, s + w - 2, h / 2 + 8}, 0x37FFFF, TlFont::Label, true);
    canvas.line(end_x, 0, end_x, h + 12, 0x3737FF, 3);
    return spots;
}

int thumb_at(const ThumbSpots& spots, const SegmentList& segments, int c) {
    for (const auto& [index, x] : spots) {
        if (c < x || c >= x + kThumbSpan) continue;
        if (index >= 0 && index < int(segments.size()) && segments[size_t(index)].entry.data_size != 0) return index;
    }
    return -1;
}
