// The second gallery on a real display, in all three modules at once: the striped list with per-cell
// colours, its header and both bars; progress bars still and animated; sliders lying and standing,
// enabled, disabled and held; the read-out; links normal, hovered and visited; the round slider. A
// saved screenshot is sampled against the band planner, the line lists and each module's bitmaps.
#include "tests/support/gtest_winelib.h"
#include "gallery_api.h"
#include "gallery_support.h"
#include "tests/support/gdi_count.h"
#include "codecs/include/proc_address.h"
#include "controls/skin_core/list_rules.h"
#include "controls/skin_core/progress_rules.h"
#include "controls/skin_core/readout_rules.h"
#include "controls/skin_core/round_slider_rules.h"
#include "controls/skin_core/scroll_rules.h"
#include "controls/skin_core/slider_rules.h"
#include "controls/res/list_res.h"
#include "skinlib/variants/skinlib_variants.h"
#include "afxwin.h"
#include <functional>
#include <string>
#include <vector>

HWND program_gallery_b_open(int x, int y);
void program_gallery_b_report(GalleryBReport* r);
int program_gallery_b_action(int action);
void program_gallery_b_close();

namespace {

using namespace gallery;

struct ModuleB {
    std::string name;
    HMODULE dll = nullptr;
    const skin::ListVariant* list = nullptr;
    std::function<HWND(int, int)> open;
    std::function<void(GalleryBReport*)> report;
    std::function<int(int)> act;
    std::function<void()> close;
    HWND dialog = nullptr;
    POINT origin{};

    GalleryBReport state() const {
        GalleryBReport r;
        report(&r);
        return r;
    }
    HMODULE resources() const { return dll ? dll : GetModuleHandleA(nullptr); }
    POINT screen(RECT client_rect) const { return {origin.x + client_rect.left, origin.y + client_rect.top}; }
};

ModuleB program_b() {
    ModuleB m;
    m.name = "tarmelo";
    m.list = &skin::kTarmeloList;
    m.open = program_gallery_b_open;
    m.report = program_gallery_b_report;
    m.act = program_gallery_b_action;
    m.close = program_gallery_b_close;
    return m;
}

ModuleB library_b(const char* dll_name, const skinlib::LibraryVariant* lib) {
    ModuleB m;
    m.name = lib->name;
    m.list = lib->list;
    m.dll = LoadLibraryA(dll_name);
    auto open = proc_address<gallery_b_open_t>(m.dll, "gallery_b_open");
    auto report = proc_address<gallery_b_report_t>(m.dll, "gallery_b_report");
    auto act = proc_address<gallery_b_action_t>(m.dll, "gallery_b_action");
    auto close = proc_address<gallery_b_close_t>(m.dll, "gallery_b_close");
    m.open = [open](int x, int y) { return open(x, y); };
    m.report = [report](GalleryBReport* r) { report(r); };
    m.act = [act](int a) { return act(a); };
    m.close = [close] { close(); };
    return m;
}

// A bitmap resource of a module, for reading the pixels it should put on screen.
struct ResourceBitmap {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    ResourceBitmap(HMODULE module, UINT id) {
        bitmap = (HBITMAP)LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~ResourceBitmap() {
        SelectObject(dc, old);
        DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
};

class GalleryB : public testing::Test {
protected:
    static std::vector<ModuleB>* modules;

    static void SetUpTestSuite() {
        modules = new std::vector<ModuleB>;
        modules->push_back(program_b());
        modules->push_back(library_b("gallery_brisvane.dll", &skinlib::kBrisvane));
        modules->push_back(library_b("gallery_olumbra.dll", &skinlib::kOlumbra));
        const POINT places[] = {{0, 0}, {510, 0}, {0, 380}};
        for (size_t i = 0; i < modules->size(); ++i) {
            ModuleB& m = (*modules)[i];
            m.dialog = m.open(places[i].x, places[i].y);
            m.origin = places[i];
        }
        SetCursorPos(1010, 760);
        pump(300);
    }
    static void TearDownTestSuite() {
        for (ModuleB& m : *modules) {
            m.close();
            if (m.dll) FreeLibrary(m.dll);
        }
        delete modules;
    }
    void SetUp() override {
        for (ModuleB& m : *modules) ASSERT_NE(nullptr, m.dialog) << m.name;
    }
    static void repaint() {
        for (ModuleB& m : *modules)
            RedrawWindow(m.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pump(50);
    }
    static POINT client_origin(HWND wnd) {
        POINT p{0, 0};
        ClientToScreen(wnd, &p);
        return p;
    }
};
std::vector<ModuleB>* GalleryB::modules = nullptr;

// Both test DLLs stay loaded from the first suite to the end of the program: a Winelib DLL of this
// framework that is freed and loaded again crashes in its first dialog (found with --gtest_repeat=2).
class KeepLibrariesLoaded : public testing::Environment {
public:
    void SetUp() override {
        for (const char* name : {"gallery_brisvane.dll", "gallery_olumbra.dll"}) held.push_back(LoadLibraryA(name));
    }
    void TearDown() override {
        for (HMODULE m : held)
            if (m) FreeLibrary(m);
    }
    std::vector<HMODULE> held;
};
testing::Environment* const kKeepLoaded = testing::AddGlobalTestEnvironment(new KeepLibrariesLoaded);

// The client rectangle of a child window in screen coordinates.
RECT screen_client(HWND wnd) {
    RECT r;
    GetClientRect(wnd, &r);
    MapWindowPoints(wnd, nullptr, (POINT*)&r, 2);
    return r;
}

// How many pixels of an area have a colour.
int count_colour(const Screen& s, RECT r, COLORREF colour) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += s.at(x, y) == colour;
    return n;
}

TEST_F(GalleryB, StripedListWithCellColoursHeaderAndBars) {
    repaint();
    Screen s;
    s.capture();
    s.save("skin-gallery-b.bmp");
    const COLORREF backs[3] = {0x3040C0, 0x30C040, 0xC04030};
    for (ModuleB& m : *modules) {
        GalleryBReport r = m.state();
        // Below the rows: the bands of the list's style 21, or (olumbra) the plain background.
        const RECT client = screen_client(r.list);
        RECT last;
        last.left = LVIR_BOUNDS;
        ASSERT_TRUE(SendMessageA(r.list, LVM_GETITEMRECT, 2, (LPARAM)&last)) << m.name;
        const int below = client.top + last.bottom + 2;
        const skin::Rect local{0, 0, client.right - client.left, client.bottom - client.top};
        std::vector<skin::Rect> bands = skin::list_band_rects(local);
        ASSERT_FALSE(bands.empty());
        EXPECT_EQ(m.list->paints_bands != 0, r.list_paints_bands != 0) << m.name;
        // (The skinned horizontal bar covers the list's last two rows of pixels.)
        std::string result = compare_area(s, {client.left, below}, local.right - 4, client.bottom - 2 - below, 1,
                                          [&](int x, int y, COLORREF* want) {
            const int ly = y + below - client.top;
            if (!m.list->paints_bands) {
                *want = GetSysColor(COLOR_WINDOW);
                return true;
            }
            for (const skin::Rect& b : bands)
                if (ly >= b.top && ly < b.bottom)
                    return plan_colour(*m.list->gradient, r.list_band_colour, b.right - b.left, b.bottom - b.top,
                                       r.list_band_style, x, ly - b.top, want);
            return false;
        });
        EXPECT_EQ("", result) << m.name << " background";
        // Each cell in its own back colour (sampled at its right end, clear of the text).
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) {
                RECT cell;
                cell.top = column;
                cell.left = LVIR_LABEL;
                ASSERT_TRUE(SendMessageA(r.list, LVM_GETSUBITEMRECT, row, (LPARAM)&cell));
                EXPECT_EQ(backs[(row + column) % 3], s.at(client.left + cell.right - 3, client.top + (cell.top + cell.bottom) / 2))
                    << m.name << " cell " << row << "," << column;
            }
        // The header: its captions as drawn (the long one cut with an ellipsis), its bitmaps.
        EXPECT_STREQ("序号", r.captions[0]) << m.name;
        const std::string cut = r.captions[1];
        ASSERT_GT(cut.size(), 3u) << m.name;
        EXPECT_EQ("...", cut.substr(cut.size() - 3)) << m.name << " " << cut;
        EXPECT_EQ(0u, cut.find("a ")) << m.name << " " << cut;
        EXPECT_STREQ("类型", r.captions[2]) << m.name;
        const RECT header = screen_client(r.header);
        ResourceBitmap edge(m.resources(), IDB_LIST_HEADER_EDGE), back(m.resources(), IDB_LIST_HEADER_BACK);
        RECT item1;
        SendMessageA(r.header, HDM_GETITEMRECT, 1, (LPARAM)&item1);
        for (int y : {1, 8, 15}) {
            EXPECT_EQ(back.at(0, y), s.at(header.left + 250, header.top + y)) << m.name << " header beyond the columns";
            EXPECT_EQ(edge.at(0, y), s.at(header.left + item1.right - 2, header.top + y)) << m.name << " column edge";
            // The next column's left edge starts one pixel before its left side, over this one's.
            EXPECT_EQ(edge.at(0, y), s.at(header.left + item1.right - 1, header.top + y)) << m.name << " next edge";
            EXPECT_EQ(edge.at(1, y), s.at(header.left + item1.right, header.top + y)) << m.name << " next edge";
        }
        // The bars: arrows, tracks, thumbs (at their start: nothing to scroll) and the corner.
        EXPECT_EQ(25, r.hbar_thumb) << m.name;
        EXPECT_EQ(36, r.vbar_thumb) << m.name;
        const RECT h = screen_client(r.hbar), v = screen_client(r.vbar);
        const int w = h.right - h.left, vh = v.bottom - v.top;
        ResourceBitmap left(m.resources(), IDB_LIST_HBAR_LEFT), right(m.resources(), IDB_LIST_HBAR_RIGHT),
            htrack(m.resources(), IDB_LIST_HBAR_TRACK), hthumb(m.resources(), IDB_LIST_HBAR_THUMB);
        ResourceBitmap top(m.resources(), IDB_LIST_VBAR_TOP), up(m.resources(), IDB_LIST_VBAR_UP),
            vtrack(m.resources(), IDB_LIST_VBAR_TRACK), vthumb(m.resources(), IDB_LIST_VBAR_THUMB),
            down(m.resources(), IDB_LIST_VBAR_DOWN), corner(m.resources(), IDB_LIST_VBAR_CORNER);
        for (int y : {2, 6, 9}) {
            EXPECT_EQ(left.at(8, y), s.at(h.left + 8, h.top + y)) << m.name;
            EXPECT_EQ(hthumb.at(13, y), s.at(h.left + 25 + 13, h.top + y)) << m.name;
            EXPECT_EQ(htrack.at(0, y), s.at(h.left + 120, h.top + y)) << m.name;
            EXPECT_EQ(right.at(20, y), s.at(h.left + w - 26 + 20, h.top + y)) << m.name;
        }
        for (int x : {2, 6, 9}) {
            EXPECT_EQ(top.at(x, 8), s.at(v.left + x, v.top + 8)) << m.name;
            EXPECT_EQ(up.at(x, 4), s.at(v.left + x, v.top + 16 + 4)) << m.name;
            EXPECT_EQ(vthumb.at(x, 13), s.at(v.left + x, v.top + 36 + 13)) << m.name;
            EXPECT_EQ(vtrack.at(x, 0), s.at(v.left + x, v.top + 80)) << m.name;
            EXPECT_EQ(down.at(x, 20), s.at(v.left + x, v.top + vh - 37 + 20)) << m.name;
        }
        EXPECT_EQ(corner.at(9, 9), s.at(v.left + 1 + 9, v.top + vh - 11 + 9)) << m.name;
    }
}

TEST_F(GalleryB, ProgressBarsStillAndAnimated) {
    for (ModuleB& m : *modules) m.act(kGalleryStopAnimation);
    repaint();
    Screen s;
    s.capture();
    const skin::SystemShades sys = system_shades();
    for (ModuleB& m : *modules) {
        GalleryBReport r = m.state();
        const skin::ProgressShades shades = skin::progress_shades(r.progress_colour, sys);
        for (int i = 0; i < 4; ++i) {
            const bool vertical = i >= 2, animated = i % 2 == 1;
            const RECT c = screen_client(r.progress[i]);
            const skin::Rect local{0, 0, c.right - c.left, c.bottom - c.top};
            skin::Strokes strokes = skin::progress_strokes(local, skin::progress_bar_rect(local, 0, 100, 40, vertical, animated),
                                                           shades, GetSysColor(COLOR_BTNFACE), sys, vertical, animated,
                                                           r.progress_phase[i]);
            EXPECT_EQ("", compare_area(s, {c.left, c.top}, local.right, local.bottom, 1, [&](int x, int y, COLORREF* want) {
                return skin::stroke_colour_at(strokes, x, y, want);
            })) << m.name << " progress " << i << " phase " << r.progress_phase[i];
        }
        // The animation ran: the phases moved on from 0.
        EXPECT_TRUE(r.progress_phase[1] != 0 || r.progress_phase[3] != 0) << m.name;
    }
}

skin::SliderSystem slider_system() {
    return skin::SliderSystem{GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_BTNFACE),
                              GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_WINDOWFRAME)};
}

std::string compare_thumb(const Screen& s, HWND slider, const skin::SliderShades& shades, bool grip) {
    RECT thumb;
    SendMessageA(slider, TBM_GETTHUMBRECT, 0, (LPARAM)&thumb);
    const POINT o = {screen_client(slider).left, screen_client(slider).top};
    const bool lying = thumb.right - thumb.left >= thumb.bottom - thumb.top;
    const LONG style = GetWindowLongA(slider, GWL_STYLE);
    skin::Strokes strokes = skin::slider_thumb({(int)thumb.left, (int)thumb.top, (int)thumb.right, (int)thumb.bottom},
                                               skin::thumb_shape((uint32_t)style), shades, slider_system(), grip, lying);
    return compare_area(s, o, thumb.right + 1, thumb.bottom + 1, 1,
                        [&](int x, int y, COLORREF* want) { return skin::stroke_colour_at(strokes, x, y, want); });
}


TEST_F(GalleryB, SlidersEnabledDisabledHeldAndStanding) {
    repaint();
    Screen s;
    s.capture();
    const skin::SliderSystem sys = slider_system();
    for (ModuleB& m : *modules) {
        GalleryBReport r = m.state();
        const skin::SliderShades shades = skin::slider_shades(r.slider_thumb, r.slider_channel, r.slider_selection, sys);
        EXPECT_EQ(0x33FFFFu, shades.light1) << m.name;  // the thumb 0x00FFFF lightened by the slider's rule
        EXPECT_EQ("", compare_thumb(s, r.sliders[0], shades, true)) << m.name << " enabled";
        EXPECT_EQ("", compare_thumb(s, r.sliders[1], shades, false)) << m.name << " disabled: no grip";
        EXPECT_EQ("", compare_thumb(s, r.sliders[3], shades, true)) << m.name << " standing, its thumb lying";
        // The channel of the first slider with its selection band along its length, beside the thumb.
        RECT channel, thumb;
        SendMessageA(r.sliders[0], TBM_GETCHANNELRECT, 0, (LPARAM)&channel);
        SendMessageA(r.sliders[0], TBM_GETTHUMBRECT, 0, (LPARAM)&thumb);
        skin::ChannelInput in;
        in.item = {(int)channel.left, (int)channel.top, (int)channel.right, (int)channel.bottom};
        in.vertical = false;
        in.range_set = true;
        in.min = 0, in.max = 100, in.sel_start = 20, in.sel_end = 60;
        skin::Strokes strokes = skin::slider_channel(in, shades, sys);
        const RECT c = screen_client(r.sliders[0]);
        EXPECT_EQ("", compare_area(s, {c.left, c.top}, c.right - c.left, c.bottom - c.top, 1, [&](int x, int y, COLORREF* want) {
            if (x >= thumb.left - 1 && x <= thumb.right) return false;
            return skin::stroke_colour_at(strokes, x, y, want);
        })) << m.name << " channel";
        const skin::Rect band = skin::selection_band(in);
        EXPECT_GT(count_colour(s, {c.left + band.left, c.top + band.top, c.left + band.right, c.top + band.bottom},
                               r.slider_selection), 10) << m.name;
    }
    // Held: the thumb darkened by 51 while the trackbar holds the mouse.
    for (ModuleB& m : *modules) {
        ASSERT_EQ(1, m.act(kGalleryHoldSlider)) << m.name;
        pump(50);
        Screen held;
        held.capture();
        GalleryBReport r = m.state();
        const skin::SliderShades dark = skin::slider_shades(color_darken_keep(r.slider_thumb, 51), r.slider_channel,
                                                            r.slider_selection, slider_system());
        EXPECT_EQ("", compare_thumb(held, r.sliders[2], dark, true)) << m.name << " held";
        if (m.name == "tarmelo") held.save("skin-gallery-b-held.bmp");
        m.act(kGalleryReleaseSlider);
        pump(50);
    }
}

TEST_F(GalleryB, ReadOutLinksAndRoundSlider) {
    repaint();
    Screen s;
    s.capture();
    for (ModuleB& m : *modules) {
        GalleryBReport r = m.state();
        // The read-out: every lit and unlit segment line, the background around them.
        const RECT c = screen_client(r.readout);
        const int h = c.bottom - c.top;
        skin::SegmentMetrics metrics = skin::segment_metrics(h);
        EXPECT_EQ(1, metrics.thickness);
        skin::Strokes strokes;
        skin::add_fill(strokes, {0, 0, c.right - c.left, h}, r.readout_back);
        for (const skin::SegmentLine& l : skin::segment_layout("12:05", metrics, true).lines)
            skin::add_line(strokes, l.lit ? r.readout_text : r.readout_unlit, {{l.x1, l.y1}, {l.x2, l.y2}});
        EXPECT_EQ("", compare_area(s, {c.left, c.top}, c.right - c.left, h, 1, [&](int x, int y, COLORREF* want) {
            return skin::stroke_colour_at(strokes, x, y, want);
        })) << m.name << " read-out";
        EXPECT_EQ(RGB(0x20 / 3, 0xFF / 3, 0x20 / 3), r.readout_unlit) << m.name;
        // Links: the normal one in the link colour, the visited one in the visited colour.
        EXPECT_EQ(0xEE0000u, r.link_colour[0]) << m.name;
        EXPECT_EQ(0x8B1A55u, r.link_colour[2]) << m.name;
        EXPECT_GT(count_colour(s, screen_client(r.links[0]), 0xEE0000), 10) << m.name;
        EXPECT_GT(count_colour(s, screen_client(r.links[2]), 0x8B1A55), 10) << m.name;
        EXPECT_EQ(0, count_colour(s, screen_client(r.links[0]), 0x8B1A55)) << m.name;
        // The round slider: the knob, and the dot a quarter turn round for position 25 of 0..99.
        const RECT k = screen_client(r.round_slider);
        const int cx = (k.right - k.left) / 2, cy = (k.bottom - k.top) / 2;
        const int radius = std::min(k.right - k.left, k.bottom - k.top) / 2 - 4;
        EXPECT_EQ(0x888824u, s.at(k.left + cx - radius / 2, k.top + cy)) << m.name;
        skin::Point dot = skin::round_point({cx, cy}, radius - 7, skin::round_angle(r.round_pos, {0, 99, 0, false}));
        EXPECT_EQ(dot.y, cy) << m.name;
        EXPECT_EQ(color_lighten(0x888824, 153), s.at(k.left + dot.x, k.top + dot.y)) << m.name;
    }
    // Hovered: one module at a time, the mouse on its second link.
    for (ModuleB& m : *modules) {
        ASSERT_EQ(1, m.act(kGalleryHoverLink)) << m.name;
        pump(300);  // a few hover-timer ticks with the cursor still on it
        GalleryBReport r = m.state();
        EXPECT_EQ(1, r.link_hovering[1]) << m.name;
        EXPECT_EQ(0x0000FFu, r.link_colour[1]) << m.name;
        RedrawWindow(r.links[1], nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        pump(20);
        Screen hovered;
        hovered.capture();
        EXPECT_GT(count_colour(hovered, screen_client(r.links[1]), 0x0000FF), 10) << m.name;
        SetCursorPos(1010, 760);
        pump(300);
        EXPECT_EQ(0, m.state().link_hovering[1]) << m.name << " the hover ends with the mouse away";
    }
}

TEST_F(GalleryB, RepaintsAndSortsLeaveTheGdiCountUnchanged) {
    repaint();
    for (ModuleB& m : *modules) m.act(kGallerySortList);
    repaint();
    AfxFreeTempMaps();
    const int before = gdi_object_count();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 100; ++i) {
        for (ModuleB& m : *modules)
            RedrawWindow(m.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pump();
    }
    for (int i = 0; i < 50; ++i)
        for (ModuleB& m : *modules) m.act(kGallerySortList);
    pump();
    AfxFreeTempMaps();
    EXPECT_EQ(before, gdi_object_count());
}

}  // namespace
