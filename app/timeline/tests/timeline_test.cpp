// The timeline's picture, mouse and arithmetic, painted on a recording canvas. Expected values are
// worked by hand from the view's rules (3 pixels per entry, 128 pixels of tail, thumbnails more than
// 64 pixels apart, labels every 20th entry, grid every 10th).
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "app/timeline/timeline_mouse.h"
#include "app/timeline/timeline_rules.h"
#include "codecs/tolmpicpack/picpack_core.h"
#include "engine/image/rgb_image.h"
#include "recording_canvas.h"

namespace {

int g_unpacks = 0;
int counting_unpack(unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len) {
    ++g_unpacks;
    return picpack::uncompress(dest, dest_len, src, src_len);
}

SegmentList make_list(int n, int step_ms = 40) {
    SegmentList list(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) list[size_t(i)].entry.time_ms = i * step_ms;
    return list;
}

// A packed 128 x 88 picture of one colour (B, G, R bytes).
std::vector<uint8_t> packed_picture(uint8_t b, uint8_t g, uint8_t r) {
    CRgbImage image(128, 88, int(b) | int(g) << 8 | int(r) << 16);
    std::vector<uint8_t> out(picpack::compress_bound(uint32_t(image.byte_size())));
    uint32_t length = uint32_t(out.size());
    EXPECT_EQ(0, picpack::compress(out.data(), &length, image.pixels(), uint32_t(image.byte_size())));
    out.resize(length);
    return out;
}

void give_thumb(SegmentList& list, int i, std::vector<uint8_t> packed, bool key = true) {
    list[size_t(i)].entry.is_key = key ? 1 : 0;
    list[size_t(i)].set_thumbnail(std::move(packed));
}

PaintContext context(int scroll, int width, int height = 65) {
    PaintContext ctx;
    ctx.scroll_x = scroll;
    ctx.client_width = width;
    ctx.client_height = height;
    ctx.ui = 0x806040;
    ctx.unpack = counting_unpack;
    return ctx;
}

TimelineState state_of(SegmentList list, int start = 0, int end = -1) {
    TimelineState st;
    st.sel_start = start;
    st.sel_end = end < 0 ? int(list.size()) - 1 : end;
    st.segments = std::move(list);
    st.file_path = "C:\\clips\\a.avi";
    return st;
}

std::vector<int> line_xs(const RecordingCanvas& c, skin::Colour colour) {
    std::vector<int> xs;
    for (const CanvasOp& op : c.ops)
        if (op.kind == CanvasOp::Line && op.colour == colour && op.rect.left == op.rect.right) xs.push_back(op.rect.left);
    return xs;
}

// The entries labelled below the base lines: white text at y = H - 2, 2 pixels right of the entry.
std::set<int> lower_labels(const RecordingCanvas& c, int h) {
    std::set<int> entries;
    for (const CanvasOp& op : c.ops)
        if (op.kind == CanvasOp::Text && op.colour == 0xFFFFFF && op.rect.top == h - 2) entries.insert((op.rect.left - 2) / 3);
    return entries;
}

}  // namespace

TEST(TimelineArithmetic, PositionsBandAndColourTurns) {
    EXPECT_EQ(3128, content_width(1000));
    EXPECT_EQ(53, band_height(65));  // 2 * (53 / 2) + 1
    EXPECT_EQ(55, band_height(66));  // 2 * (54 / 2) + 1
    EXPECT_EQ(55, band_height(67));
    EXPECT_EQ(0x11DDCCu, invert_color(0x112233));       // blue kept, red and green turned
    EXPECT_EQ(0xEEDD33u, invert_green_blue(0x112233));  // red kept, green and blue turned
    EXPECT_EQ(0, clamp_entry(-4, 10));
    EXPECT_EQ(9, clamp_entry(40, 10));
    EXPECT_EQ(0, clamp_entry(3, 0));
}

TEST(TimelinePaint, ThousandEntriesWidthLabelsAndGrid) {
    const TimelineState st = state_of(make_list(1000));
    RecordingCanvas whole;
    paint_timeline(whole, st, context(0, 3200));
    const int h = band_height(65);
    // The base lines run the content's full width; the end marker stands at the last entry's end.
    bool base_line = false;
    for (const CanvasOp& op : whole.ops)
        if (op.kind == CanvasOp::Line && op.colour == 0x00FF00 && op.rect.top == h - 3)
            base_line = op.rect.left == 0 && op.rect.right == 3128;
    EXPECT_TRUE(base_line);
    EXPECT_EQ(std::vector<int>{3000}, line_xs(whole, 0x3737FF));
    std::set<int> every20, grid10;
    for (int i = 0; i < 1000; i += 20) every20.insert(i);
    for (int i = 0; i < 1000; i += 10) grid10.insert(3 * i);
    EXPECT_EQ(every20, lower_labels(whole, h));
    const std::vector<int> grid = line_xs(whole, 0x000F00);
    EXPECT_EQ(grid10, std::set<int>(grid.begin(), grid.end()));
    EXPECT_EQ(grid10.size(), grid.size());

    // Painted a window at a time, the labels and grid add up to the same picture.
    std::set<int> labels, lines;
    for (int s = 0; s < 3128; s += 500) {
        RecordingCanvas part;
        paint_timeline(part, st, context(s, 600));
        for (int e : lower_labels(part, h)) labels.insert(e);
        for (int x : line_xs(part, 0x000F00)) lines.insert(x);
        // Only what the window can show was walked.
        EXPECT_LE(part.ops.size(), 1200u) << "scroll " << s;
    }
    EXPECT_EQ(every20, labels);
    EXPECT_EQ(grid10, lines);
}

TEST(TimelinePaint, ThumbnailsSpacedAndOnlyVisibleOnesUnpacked) {
    SegmentList list = make_list(200);
    const std::vector<uint8_t> red = packed_picture(0, 0, 255);
    for (int i : {0, 21, 22, 40, 70}) give_thumb(list, i, red);  // x 0, 63, 66, 120, 210
    give_thumb(list, 100, red, false);                              // not a key entry
    list[120].entry.is_key = 1;                                     // a key entry without a picture
    give_thumb(list, 150, {1, 2, 3, 4});                            // a payload the unpacker refuses
    RecordingCanvas c;
    g_unpacks = 0;
    const ThumbSpots spots = paint_timeline(c, state_of(list), context(0, 1000));
    const ThumbSpots expected = {{0, 0}, {22, 66}, {70, 210}, {150, 450}};
    EXPECT_EQ(expected, spots);
    EXPECT_EQ(4, g_unpacks);
    ASSERT_EQ(4u, c.picture_first_pixels.size());
    EXPECT_EQ(0xFF0000u, c.picture_first_pixels[0]);  // B, G, R of red
    EXPECT_EQ(0xFFFFFFu, c.picture_first_pixels[3]);  // refused: the white picture
    // Pictures stand in {x, 8, x + 64, H - 10}.
    for (const CanvasOp& op : c.ops)
        if (op.kind == CanvasOp::Picture) {
            EXPECT_EQ(8, op.rect.top);
            EXPECT_EQ(op.rect.left + 64, op.rect.right);
            EXPECT_EQ(band_height(65) - 10, op.rect.bottom);
        }
    // Hover finds a spot over [x, x + 64).
    EXPECT_EQ(22, thumb_at(spots, list, 66));
    EXPECT_EQ(22, thumb_at(spots, list, 129));
    EXPECT_EQ(-1, thumb_at(spots, list, 130));

    // 1000 entries with a picture every 25th (75 pixels apart): at scroll 1500 over 600 pixels only
    // x in (1436, 2100) are visible, entries 500 to 675, eight pictures.
    SegmentList many = make_list(1000);
    for (int i = 0; i < 1000; i += 25) give_thumb(many, i, red);
    RecordingCanvas part;
    g_unpacks = 0;
    const ThumbSpots seen = paint_timeline(part, state_of(many), context(1500, 600));
    EXPECT_EQ(8, g_unpacks);
    ASSERT_EQ(8u, seen.size());
    EXPECT_EQ(500, seen.front().first);
    EXPECT_EQ(675, seen.back().first);
}

TEST(TimelinePaint, EmptyListShowsFrameAndMessage) {
    RecordingCanvas c;
    const ThumbSpots spots = paint_timeline(c, TimelineState{}, context(0, 600, 65));
    EXPECT_TRUE(spots.empty());
    std::vector<CanvasOp> texts;
    for (const CanvasOp& op : c.ops) {
        EXPECT_TRUE(op.kind == CanvasOp::Fill || op.kind == CanvasOp::Text);
        if (op.kind == CanvasOp::Text) texts.push_back(op);
    }
    ASSERT_EQ(2u, texts.size());
    const std::string message = "无视频关键帧显示 无时间标定";
    EXPECT_EQ(message, texts[0].text);
    EXPECT_EQ(message, texts[1].text);
    EXPECT_EQ(0x000000u, texts[0].colour);
    EXPECT_EQ(0x5CFFFFu, texts[1].colour);
    // {w / 2 - 106, h / 2 - 4, left + 420, h}, the shadow one pixel right and down.
    EXPECT_EQ(194, texts[1].rect.left);
    EXPECT_EQ(28, texts[1].rect.top);
    EXPECT_EQ(614, texts[1].rect.right);
    EXPECT_EQ(195, texts[0].rect.left);
    EXPECT_EQ(29, texts[0].rect.top);
    EXPECT_EQ(TlFont::Message, texts[1].font);
    // The film frame's posts (style 10 in 0x20CDCD) stand at m = w / 5 - 6 = 114 .. o = 134 from
    // y0 = h / 8 = 8 to y1 = h - 8 + 4 = 61.
    bool post = false;
    for (const CanvasOp& op : c.ops)
        if (op.kind == CanvasOp::Fill && op.rect.left >= 114 && op.rect.right <= 134 && op.rect.top >= 8 &&
            op.rect.bottom <= 61 && op.rect.right > op.rect.left)
            post = true;
    EXPECT_TRUE(post);
}

TEST(TimelinePaint, RangeBeyondTheListIsClampedInTheTitle) {
    TimelineState st = state_of(make_list(50, 100), 10, 400);
    RecordingCanvas c;
    paint_timeline(c, st, context(0, 600));
    bool title = false;
    for (const CanvasOp& op : c.ops)
        if (op.kind == CanvasOp::Text && op.centred && op.colour == 0x37FFFF)
            title = op.text == "选择文件 C:\\clips\\a.avi[1.00-4.90秒]";
    EXPECT_TRUE(title);
}

// Each style against rows worked out by hand from its formula.
TEST(TimelineGradient, StylesAgainstHandRows) {
    struct Band {
        int from, to;  // rows (or columns) [from, to)
        skin::Colour colour;
    };
    struct Case {
        int style;
        skin::Colour base;
        TlRect rect;
        bool columns;
        std::vector<Band> expected;  // a selection of the bands
        size_t band_count;
    };
    const auto grey = [](int v) { return skin::rgb(v, v, v); };
    const Case cases[] = {
        // 221, H 8: Q 2, C 4; darken 127, 96, 64, 80, 96, 80, 64, 96 from 200.
        {221, grey(200), {0, 0, 10, 8}, false,
         {{0, 1, grey(73)}, {1, 2, grey(104)}, {2, 3, grey(136)}, {3, 4, grey(120)}, {4, 5, grey(104)},
          {5, 6, grey(120)}, {6, 7, grey(136)}, {7, 8, grey(104)}},
         8},
        {222, grey(200), {0, 0, 10, 8}, false, {{0, 1, grey(73)}, {6, 7, grey(136)}}, 8},
        // 22, H 20: bands of 2 rows ending at i; lighten by clamp(255 (20 - i) / 20, 25, 225) / 2.
        {22, grey(16), {0, 0, 10, 20}, false,
         {{0, 2, grey(16 + 112)}, {2, 4, grey(16 + 102)}, {8, 10, grey(16 + 63)}, {18, 20, grey(16 + 12)}}, 10},
        // 177, W 22: bands of 2 columns ending at i; darken by (255 - 255 |i - 11| / 11) / 3.
        {177, grey(100), {0, 0, 22, 4}, true,
         {{0, 2, grey(100 - 15)}, {10, 12, grey(100 - 77)}, {20, 22, grey(100)}}, 11},
    };
    for (const Case& k : cases) {
        RecordingCanvas c;
        draw_gradient(c, k.base, k.rect, k.style, -1000, 1000);
        std::vector<CanvasOp> fills;
        for (const CanvasOp& op : c.ops)
            if (op.kind == CanvasOp::Fill) fills.push_back(op);
        EXPECT_EQ(k.band_count, fills.size()) << "style " << k.style;
        for (const Band& b : k.expected) {
            bool found = false;
            for (const CanvasOp& op : fills) {
                const int from = k.columns ? op.rect.left : op.rect.top, to = k.columns ? op.rect.right : op.rect.bottom;
                if (from == b.from && to == b.to) {
                    found = true;
                    EXPECT_EQ(b.colour, op.colour) << "style " << k.style << " band " << b.from;
                }
            }
            EXPECT_TRUE(found) << "style " << k.style << " band " << b.from;
        }
    }
    // Wholly outside the clip range nothing is drawn; partly outside, clamped into it.
    RecordingCanvas outside;
    draw_gradient(outside, grey(200), {0, 0, 10, 8}, 221, 20, 40);
    EXPECT_TRUE(outside.ops.empty());
    RecordingCanvas clipped;
    draw_gradient(clipped, grey(200), {0, 0, 100, 8}, 221, 20, 40);
    for (const CanvasOp& op : clipped.ops) {
        EXPECT_EQ(20, op.rect.left);
        EXPECT_EQ(40, op.rect.right);
    }
}

TEST(TimelineRules, EdgesProgressAndRangeScroll) {
    // Range 10..20 sits at x 30..60 of a 100-entry list.
    EXPECT_EQ(19, moved_start(57, 20, 100));
    EXPECT_EQ(std::nullopt, moved_start(58, 20, 100));  // within 2 pixels of the end
    EXPECT_EQ(std::nullopt, moved_start(90, 20, 100));  // past it
    EXPECT_EQ(11, moved_end(33, 10, 100));
    EXPECT_EQ(std::nullopt, moved_end(32, 10, 100));
    EXPECT_EQ(99, moved_end(3 * 100 + 127, 10, 100));  // the tail past the last entry gives n - 1
    EXPECT_TRUE(near_edge(56, 20, 0));
    EXPECT_TRUE(near_edge(64, 20, 0));
    EXPECT_FALSE(near_edge(55, 20, 0));
    EXPECT_FALSE(near_edge(65, 20, 0));
    EXPECT_TRUE(near_edge(6, 20, 50));  // client x = 60 - 50 = 10
    // Progress past the right edge scrolls to the bar's end; far left of the view back to it.
    EXPECT_EQ(1200, progress_scroll(400, 0, 600));
    EXPECT_EQ(std::nullopt, progress_scroll(200, 0, 600));
    EXPECT_EQ(std::nullopt, progress_scroll(400, 800, 600));
    EXPECT_EQ(30, progress_scroll(10, 2000, 600));
    // A chosen start or end beyond the view's width.
    EXPECT_EQ(1190, range_scroll(false, 400, 0, 600, 3128));
    EXPECT_EQ(610, range_scroll(true, 400, 0, 600, 3128));
    EXPECT_EQ(std::nullopt, range_scroll(false, 100, 0, 600, 3128));
    EXPECT_EQ(std::nullopt, range_scroll(false, 400, 0, 3200, 3128));
}

TEST(TimelineMouse, DragsAndDoubleClicksFollowTheEdgeRules) {
    MouseFrame f;
    f.client_height = 65;
    f.scroll_x = 0;
    struct Case {
        const char* name;
        int press_x;     // client x of the button down
        int release_x;   // client x of the button up
        int start, end;  // range afterwards
        int code;        // notify code sent, 0 none
    };
    const Case cases[] = {
        {"start dragged right", 31, 45, 15, 20, 9991},
        {"start to within 2 px of the end", 31, 58, 10, 20, 0},
        {"end dragged past the list", 59, 500, 10, 99, 9992},
        {"end onto the start", 59, 32, 10, 20, 0},
        {"press away from both edges", 45, 80, 10, 20, 0},
    };
    for (const Case& k : cases) {
        TimelineState st = state_of(make_list(100), 10, 20);
        st.edit_mode = true;
        const MouseOutcome down = timeline_button_down(st, f, k.press_x, 20);
        EXPECT_EQ(down.capture, st.drag_edge != 0) << k.name;
        timeline_mouse_move(st, f, {}, k.release_x, 20);
        const MouseOutcome up = timeline_button_up(st, f, k.release_x, 20);
        EXPECT_EQ(k.start, st.sel_start) << k.name;
        EXPECT_EQ(k.end, st.sel_end) << k.name;
        EXPECT_EQ(k.code, up.notify_code) << k.name;
        if (k.code) {
            EXPECT_EQ(k.code == 9991 ? k.start : k.end, up.notify_value) << k.name;
        }
        EXPECT_EQ(0, st.drag_edge) << k.name;
    }
    // Double click moves the armed edge.
    TimelineState st = state_of(make_list(100), 10, 20);
    st.edit_mode = true;
    st.end_armed = true;
    MouseOutcome dbl = timeline_double_click(st, f, 90, 20);
    EXPECT_EQ(9992, dbl.notify_code);
    EXPECT_EQ(30, st.sel_end);
    st.end_armed = false;
    st.start_armed = true;
    dbl = timeline_double_click(st, f, 87, 20);  // 87 + 2 < 90 (the end): allowed
    EXPECT_EQ(9991, dbl.notify_code);
    EXPECT_EQ(29, st.sel_start);
    dbl = timeline_double_click(st, f, 88, 20);  // 88 + 2 is not below 90
    EXPECT_EQ(29, st.sel_start);
    EXPECT_TRUE(dbl.invalidate);
}

TEST(TimelineMouse, PanningCapturesAndHoverAsksForThumbnails) {
    MouseFrame f;
    f.client_height = 65;
    f.scroll_x = 300;
    TimelineState st = state_of(make_list(1000));
    const MouseOutcome down = timeline_button_down(st, f, 200, 20);
    EXPECT_TRUE(down.capture);
    EXPECT_EQ(TlCursor::Hand, down.cursor);
    const MouseOutcome move = timeline_mouse_move(st, f, {}, 150, 20);
    EXPECT_EQ(350, move.scroll_to);  // 300 + 200 - 150
    const MouseOutcome up = timeline_button_up(st, f, 120, 20);
    EXPECT_EQ(380, up.scroll_to);
    EXPECT_TRUE(up.release);
    EXPECT_FALSE(st.panning);
    // Hover over a drawn thumbnail, but not while a job runs.
    st.segments[200].set_thumbnail({1, 2, 3});
    const ThumbSpots spots = {{200, 600}};
    EXPECT_EQ(200, timeline_mouse_move(st, f, spots, 310, 20).hover_entry);  // c = 610
    f.busy = true;
    EXPECT_EQ(-1, timeline_mouse_move(st, f, spots, 310, 20).hover_entry);
}

TEST(TimelineMouse, ShortListsIgnoreTheMouse) {
    MouseFrame f;
    f.client_height = 65;
    for (int n : {1, 2}) {
        for (bool edit : {false, true}) {
            TimelineState st = state_of(make_list(n), 0, n - 1);
            st.edit_mode = edit;
            st.start_armed = true;
            st.segments[0].set_thumbnail({1});
            const ThumbSpots spots = {{0, 0}};
            timeline_button_down(st, f, 1, 20);
            const MouseOutcome move = timeline_mouse_move(st, f, spots, 30, 20);
            const MouseOutcome up = timeline_button_up(st, f, 30, 20);
            const MouseOutcome dbl = timeline_double_click(st, f, 1, 20);
            for (const MouseOutcome* o : {&move, &up, &dbl}) {
                EXPECT_EQ(std::nullopt, o->scroll_to) << n;
                EXPECT_EQ(0, o->notify_code) << n;
                EXPECT_EQ(-1, o->hover_entry) << n;
            }
            EXPECT_FALSE(st.panning);
            EXPECT_EQ(0, st.sel_start);
            EXPECT_EQ(n - 1, st.sel_end);
        }
    }
}
