// The control gallery on a real display: the program's gallery and the two libraries' (test DLLs built
// from the same source with their own variants and resources) side by side in one process. A saved
// screenshot is sampled against the band planner, the line lists and the frame planner computed here
// from each library's records, which proves each module draws with its own variant and resources.
#include "tests/support/gtest_winelib.h"
#include "gallery_api.h"
#include "gallery_res.h"
#include "gallery_support.h"
#include "tests/support/gdi_count.h"
#include "codecs/include/proc_address.h"
#include "controls/skin_core/control_variants.h"
#include "controls/skin_core/skin_class_profiles.h"
#include "controls/skin_core/skin_colour.h"
#include "controls/skin_core/skin_strokes.h"
#include "controls/skin_core/tip_logic.h"
#include "skinlib/frame/frame_plan.h"
#include "skinlib/variants/skinlib_variants.h"
#include "afxwin.h"
#include <functional>
#include <string>
#include <vector>

HWND program_gallery_open(int x, int y);
void program_gallery_report(GalleryReport* r);
int program_gallery_reload();
UINT program_gallery_track_menu(int flat, GalleryCapture capture, void* context);
void program_gallery_close();

namespace {

using namespace gallery;

// ---- the three modules ----

struct Module {
    std::string name;
    HMODULE dll = nullptr;
    const skinlib::LibraryVariant* lib = nullptr;  // null: the program
    std::function<HWND(int, int)> open;
    std::function<void(GalleryReport*)> report;
    std::function<int()> reload;
    std::function<int(unsigned)> frame_without;
    UINT (*track_program)(int, GalleryCapture, void*) = nullptr;
    gallery_track_menu_t track_dll = nullptr;
    std::function<void()> close;
    HWND dialog = nullptr;
    POINT origin{};

    const skin::ButtonVariant& button() const { return lib ? *lib->button : skin::kTarmeloButton; }
    const skin::ComboVariant& combo() const { return lib ? *lib->combo : skin::kTarmeloCombo; }
    const skin::LabelVariant& label() const { return lib ? *lib->label : skin::kTarmeloLabel; }
    const skin::TabVariant& tab() const { return lib ? *lib->tab : skin::kTarmeloTab; }
    const skin::MenuVariant& menu() const { return lib ? *lib->menu : skin::kTarmeloMenu; }
    UINT track_menu(int flat, GalleryCapture capture, void* context) const {
        return track_dll ? track_dll(flat, capture, context) : track_program(flat, capture, context);
    }
    GalleryReport state() const {
        GalleryReport r;
        report(&r);
        return r;
    }
    POINT screen(RECT client_rect) const { return {origin.x + client_rect.left, origin.y + client_rect.top}; }
};

Module program_module() {
    Module m;
    m.name = "tarmelo";
    m.open = program_gallery_open;
    m.report = program_gallery_report;
    m.reload = program_gallery_reload;
    m.frame_without = [](unsigned) { return -1; };
    m.track_program = program_gallery_track_menu;
    m.close = program_gallery_close;
    return m;
}

Module library_module(const char* dll_name, const skinlib::LibraryVariant* lib) {
    Module m;
    m.name = lib->name;
    m.lib = lib;
    m.dll = LoadLibraryA(dll_name);
    HMODULE d = m.dll;
    auto open = proc_address<gallery_open_t>(d, "gallery_open");
    auto report = proc_address<gallery_report_t>(d, "gallery_report");
    auto reload = proc_address<gallery_reload_t>(d, "gallery_reload");
    auto without = proc_address<gallery_frame_without_t>(d, "gallery_frame_without");
    auto track = proc_address<gallery_track_menu_t>(d, "gallery_track_menu");
    auto close = proc_address<gallery_close_t>(d, "gallery_close");
    m.open = [open](int x, int y) { return open(x, y); };
    m.report = [report](GalleryReport* r) { report(r); };
    m.reload = [reload] { return reload(); };
    m.frame_without = [without](unsigned id) { return without(id); };
    m.track_dll = track;
    m.close = [close] { close(); };
    return m;
}

// ---- the fixture: three galleries on screen ----

class Gallery : public testing::Test {
protected:
    static std::vector<Module>* modules;

    static void SetUpTestSuite() {
        modules = new std::vector<Module>;
        modules->push_back(program_module());
        modules->push_back(library_module("gallery_brisvane.dll", &skinlib::kBrisvane));
        modules->push_back(library_module("gallery_olumbra.dll", &skinlib::kOlumbra));
        const POINT places[] = {{0, 0}, {430, 0}, {0, 310}};
        for (size_t i = 0; i < modules->size(); ++i) {
            Module& m = (*modules)[i];
            m.dialog = m.open(places[i].x, places[i].y);
            m.origin = places[i];
        }
        // The focus on a control with no look of its own, the cursor away from every gallery.
        SetForegroundWindow((*modules)[0].dialog);
        SetFocus((*modules)[0].state().tab);
        SetCursorPos(1000, 750);
        pump(300);
    }
    static void TearDownTestSuite() {
        for (Module& m : *modules) {
            m.close();
            if (m.dll) FreeLibrary(m.dll);
        }
        delete modules;
    }
    void SetUp() override {
        for (Module& m : *modules) ASSERT_NE(nullptr, m.dialog) << m.name;
    }
    static void repaint() {
        for (Module& m : *modules) RedrawWindow(m.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pump(50);
    }
};
std::vector<Module>* Gallery::modules = nullptr;

TEST_F(Gallery, EachModuleUsesItsOwnVariantAndResources) {
    GalleryReport r[3];
    for (int i = 0; i < 3; ++i) r[i] = (*modules)[i].state();
    EXPECT_STREQ("tarmelo", r[0].variant);
    EXPECT_STREQ("brisvane", r[1].variant);
    EXPECT_STREQ("olumbra", r[2].variant);
    EXPECT_NE(r[0].module, r[1].module);
    EXPECT_NE(r[1].module, r[2].module);
    // The same-named combo class, three sets of defaults.
    EXPECT_EQ(0x00FFFFu, r[0].combo_text);
    EXPECT_EQ(0xFF0505u, r[0].combo_back);
    EXPECT_EQ(0x4040FFu, r[0].combo_select);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(0x000000u, r[i].combo_text);
        EXPECT_EQ(0xFFFFFFu, r[i].combo_back);
        EXPECT_EQ(0xC0C0C0u, r[i].combo_select);
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(1, r[i].frame_loaded) << r[i].variant;
    // Each dialog tiles its own module's background bitmap (129, 11023 and 3005).
    repaint();
    Screen s;
    s.capture();
    s.save("skin-gallery.bmp");
    const unsigned backgrounds[] = {129, 11023, 3005};
    for (int i = 0; i < 3; ++i) {
        Module& m = (*modules)[i];
        HBITMAP bitmap = (HBITMAP)LoadImageA(m.dll ? m.dll : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(backgrounds[i]),
                                             IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        ASSERT_NE(nullptr, bitmap) << m.name;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        // An empty spot of the dialog: (360, 140), which is tile (2, 0) at (60, 140).
        EXPECT_EQ(GetPixel(dc, 60, 140), s.at(m.origin.x + 360, m.origin.y + 140)) << m.name;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

TEST_F(Gallery, ButtonFacesZeroToSixAndGradients) {
    repaint();
    Screen s;
    s.capture();
    const COLORREF face = 0xC48010;
    const int w = 50, h = 24;
    for (Module& m : *modules) {
        for (int style = 0; style <= 6; ++style) {
            skin::Strokes strokes = skin::button_face(style, {0, 0, w, h}, face, skin::FaceState::Normal, system_shades());
            Expect expect = [&](int x, int y, COLORREF* want) {
                if (style == 0) {  // DrawBackground: state colour 2
                    *want = 0x969600;
                    return true;
                }
                return skin::stroke_colour_at(strokes, x, y, want);
            };
            EXPECT_EQ("", compare_area(s, m.screen(GalleryLayout::face(style)), w, h, 1, expect))
                << m.name << " face style " << style;
        }
        const int gradient_styles[] = {8, 20};
        for (int i = 0; i < 2; ++i) {
            const skin::Profile& p = *m.button().gradient;
            int style = gradient_styles[i];
            Expect expect = [&](int x, int y, COLORREF* want) {
                return plan_colour(p, color_lighten(color_lighten(face, 51), 51), w, h, style, x, y, want);
            };
            EXPECT_EQ("", compare_area(s, m.screen(GalleryLayout::gradient(i)), w, h, 1, expect))
                << m.name << " gradient style " << style;
        }
    }
}

TEST_F(Gallery, LabelBevelAndGradient) {
    repaint();
    Screen s;
    s.capture();
    const int w = 70, h = 24;
    for (Module& m : *modules) {
        skin::Strokes bevel = skin::bevelled_face({0, 0, w, h}, skin::bevel_shades(0x808000, 27), system_shades());
        EXPECT_EQ("", compare_area(s, m.screen(GalleryLayout::bevel_label()), w, h, 1,
                                   [&](int x, int y, COLORREF* want) { return skin::stroke_colour_at(bevel, x, y, want); }))
            << m.name << " bevel";
        const skin::Profile& p = *m.label().gradient;
        EXPECT_EQ("", compare_area(s, m.screen(GalleryLayout::shaded_label()), w, h, 1, [&](int x, int y, COLORREF* want) {
            return plan_colour(p, color_lighten(color_lighten(0x606080, 51), 51), w, h, 21, x, y, want);
        })) << m.name << " gradient";
    }
}

TEST_F(Gallery, TabShadowsFollowEachVariant) {
    repaint();
    Screen s;
    s.capture();
    for (Module& m : *modules) {
        GalleryReport r = m.state();
        RECT tab1;
        ASSERT_TRUE(SendMessageA(r.tab, TCM_GETITEMRECT, 1, (LPARAM)&tab1));
        MapWindowPoints(r.tab, nullptr, (POINT*)&tab1, 2);
        const skin::TabVariant& v = m.tab();
        const COLORREF normal = 0xC04020;  // the unselected tab's face colour
        RECT face = tab1;
        if (v.shorten_bottom) face.bottom -= 2;
        RECT shadow = face;
        OffsetRect(&shadow, v.shadow_offset, v.shadow_offset);
        COLORREF shadow_colour = v.shadow_darker_face ? color_darken(normal, 51) : 0;
        int shadow_style = v.shadow_next_style ? 11 : 10;
        // Right of and below the face the shadow shows alone (where its style paints).
        const int sw = shadow.right - shadow.left, sh = shadow.bottom - shadow.top;
        std::string r_shadow = compare_area(s, {shadow.left, shadow.top}, sw, sh, 1, [&](int x, int y, COLORREF* want) {
            if (shadow.left + x < face.right && shadow.top + y < face.bottom) return false;
            if (shadow.top + y >= face.bottom && x >= 30) return false;  // the tab's text reaches down there
            return plan_colour(*v.gradient, shadow_colour, sw, sh, shadow_style, x, y, want);
        });
        EXPECT_EQ("", r_shadow) << m.name << " shadow";
        // The face itself, left of its text.
        const int fw = face.right - face.left, fh = face.bottom - face.top;
        std::string r_face = compare_area(s, {face.left, face.top}, fw, fh, 1, [&](int x, int y, COLORREF* want) {
            if (x < 4 || x > 20 || y < 1 || y >= fh - 1) return false;
            return plan_colour(*v.gradient, normal, fw, fh, 10, x, y, want);
        });
        EXPECT_EQ("", r_face) << m.name << " face";
    }
}

TEST_F(Gallery, ComboSelectionUnderEachRule) {
    for (Module& m : *modules) {
        GalleryReport r = m.state();
        SetForegroundWindow(r.dialog);
        SetFocus(r.combo);
        RedrawWindow(r.combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        pump(100);
        r = m.state();
        ASSERT_TRUE(r.combo_drawn_state & ODS_SELECTED) << m.name;
        Screen s;
        s.capture();
        s.save("skin-gallery-combo-" + m.name + ".bmp");
        const RECT item = r.combo_drawn;
        const int w = item.right - item.left, h = item.bottom - item.top;
        const skin::ComboVariant& v = m.combo();
        skin::Strokes bevel;
        if (v.selection == skin::ComboVariant::Selection::InvertedBevel)
            bevel = skin::bevelled_face({0, 0, w, h}, skin::bevel_shades(skin::invert(v.select_colour), 51), system_shades());
        Expect expect = [&](int x, int y, COLORREF* want) {
            if (x < 1 || y < 1 || x >= w - 1 || y >= h - 1) return false;  // the black frame
            if (v.selection == skin::ComboVariant::Selection::InvertedBevel) return skin::stroke_colour_at(bevel, x, y, want);
            return plan_colour(*v.gradient, v.select_colour, w, h, v.select_style, x, y, want);
        };
        EXPECT_EQ("", compare_area(s, {item.left, item.top}, w, h, 1, expect)) << m.name;
        EXPECT_EQ(RGB(0, 0, 0), s.at(item.left, item.top)) << m.name << " frame";
    }
    SetForegroundWindow((*modules)[0].dialog);
    SetFocus((*modules)[0].state().tab);
    pump(50);
}

TEST_F(Gallery, LibraryDialogsGetTheirKeysUnderTheHostsLoop) {
    // The test's plain loop stands for a host: each library's own hook hands Tab to its dialog.
    for (Module& m : *modules) {
        GalleryReport r = m.state();
        SetForegroundWindow(r.dialog);
        SetFocus(r.combo);
        ASSERT_EQ(r.combo, GetFocus()) << m.name;
        PostMessageA(r.combo, WM_KEYDOWN, VK_TAB, 0);
        PostMessageA(r.combo, WM_KEYUP, VK_TAB, 0);
        pump(50);
        HWND focus = GetFocus();
        EXPECT_NE(r.combo, focus) << m.name;
        EXPECT_TRUE(IsChild(r.dialog, focus)) << m.name;
    }
    SetForegroundWindow((*modules)[0].dialog);
    SetFocus((*modules)[0].state().tab);
    pump(50);
}

TEST_F(Gallery, BalloonTipRestsOnTheCursorWithItsFill) {
    for (Module& m : *modules) {
        GalleryReport r = m.state();
        HWND button = GetDlgItem(r.dialog, IDC_GRADIENT_B);
        RECT b;
        GetWindowRect(button, &b);
        POINT cursor = {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
        SetForegroundWindow(r.dialog);
        SetCursorPos(cursor.x, cursor.y);
        PostMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x - b.left, cursor.y - b.top));
        pump(800);
        ASSERT_TRUE(IsWindowVisible(r.tip)) << m.name;
        RECT tip;
        GetWindowRect(r.tip, &tip);
        EXPECT_EQ(cursor.x, tip.right - 12) << m.name;   // the tail's point
        EXPECT_EQ(cursor.y, tip.bottom - 10) << m.name;
        RECT area;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        EXPECT_TRUE(tip.left >= area.left && tip.top >= area.top && tip.right <= area.right && tip.bottom <= area.bottom);
        Screen s;
        s.capture();
        s.save("skin-gallery-tip-" + m.name + ".bmp");
        const int w = tip.right - tip.left, wh = tip.bottom - tip.top, h = wh - 20;
        // Right of the text, inside the body: the tip's gradient over the whole window.
        std::string fill = compare_area(s, {tip.left, tip.top}, w, wh, 1, [&](int x, int y, COLORREF* want) {
            if (x < w - 9 || x > w - 5 || y < 6 || y > h - 6) return false;
            return plan_colour(skin::kBalloonTip, color_lighten(color_lighten(0x209820, 51), 52), w, wh, 7, x, y, want);
        });
        EXPECT_EQ("", fill) << m.name;
        // Outside the balloon the gallery shows through the window region.
        EXPECT_NE(s.at(tip.left + 2, tip.bottom - 2), s.at(tip.right - 8, tip.top + h / 2)) << m.name;
        PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cursor.x - b.left, cursor.y - b.top));
        PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(cursor.x - b.left, cursor.y - b.top));
        pump(100);
        EXPECT_FALSE(IsWindowVisible(r.tip)) << m.name;
        SetCursorPos(1000, 750);
        PostMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(1000 - b.left, 750 - b.top));
        pump(50);
    }
}

struct MenuCheck {
    const Module* module = nullptr;
    bool flat = false;
    std::string result = "not shown";
    std::string where;
};

void __cdecl check_menu(HWND owner, HMENU popup, void* context) {
    MenuCheck* c = (MenuCheck*)context;
    HWND menu_window = FindWindowA("#32768", nullptr);
    RECT item;
    if (!menu_window || !GetMenuItemRect(menu_window, popup, 0, &item)) return;
    char where[96];
    RECT via_owner{};
    GetMenuItemRect(owner, popup, 0, &via_owner);
    snprintf(where, sizeof where, "item %d,%d,%d,%d (owner %d,%d)", (int)item.left, (int)item.top, (int)item.right,
             (int)item.bottom, (int)via_owner.left, (int)via_owner.top);
    c->where = where;
    Screen s;
    s.capture();
    s.save("skin-gallery-menu-" + c->module->name + (c->flat ? "-flat.bmp" : "-classic.bmp"));
    const skin::MenuVariant& v = c->module->menu();
    const int w = item.right - item.left, h = item.bottom - item.top;
    const int column = 16 + 7;  // image width and the flat look's gap
    if (!c->flat) {
        // Left of the text, inside the frame: the classic gradient in 0xACA820.
        c->result = compare_area(s, {item.left, item.top}, w, h, 1, [&](int x, int y, COLORREF* want) {
            if (x < 1 || x > 20 || y < 1 || y >= h - 1) return false;
            return plan_colour(*v.gradient, 0xACA820, w, h, v.classic_style, x, y, want);
        });
    } else {
        // The image column, then the item right of its texts.
        c->result = compare_area(s, {item.left, item.top}, w, h, 1, [&](int x, int y, COLORREF* want) {
            if (x < column) return plan_colour(*v.gradient, 0xFFC040, column, h + 8, v.flat_column_style, x, y, want);
            if (x < w - 6 || x >= w - 2) return false;
            return plan_colour(*v.gradient, v.flat_item_colour, w, h, v.flat_item_style, x, y, want);
        });
    }
}

TEST_F(Gallery, MenuItemsInTheClassicAndTheFlatLook) {
    for (Module& m : *modules) {
        for (bool flat : {false, true}) {
            MenuCheck check;
            check.module = &m;
            check.flat = flat;
            SetForegroundWindow(m.dialog);
            m.track_menu(flat ? 1 : 0, check_menu, &check);
            pump(50);
            EXPECT_EQ("", check.result) << m.name << (flat ? " flat " : " classic ") << check.where;
        }
    }
}

// The libraries' frames: the caps and the tiles where the frame planner puts them.
TEST_F(Gallery, LibraryFramesPlaceCapsAndTiles) {
    repaint();
    Screen s;
    s.capture();
    for (Module& m : *modules) {
        if (!m.lib) continue;
        const skinlib::FrameIds& ids = m.lib->frame;
        struct Loaded {
            HBITMAP bitmap;
            HDC dc;
            HGDIOBJ old;
            skin::Size size;
        };
        auto load = [&](unsigned id) {
            Loaded l{};
            l.bitmap = (HBITMAP)LoadImageA(m.dll, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
            BITMAP bm{};
            GetObjectA(l.bitmap, sizeof bm, &bm);
            l.size = {bm.bmWidth, bm.bmHeight};
            l.dc = CreateCompatibleDC(nullptr);
            l.old = SelectObject(l.dc, l.bitmap);
            return l;
        };
        Loaded caption = load(ids.caption), left = load(ids.left), right = load(ids.right), bottom = load(ids.bottom);
        skinlib::FrameMetrics metrics = skinlib::frame_metrics({caption.size, left.size, right.size, bottom.size, {}});
        RECT f = GalleryLayout::frame();
        const int x = m.origin.x + f.left, y = m.origin.y + f.top, w = f.right - f.left, h = f.bottom - f.top;
        struct StripCase {
            skinlib::Strip strip;
            Loaded* bitmap;
            int x, y, length;
        };
        const StripCase strips[] = {
            {skinlib::Strip::Caption, &caption, x + metrics.left_width, y, w - metrics.left_width - metrics.right_width + 1},
            {skinlib::Strip::Left, &left, x, y, h},
            {skinlib::Strip::Right, &right, x + w - metrics.right_width, y, h},
            {skinlib::Strip::Bottom, &bottom, x + metrics.left_width, y + h - metrics.bottom_height,
             w - metrics.left_width - metrics.right_width},
        };
        // Later strips and copies cover earlier ones: the expected colour of a pixel of the frame area is
        // the source pixel of the last copy that covers it.
        std::vector<COLORREF> expected((size_t)w * h, CLR_INVALID);
        for (const StripCase& sc : strips)
            for (const skinlib::StripCopy& c : skinlib::plan_strip(sc.strip, sc.bitmap->size, metrics, sc.x, sc.y, sc.length, 0))
                for (int sy = c.source.top; sy < c.source.bottom; ++sy)
                    for (int sx = c.source.left; sx < c.source.right; ++sx) {
                        int ax = c.x + sx - c.source.left - x, ay = c.y + sy - c.source.top - y;
                        if (ax >= 0 && ay >= 0 && ax < w && ay < h) expected[(size_t)ay * w + ax] = GetPixel(sc.bitmap->dc, sx, sy);
                    }
        int wrong = 0, compared = 0;
        std::string listed;
        for (int ay = 0; ay < h; ++ay)
            for (int ax = 0; ax < w; ++ax) {
                COLORREF want = expected[(size_t)ay * w + ax];
                if (want == CLR_INVALID) continue;
                ++compared;
                if (s.at(x + ax, y + ay) != want && ++wrong <= 4)
                    listed += " (" + std::to_string(ax) + "," + std::to_string(ay) + ")";
            }
        EXPECT_EQ(0, wrong) << m.name << listed << " of " << compared;
        EXPECT_GT(compared, 10000);
        for (Loaded* l : {&caption, &left, &right, &bottom}) {
            SelectObject(l->dc, l->old);
            DeleteDC(l->dc);
            DeleteObject(l->bitmap);
        }
        // A frame without its caption bitmap is a skin that is not loaded.
        EXPECT_EQ(0, m.frame_without(ids.caption)) << m.name;
        EXPECT_EQ(0, m.frame_without(ids.buttons[0])) << m.name;
        EXPECT_EQ(1, m.frame_without(0)) << m.name;
    }
}

TEST_F(Gallery, RepaintsAndReloadsLeaveTheGdiCountUnchanged) {
    repaint();
    for (Module& m : *modules) {
        m.reload();
        m.reload();
    }
    repaint();
    AfxFreeTempMaps();
    int before = gdi_object_count();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 100; ++i) {
        for (Module& m : *modules) RedrawWindow(m.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pump();
    }
    for (Module& m : *modules) {
        m.reload();
        m.reload();
    }
    AfxFreeTempMaps();
    EXPECT_EQ(before, gdi_object_count());
    for (Module& m : *modules) EXPECT_EQ(1, m.state().frame_loaded) << m.name;
}

}  // namespace
