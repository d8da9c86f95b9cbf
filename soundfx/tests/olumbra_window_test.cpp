// The effects window of olumbra.dll under a host built like tarmelo: this thread pumps the window's
// messages while a second thread feeds blocks. The pages' sliders and buttons are driven as the user
// drives them and read back through tolmmix_get.
#include "tests/support/gtest_winelib.h"
#include <commctrl.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>
#include "soundfx/core/engine.h"
#include "soundfx/core/eq_preset.h"
#include "soundfx/core/mix_settings.h"
#include "soundfx/core/slider_map.h"
#include "tests/support/gdi_count.h"
#include "tests/support/message_pump.h"
#include "tests/support/olumbra_calls.h"

namespace {

using soundfx::MixSettings;

struct Olumbra : OlumbraCalls {
    MixSettings record() {
        MixSettings s;
        std::memset(&s, 0xAB, sizeof s);
        get(&s);
        return s;
    }
};

// A Win32 thread, as the program's workers are: a bare pthread (std::thread) has no Wine thread
// block, and the first Win32 call it makes crashes in the server call.
class Win32Thread {
public:
    explicit Win32Thread(std::function<void()> body) : body_(std::move(body)) {
        handle_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    ~Win32Thread() { join(); }
    void join() {
        if (!handle_) return;
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(handle_);
        handle_ = nullptr;
    }
    // Joins while handling what is sent to this thread: for a thread that sends to this thread's
    // windows, which a plain join would leave waiting on us while we wait on it.
    void join_pumping() {
        while (handle_ && MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            pump_messages();
        join();
    }

private:
    static DWORD WINAPI run(LPVOID self) {
        static_cast<Win32Thread*>(self)->body_();
        return 0;
    }
    std::function<void()> body_;
    HANDLE handle_ = nullptr;
};

HWND effects_window() { return FindWindowA(nullptr, "Orvane音效器"); }

// The window among the effects window's descendants that holds control `id` of class `cls` (a page),
// and that control.
struct Found {
    HWND page = nullptr, control = nullptr;
};
struct Search {
    int id;
    const char* cls;
    Found found;
};
BOOL CALLBACK match_control(HWND child, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (GetDlgCtrlID(child) == s->id && lstrcmpiA(name, s->cls) == 0) {
        s->found = {GetParent(child), child};
        return FALSE;
    }
    return TRUE;
}
Found find_control(HWND root, int id, const char* cls) {
    Search search{id, cls, {}};
    if (root) EnumChildWindows(root, match_control, (LPARAM)&search);
    return search.found;
}

// A page by a control only it has: control ids repeat across pages (3088 is a group box of the first
// effects page, a default button of the second and a host button of the chain page), so each page is
// found by a control whose id and class no other page has.
HWND page_of(int marker, const char* cls) { return find_control(effects_window(), marker, cls).page; }
enum Page { kChainPage, kEqPage, kPage1, kPage2, kPage3 };

HWND page_window(Page which) {
    switch (which) {
        case kChainPage: return page_of(3086, "SysListView32");
        case kEqPage: return page_of(3087, "msctls_trackbar32");
        case kPage1: return page_of(3010, "msctls_trackbar32");   // pitch
        case kPage2: return page_of(3034, "msctls_trackbar32");   // distortion slew
        case kPage3: return page_of(3074, "msctls_trackbar32");   // vibrato period
    }
    return nullptr;
}

// Moves a slider of a page as a drag would end: the position, then the scroll notification.
void move_slider(HWND page, int id, int position, bool vertical = false) {
    HWND slider = GetDlgItem(page, id);
    ASSERT_NE(nullptr, slider) << id;
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(page, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), (LPARAM)slider);
}

int shown_position(HWND page, int id) {
    // A page refreshes its sliders from the state when it is shown or hidden.
    ShowWindow(page, SW_HIDE);
    ShowWindow(page, SW_SHOW);
    pump_messages();
    return (int)SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0);
}

void click(HWND page, int id) {
    SendDlgItemMessageA(page, id, BM_CLICK, 0, 0);
    pump_messages();
}

std::vector<std::vector<short>> tone_blocks(double seconds);

// ---- the screen, as the user sees it (the private Xvfb) ----

void xdotool(const std::string& args) {
    const std::string command = "xdotool " + args + " >/dev/null 2>&1";
    ASSERT_EQ(0, std::system(command.c_str())) << command;
}

void click_at(int x, int y, DWORD settle = 250) {
    char args[96];
    std::snprintf(args, sizeof args, "mousemove %d %d click 1", x, y);
    xdotool(args);
    if (settle) pump_messages(settle);
}

POINT centre_of(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Clicks a tab; tabs beyond the control's width are first scrolled into view with its arrows.
void click_tab(int index) {
    HWND tab = GetDlgItem(effects_window(), 3000);
    ASSERT_NE(nullptr, tab);
    for (int step = 0; step < 8; ++step) {
        RECT item{}, client;
        SendMessageA(tab, TCM_GETITEMRECT, index, (LPARAM)&item);
        GetClientRect(tab, &client);
        HWND arrows = FindWindowExA(tab, nullptr, "msctls_updown32", nullptr);
        RECT arrows_rect{client.right, 0, client.right, 0};
        if (arrows && IsWindowVisible(arrows)) {
            GetWindowRect(arrows, &arrows_rect);
            MapWindowPoints(nullptr, tab, (POINT*)&arrows_rect, 2);
        }
        if (item.left >= 0 && item.right <= arrows_rect.left) {
            MapWindowPoints(tab, nullptr, (POINT*)&item, 2);
            click_at((item.left + item.right) / 2, (item.top + item.bottom) / 2);
            pump_messages(200);
            return;
        }
        ASSERT_TRUE(arrows) << "tab " << index << " out of view and no arrows";
        // The right arrow for a tab beyond the right edge, the left one for a tab before the first shown.
        RECT a;
        GetWindowRect(arrows, &a);
        const int x = item.left < 0 ? a.left + (a.right - a.left) / 4 : a.right - (a.right - a.left) / 4;
        click_at(x, (a.top + a.bottom) / 2);
    }
    ADD_FAILURE() << "tab " << index << " never came into view";
}

// A screen rectangle written to a PNG; its count of distinct colours and its pixel signature.
struct Shot {
    int colours = 0;
    std::string signature;
};
Shot screenshot(const std::string& name, RECT r) {
    const std::string path = std::string(TEST_BINARY_DIR) + "/olumbra_" + name + ".png";
    char crop[96];
    std::snprintf(crop, sizeof crop, "%ldx%ld+%ld+%ld", long(r.right - r.left), long(r.bottom - r.top), long(r.left),
                  long(r.top));
    const std::string grab = "import -window root -crop " + std::string(crop) + " +repage " + path;
    Shot shot;
    if (std::system(grab.c_str()) != 0) return shot;
    const std::string ask = "identify -format '%k %#' " + path;
    if (FILE* f = popen(ask.c_str(), "r")) {
        char sig[160] = "";
        if (std::fscanf(f, "%d %159s", &shot.colours, sig) == 2) shot.signature = sig;
        pclose(f);
    }
    return shot;
}
RECT screen_rect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}
RECT client_screen_rect(HWND w) {
    RECT r;
    GetClientRect(w, &r);
    MapWindowPoints(w, nullptr, (POINT*)&r, 2);
    return r;
}
// The pixels of a screenshot as R,G,B bytes, rows top-down (empty when it cannot be read).
std::vector<uint8_t> shot_pixels(const std::string& name, int width, int height) {
    const std::string path = std::string(TEST_BINARY_DIR) + "/olumbra_" + name + ".png";
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    FILE* f = popen(("convert " + path + " -depth 8 rgb:-").c_str(), "r");
    if (!f) return {};
    const size_t n = std::fread(rgb.data(), 1, rgb.size(), f);
    pclose(f);
    if (n != rgb.size()) return {};
    return rgb;
}

std::string modal_log() { return std::string(TEST_BINARY_DIR) + "/olumbra_modal.log"; }
std::string read_text(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

class Window : public ::testing::Test {
protected:
    Olumbra dll;
    void SetUp() override {
        ASSERT_TRUE(dll.load()) << GetLastError();
        dll.begin();
        pump_messages();
        ASSERT_NE(nullptr, effects_window());
        dll.init(44100, 2, 0);
        pump_messages();
    }
    void TearDown() override {
        dll.close();
        pump_messages();
        dll.unload();
    }
};

TEST_F(Window, BeginMakesOneHiddenWindowShownAndHiddenOnRequest) {
    HWND wnd = effects_window();
    EXPECT_FALSE(IsWindowVisible(wnd));
    dll.begin();
    pump_messages();
    EXPECT_EQ(wnd, effects_window()) << "a second begin makes no second window";

    dll.setdisp(1);
    EXPECT_TRUE(dll.dispstatus());
    pump_messages();
    EXPECT_TRUE(IsWindowVisible(wnd));
    dll.setdisp(0);
    EXPECT_FALSE(dll.dispstatus());
    pump_messages();
    EXPECT_FALSE(IsWindowVisible(wnd));
    dll.setdisp(2);
    EXPECT_TRUE(dll.dispstatus()) << "the status byte is what was passed";
    pump_messages();
    EXPECT_FALSE(IsWindowVisible(wnd));

    dll.init(44100, 2, 1);
    EXPECT_TRUE(dll.dispstatus());
    pump_messages();
    EXPECT_TRUE(IsWindowVisible(wnd));
    // Escape hides it the same way; Enter hides nothing.
    dll.setdisp(1);
    pump_messages();
    SendMessageA(wnd, WM_COMMAND, IDOK, 0);
    pump_messages();
    EXPECT_TRUE(IsWindowVisible(wnd));
    SendMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
    pump_messages();
    EXPECT_FALSE(IsWindowVisible(wnd));
    EXPECT_FALSE(dll.dispstatus());
}

TEST_F(Window, StepsFromAnotherThreadReachTheWindowsThread) {
    HWND wnd = effects_window();
    Win32Thread worker([&] {
        dll.init(22050, 1, 1);
        dll.setdisp(0);
    });
    worker.join();
    EXPECT_FALSE(dll.dispstatus()) << "the status byte is set at once";
    pump_messages();
    EXPECT_FALSE(IsWindowVisible(wnd));
    // At 22050 Hz only the 10-band button is enabled.
    HWND eq = page_window(kEqPage);
    ASSERT_NE(nullptr, eq);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(eq, 3069)));
    for (int id : {3070, 3071, 3072}) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(eq, id))) << id;
    dll.init(44100, 2, 0);
    pump_messages();
    for (int id : {3070, 3071, 3072}) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(eq, id))) << id;
}

// Sliders to settings record fields at 44100 Hz stereo, with the worked examples of the pages.
TEST_F(Window, SlidersWriteTheRecordAndShowTheState) {
    HWND page2 = page_window(kPage2);
    ASSERT_NE(nullptr, page2);
    // Noise gate: the default hold of 2 ms is 176 samples and shows 1; 1 ms stores 88 and shows 0.
    click(page2, 3089);
    EXPECT_EQ(176, dll.record().gate_hold);
    EXPECT_EQ(1, shown_position(page2, 3026));
    move_slider(page2, 3026, 1);
    EXPECT_EQ(88, dll.record().gate_hold);
    EXPECT_EQ(0, shown_position(page2, 3026));
    move_slider(page2, 3027, 500);
    EXPECT_EQ(44100, dll.record().gate_release);
    EXPECT_EQ(500, shown_position(page2, 3027));
    // Distortion's slew: 33 writes 9900; the default 10000 shows 33.
    EXPECT_EQ(33, shown_position(page2, 3034));
    move_slider(page2, 3034, 33);
    EXPECT_EQ(9900, dll.record().dist_sense);
    // Compressor threshold -20 shows 20; the reverb's levels -10 show 10.
    EXPECT_EQ(20, shown_position(page2, 3014));
    EXPECT_EQ(10, shown_position(page2, 3016));
    EXPECT_EQ(10, shown_position(page2, 3018));
    // The pre-delay changes its field only.
    MixSettings before = dll.record();
    move_slider(page2, 3030, 500);
    MixSettings after = dll.record();
    EXPECT_EQ(500, after.reverb_predelay);
    after.reverb_predelay = before.reverb_predelay;
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));

    // The echo's delay is taken on release, and only while the echo is on.
    HWND page1 = page_window(kPage1);
    ASSERT_NE(nullptr, page1);
    auto release_delay = [&](int position) {
        HWND slider = GetDlgItem(page1, 3068);
        SendMessageA(slider, TBM_SETPOS, TRUE, position);
        NMHDR hdr{slider, 3068, (UINT)NM_RELEASEDCAPTURE};
        SendMessageA(page1, WM_NOTIFY, 3068, (LPARAM)&hdr);
    };
    release_delay(10);
    EXPECT_FLOAT_EQ(0.6f, dll.record().echo_delay);
    dll.setecho(true);
    release_delay(10);
    EXPECT_FLOAT_EQ(1.0f, dll.record().echo_delay);
    EXPECT_EQ(1, dll.record().echo_on);

    // Equaliser: band 0 at 0, 25, 50 and 26 (the record rounds -0.8 dB to -1); the pre-gain's ends.
    HWND eq = page_window(kEqPage);
    ASSERT_NE(nullptr, eq);
    const int expected[][2] = {{0, 20}, {25, 0}, {50, -20}, {26, -1}};
    for (const auto& c : expected) {
        move_slider(eq, 3068, c[0], true);
        EXPECT_EQ(c[1], dll.record().eq_curve.gains[0]) << c[0];
    }
    for (int p : {0, 24}) {
        move_slider(eq, 3087, p);
        EXPECT_EQ(p, dll.record().eq_pregain_position);
    }
    // Linked tuning from 0 dB: band 0 to 13 puts bands 1 and 2 at 16 and 19.
    move_slider(eq, 3068, 25, true);
    click(eq, 3084);
    move_slider(eq, 3068, 13, true);
    EXPECT_EQ(16, (int)SendDlgItemMessageA(eq, 3005, TBM_GETPOS, 0, 0));
    EXPECT_EQ(19, (int)SendDlgItemMessageA(eq, 3007, TBM_GETPOS, 0, 0));
    // Band k's slider is 3068 for band 0, else 3003 + 2k.
    auto band = [](int k) { return k == 0 ? 3068 : 3003 + 2 * k; };
    auto flat = [&] {
        click(eq, 3084);  // off: each band moves alone
        for (int k = 0; k < 10; ++k) move_slider(eq, band(k), 25, true);
        click(eq, 3084);
    };
    auto position = [&](int k) { return (int)SendDlgItemMessageA(eq, band(k), TBM_GETPOS, 0, 0); };
    // Band 5 to 13: bands 4 and 6 at 7.2 dB (16), bands 3 and 7 at 5.76 dB (17), the rest untouched.
    flat();
    move_slider(eq, band(5), 13, true);
    const int around5[10] = {25, 25, 25, 17, 16, 13, 16, 17, 25, 25};
    for (int k = 0; k < 10; ++k) EXPECT_EQ(around5[k], position(k)) << "band " << k;
    // The last of 10 bands moves only the two below it.
    flat();
    move_slider(eq, band(9), 40, true);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(25, position(k)) << "band " << k;
    EXPECT_NE(25, position(8));
    EXPECT_NE(25, position(7));
}

// Every slider of the effect pages moved off its default, some bands and the pre-gain too, two
// effects on: the record read, written back and read again is the same, and so is every slider.
TEST_F(Window, RecordReadWrittenBackAndReadAgainIsTheSame) {
    const Page pages[4] = {kEqPage, kPage1, kPage2, kPage3};
    int count = 0;
    const soundfx::slider::Control* controls = soundfx::slider::controls(&count);
    std::vector<std::pair<HWND, int>> sliders;
    for (int i = 0; i < count; ++i) {
        const soundfx::slider::Control& c = controls[i];
        HWND page = page_window(pages[c.page]);
        ASSERT_NE(nullptr, page) << c.what;
        if (c.page == 0) continue;
        // A third of the way along, never the default's place.
        move_slider(page, c.control, c.min + (c.max - c.min) / 3 + 1);
        sliders.push_back({page, c.control});
    }
    HWND eq = page_window(kEqPage);
    // The record holds whole dB: positions of whole dB values (5: +16 dB, 45: -16 dB) come back as
    // they were; any other comes back at the nearest of those.
    move_slider(eq, 3068, 5, true);
    move_slider(eq, 3011, 45, true);
    move_slider(eq, 3087, 20);
    sliders.push_back({eq, 3068});
    sliders.push_back({eq, 3011});
    sliders.push_back({eq, 3087});
    HWND chain = page_window(kChainPage);
    ASSERT_NE(nullptr, chain);
    click(chain, 3069);  // echo on
    click(chain, 3075);  // chorus on
    const MixSettings first = dll.record();
    EXPECT_EQ(1, first.echo_on);
    // What each slider shows of the state (a page shows the state again when it is shown or hidden;
    // a drag may leave a position between two the state can hold).
    std::vector<int> shown;
    for (auto& s : sliders)
        shown.push_back(s.first == eq ? (int)SendDlgItemMessageA(eq, s.second, TBM_GETPOS, 0, 0)
                                      : shown_position(s.first, s.second));

    ASSERT_EQ(0, dll.set(first));
    pump_messages();
    const MixSettings second = dll.record();
    EXPECT_EQ(0, std::memcmp(&first, &second, sizeof first));
    for (size_t i = 0; i < sliders.size(); ++i) {
        const int after = sliders[i].first == eq ? (int)SendDlgItemMessageA(eq, sliders[i].second, TBM_GETPOS, 0, 0)
                                                  : shown_position(sliders[i].first, sliders[i].second);
        EXPECT_EQ(shown[i], after) << "slider " << sliders[i].second;
    }

    // A chain id twice gives two rows; the rows reach the list.
    MixSettings twice = first;
    std::memset(twice.chain, 0, sizeof twice.chain);
    twice.chain[0] = 7, twice.chain[1] = 7, twice.chain[2] = 15;
    ASSERT_EQ(0, dll.set(twice));
    pump_messages();
    HWND list = GetDlgItem(chain, 3086);
    EXPECT_EQ(3, (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const MixSettings read = dll.record();
    EXPECT_EQ(7, read.chain[0]);
    EXPECT_EQ(7, read.chain[1]);
    EXPECT_EQ(15, read.chain[2]);
    EXPECT_EQ(0, read.chain[3]);

    // An empty list: no rows, and the record's list all zeros.
    MixSettings none = first;
    std::memset(none.chain, 0, sizeof none.chain);
    ASSERT_EQ(0, dll.set(none));
    pump_messages();
    EXPECT_EQ(0, (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const MixSettings empty = dll.record();
    for (size_t i = 0; i < sizeof empty.chain / sizeof empty.chain[0]; ++i) EXPECT_EQ(0, empty.chain[i]) << i;
}

// Every default button of the three effect pages puts its effect back as init left it: with every
// slider of the pages moved, each click changes the record, and after all of them the record and
// every slider are as after init.
TEST_F(Window, DefaultButtonsPutEveryEffectBackAsInitLeftIt) {
    const Page pages[4] = {kEqPage, kPage1, kPage2, kPage3};
    int count = 0;
    const soundfx::slider::Control* controls = soundfx::slider::controls(&count);
    const MixSettings initial = dll.record();
    struct Slider {
        HWND page;
        int id, initial;
    };
    std::vector<Slider> sliders;
    for (int i = 0; i < count; ++i) {
        const soundfx::slider::Control& c = controls[i];
        if (c.page == 0) continue;
        HWND page = page_window(pages[c.page]);
        ASSERT_NE(nullptr, page) << c.what;
        sliders.push_back({page, c.control, shown_position(page, c.control)});
        move_slider(page, c.control, c.min + (c.max - c.min) / 3 + 1);
    }
    // The default buttons by page: 3082-3087 on the first, 3085-3089 on the second, 3082-3084 on the third.
    const struct {
        Page page;
        int first, last;
    } buttons[] = {{kPage1, 3082, 3087}, {kPage2, 3085, 3089}, {kPage3, 3082, 3084}};
    int clicked = 0;
    for (const auto& b : buttons) {
        HWND page = page_window(b.page);
        for (int id = b.first; id <= b.last; ++id) {
            const MixSettings before = dll.record();
            click(page, id);
            const MixSettings after = dll.record();
            EXPECT_NE(0, std::memcmp(&before, &after, sizeof before)) << "default button " << id << " changed nothing";
            ++clicked;
        }
    }
    EXPECT_EQ(14, clicked);
    const MixSettings reset = dll.record();
    EXPECT_EQ(0, std::memcmp(&initial, &reset, sizeof initial)) << "the record differs from init's";
    for (const Slider& sl : sliders) EXPECT_EQ(sl.initial, shown_position(sl.page, sl.id)) << "slider " << sl.id;
}

// The chain page's host buttons and the about page's close button by display mode, as set by
// tolmmix_set_dispmode and then by tolmmix_setdisp; the mode never shows or hides the window.
TEST_F(Window, DisplayModesLayTheButtonsOut) {
    HWND chain = page_window(kChainPage);
    ASSERT_NE(nullptr, chain);
    HWND about = page_of(3085, "Static");
    ASSERT_NE(nullptr, about);
    auto visible = [](HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) != 0; };
    auto text = [&](int id) {
        char t[32] = "";
        GetDlgItemTextA(chain, id, t, sizeof t);
        return std::string(t);
    };
    struct Row {
        int mode;
        bool by_setdisp;
        bool load, save, play, stop, close;
        const char *load_text, *save_text;
    };
    const Row rows[] = {
        {0, false, false, true, true, false, false, nullptr, "关闭"},
        {0, true, false, true, false, false, true, nullptr, "关闭"},
        {-3, false, false, true, true, false, false, nullptr, "关闭"},
        {1, false, true, true, true, true, false, "放弃", "确认"},
        {1, true, true, true, true, true, false, "放弃", "确认"},
        {2, false, true, true, false, false, false, "载入", "保存"},
        {2, true, true, true, false, false, false, "载入", "保存"},
        {7, false, true, true, false, false, false, "载入", "保存"},
    };
    for (const Row& r : rows) {
        const bool window_before = IsWindowVisible(effects_window());
        dll.dispmode(r.mode);
        if (r.by_setdisp) dll.setdisp(1);
        pump_messages();
        const std::string where = "mode " + std::to_string(r.mode) + (r.by_setdisp ? " then setdisp 1" : "");
        if (!r.by_setdisp) {
            EXPECT_EQ(window_before, IsWindowVisible(effects_window())) << where;
        }
        EXPECT_EQ(r.load, visible(GetDlgItem(chain, 3088))) << where;
        EXPECT_EQ(r.save, visible(GetDlgItem(chain, 3089))) << where;
        EXPECT_EQ(r.play, visible(GetDlgItem(chain, 3090))) << where;
        EXPECT_EQ(r.stop, visible(GetDlgItem(chain, 3091))) << where;
        EXPECT_EQ(r.close, visible(GetDlgItem(about, 3082))) << where;
        if (r.load_text) {
            EXPECT_EQ(r.load_text, text(3088)) << where;
        }
        EXPECT_EQ(r.save_text, text(3089)) << where;
        dll.setdisp(0);
        pump_messages();
    }
    // init with show 1 lays them out as setdisp does.
    dll.dispmode(0);
    dll.init(44100, 2, 1);
    pump_messages();
    EXPECT_FALSE(visible(GetDlgItem(chain, 3090)));
    EXPECT_TRUE(visible(GetDlgItem(about, 3082)));
    dll.setdisp(0);
    pump_messages();
}

TEST_F(Window, HostButtonsByDisplayMode) {
    struct Host {
        static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
            if (m == 0x2009) received().push_back({(int)wp, (int)lp});
            return DefWindowProcA(w, m, wp, lp);
        }
        static std::vector<std::pair<int, int>>& received() {
            static std::vector<std::pair<int, int>> r;
            return r;
        }
    };
    WNDCLASSA wc{};
    wc.lpfnWndProc = Host::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "olumbra_host";
    RegisterClassA(&wc);
    HWND host = CreateWindowA("olumbra_host", "host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    EXPECT_EQ(host, dll.mainwnd(host));
    HWND chain = page_window(kChainPage);
    ASSERT_NE(nullptr, chain);

    dll.dispmode(1);
    dll.setdisp(1);
    pump_messages();
    for (int id : {3090, 3091, 3088}) click(chain, id);
    const std::vector<std::pair<int, int>> mode1 = {{9999, 3}, {9999, 4}, {9999, 1}};
    EXPECT_EQ(mode1, Host::received());
    EXPECT_FALSE(dll.dispstatus()) << "load hides the window";
    EXPECT_FALSE(IsWindowVisible(effects_window()));
    // Play and stop leave the window shown; save (its caption "确认" in this mode) hides it and says 2.
    Host::received().clear();
    dll.setdisp(1);
    pump_messages();
    for (int id : {3090, 3091}) click(chain, id);
    EXPECT_TRUE(IsWindowVisible(effects_window()));
    EXPECT_TRUE(dll.dispstatus());
    char caption[32] = "";
    GetDlgItemTextA(chain, 3089, caption, sizeof caption);
    EXPECT_STREQ("确认", caption);
    click(chain, 3089);
    const std::vector<std::pair<int, int>> confirmed = {{9999, 3}, {9999, 4}, {9999, 2}};
    EXPECT_EQ(confirmed, Host::received());
    EXPECT_FALSE(dll.dispstatus());
    EXPECT_FALSE(IsWindowVisible(effects_window()));

    Host::received().clear();
    dll.dispmode(0);
    dll.setdisp(1);
    pump_messages();
    click(chain, 3089);
    EXPECT_TRUE(Host::received().empty()) << "mode 0 save sends nothing";
    EXPECT_FALSE(dll.dispstatus());
    EXPECT_FALSE(IsWindowVisible(effects_window()));
    DestroyWindow(host);
}

TEST_F(Window, RepaintsKeepTheGdiCount) {
    dll.setdisp(1);
    pump_messages(200);
    std::vector<short> block(4096);
    for (size_t i = 0; i < block.size(); ++i) block[i] = short((i % 100) * 300);
    HWND wnd = effects_window();
    HWND display = GetDlgItem(wnd, 3152);
    ASSERT_NE(nullptr, display);
    // Each page shown and painted once first: what a page makes the first time it shows stays.
    for (int page = 0; page < 6; ++page) {
        click_tab(page);
        dll.change(block.data(), int(block.size() * 2));
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        pump_messages();
    }
    // Twenty repaints a page: an object leaked by a paint shows as 120 more.
    const int before = gdi_object_count();
    for (int page = 0; page < 6; ++page) {
        click_tab(page);
        for (int i = 0; i < 20; ++i) {
            dll.change(block.data(), int(block.size() * 2));
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            pump_messages();
        }
    }
    for (int i = 0; i < 50; ++i) dll.init(44100, 2, 0);
    pump_messages();
    EXPECT_LE(gdi_object_count(), before + 2);
}

// Close while a second thread feeds blocks, join it, unload, and again.
TEST(WindowLifetime, CloseWhileFeedingThenUnloadTwentyTimes) {
    for (int round = 0; round < 20; ++round) {
        Olumbra dll;
        ASSERT_TRUE(dll.load()) << round;
        dll.begin();
        dll.init(44100, 2, 1);
        std::atomic<bool> stop{false};
        Win32Thread feeder([&] {
            std::vector<short> block(4096, 1000);
            while (!stop) dll.change(block.data(), int(block.size() * 2));
        });
        pump_messages(30);
        dll.close();
        pump_messages();
        stop = true;
        feeder.join();
        EXPECT_EQ(nullptr, effects_window()) << round;
        dll.unload();
    }
}

TEST_F(Window, TopmostFromBeginHiddenAndShown) {
    HWND wnd = effects_window();
    EXPECT_TRUE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) << "topmost while hidden after begin";
    // An ordinary window brought to the front afterwards stays below it.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, other);
    dll.setdisp(1);
    pump_messages(100);
    SetForegroundWindow(other);
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    pump_messages(100);
    EXPECT_TRUE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    int order = 0, wnd_at = -1, other_at = -1;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), ++order) {
        if (w == wnd) wnd_at = order;
        if (w == other) other_at = order;
    }
    ASSERT_GE(wnd_at, 0);
    ASSERT_GE(other_at, 0);
    EXPECT_LT(wnd_at, other_at) << "the effects window is above a window activated after it";
    DestroyWindow(other);
}

// The caption's close box clicked with the mouse hides the window without destroying it; shown again,
// the pages are as they were.
TEST_F(Window, CloseBoxClickedHidesAndShowAgainKeepsThePages) {
    HWND wnd = effects_window();
    HWND page1 = page_window(kPage1);
    ASSERT_NE(nullptr, page1);
    move_slider(page1, 3005, 8);
    dll.setdisp(1);
    pump_messages(300);
    ASSERT_TRUE(IsWindowVisible(wnd));
    // The close box: every point of the caption's right end that the window answers HTCLOSE for.
    const RECT r = screen_rect(wnd);
    long sx = 0, sy = 0, n = 0;
    for (int y = r.top; y < r.top + 40; ++y)
        for (int x = r.right - 80; x < r.right; ++x)
            if (SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) sx += x, sy += y, ++n;
    ASSERT_GT(n, 0) << "no close box in the caption";
    click_at(int(sx / n), int(sy / n), 300);
    EXPECT_FALSE(IsWindowVisible(wnd));
    EXPECT_FALSE(dll.dispstatus());
    EXPECT_EQ(wnd, effects_window()) << "hidden, not destroyed";
    dll.setdisp(1);
    pump_messages(200);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_TRUE(dll.dispstatus());
    EXPECT_EQ(8, (int)SendDlgItemMessageA(page1, 3005, TBM_GETPOS, 0, 0));
    EXPECT_FLOAT_EQ(0.8f, dll.record().echo_gain);

    // The Escape key on the window hides it the same way.
    SetForegroundWindow(wnd);
    click_tab(0);
    xdotool("key Escape");
    pump_messages(300);
    EXPECT_FALSE(IsWindowVisible(wnd));
    EXPECT_FALSE(dll.dispstatus());
}

// While a tone of changing level flows, the level display shows something else half a second later.
TEST_F(Window, LevelDisplayFollowsTheSound) {
    dll.setdisp(1);
    pump_messages(300);
    HWND display = GetDlgItem(effects_window(), 3152);
    ASSERT_NE(nullptr, display);
    const auto blocks = tone_blocks(3.0);
    std::atomic<bool> stop{false};
    Win32Thread feeder([&] {
        // At the pace of playback: a block of 1024 frames every 23 ms.
        for (size_t i = 0; !stop; i = (i + 1) % blocks.size()) {
            std::vector<short> b = blocks[i];
            dll.change(b.data(), int(b.size() * 2));
            Sleep(23);
        }
    });
    pump_messages(300);
    const Shot a = screenshot("levels_a", screen_rect(display));
    pump_messages(500);
    const Shot b = screenshot("levels_b", screen_rect(display));
    stop = true;
    feeder.join();
    EXPECT_GE(a.colours, 3) << "bars, grid and background";
    EXPECT_NE(a.signature, b.signature) << "the display stood still while the level changed";
}

// A constant mono block of +-16384 is level 64 of 255 in every column: on the screen each bar rises
// 64 / 255 of the display's height less one pixel above the middle line, and nothing is drawn below
// it in the bar's colour.
TEST_F(Window, ConstantBlockDrawsBarsOfItsLevel) {
    dll.init(44100, 1, 1);
    pump_messages(300);
    HWND display = GetDlgItem(effects_window(), 3152);
    ASSERT_NE(nullptr, display);
    const RECT r = client_screen_rect(display);
    const int w = r.right - r.left, h = r.bottom - r.top;
    ASSERT_GT(h, 20);
    std::atomic<bool> stop{false};
    Win32Thread feeder([&] {
        std::vector<short> block(2048);
        while (!stop) {
            for (size_t i = 0; i < block.size(); ++i) block[i] = i % 2 ? 16384 : -16384;
            dll.change(block.data(), int(block.size() * 2));
            Sleep(23);
        }
    });
    pump_messages(500);
    screenshot("constant_bars", r);
    stop = true;
    feeder.join();
    const std::vector<uint8_t> rgb = shot_pixels("constant_bars", w, h);
    ASSERT_FALSE(rgb.empty());
    const double expected = 64.0 * (h - 1) / 255.0;
    const int middle = (h + 1) / 2;
    int columns = 0, worst_column = -1;
    double worst = 0;
    for (int x = 2; x < std::min(w, 1400) - 3; ++x) {
        if (x % 10 == 0) continue;  // the grid's upright lines
        int bar = 0, below = 0;
        for (int y = 0; y < h; ++y) {
            const uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            if (p[0] == 0xD4 && p[1] == 0xD4 && p[2] == 0x10) ++(y < middle ? bar : below);
        }
        EXPECT_EQ(0, below) << "column " << x;
        if (std::fabs(bar - expected) > worst) worst = std::fabs(bar - expected), worst_column = x;
        ++columns;
    }
    EXPECT_GT(columns, 100);
    EXPECT_LE(worst, 1.0) << "column " << worst_column << ", bars of " << expected << " pixels expected";
}

// Each of the six pages, chosen by a click on its tab, draws a picture of its own: many colours, and
// no two pages alike.
TEST_F(Window, EveryPageShowsItsOwnPicture) {
    dll.setdisp(1);
    pump_messages(300);
    HWND wnd = effects_window();
    HWND tab = GetDlgItem(wnd, 3000);
    ASSERT_NE(nullptr, tab);
    const char* names[] = {"chain", "equaliser", "effects1", "effects2", "effects3", "about"};
    std::set<std::string> signatures;
    for (int i = 0; i < 6; ++i) {
        click_tab(i);
        EXPECT_EQ(i, (int)SendMessageA(tab, TCM_GETCURSEL, 0, 0)) << names[i];
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        pump_messages(200);
        const Shot shot = screenshot(std::string("page_") + names[i], screen_rect(wnd));
        EXPECT_GE(shot.colours, 24) << names[i] << ": a page of few colours is blank or unpainted";
        EXPECT_FALSE(shot.signature.empty()) << names[i];
        signatures.insert(shot.signature);
    }
    EXPECT_EQ(6u, signatures.size()) << "two pages look the same";
}

// ---- presets through the page and the save dialog ----

std::string preset_file(HMODULE module) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, sizeof path);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\') + 1) + "tolmeqset.eq";
}

std::string read_win32_file(const std::string& path) {
    std::string bytes;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n) bytes.append(buffer, n);
    CloseHandle(f);
    return bytes;
}

int32_t int_at(const std::string& bytes, size_t offset) {
    int32_t v = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

std::vector<std::string> combo_items(HWND combo) {
    std::vector<std::string> items;
    const int n = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char text[80] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)text);
        items.push_back(text);
    }
    return items;
}

// The user at the save dialog: waits for it, types a name, presses a button with the mouse; the
// dialog's screen picture and whether it was still open afterwards are kept.
struct SaveDialogUser {
    struct Answer {
        std::string name;
        int button;  // 3082 save, 3084 back
    };
    std::vector<Answer> answers;
    bool found = false, open_after_each_but_last = true;
    int clicks_again = 0;   // the last button clicked again: its click never reached the dialog
    bool ended_by_message = false;
    Shot shot;

    static void click_button(HWND dlg, int id) {
        const POINT c = centre_of(GetDlgItem(dlg, id));
        char args[96];
        std::snprintf(args, sizeof args, "mousemove %ld %ld click 1", (long)c.x, (long)c.y);
        std::system(("xdotool " + std::string(args) + " >/dev/null 2>&1").c_str());
    }

    static HWND find() { return FindWindowA(nullptr, "音效模式保存"); }
    void run() {
        HWND dlg = nullptr;
        for (int i = 0; i < 500 && !dlg; ++i) {
            dlg = find();
            if (!dlg) Sleep(20);
        }
        found = dlg != nullptr;
        if (!dlg) return;
        Sleep(200);
        shot = screenshot("save_dialog", screen_rect(dlg));
        for (size_t i = 0; i < answers.size(); ++i) {
            SetDlgItemTextA(dlg, 3083, answers[i].name.c_str());
            click_button(dlg, answers[i].button);
            Sleep(400);
            if (i + 1 < answers.size() && find() != dlg) open_after_each_but_last = false;
        }
        // The last answer ends the dialog. A click lost on a loaded display would leave the dialog
        // open and the test's thread inside its modal loop for good: the button is clicked again, and
        // at last pressed by message (which the test counts as a failure).
        for (int wait = 0; wait < 15 && find() == dlg; ++wait) Sleep(200);
        for (; clicks_again < 2 && find() == dlg; ++clicks_again) {
            click_button(dlg, answers.back().button);
            for (int wait = 0; wait < 10 && find() == dlg; ++wait) Sleep(200);
        }
        if (find() == dlg) {
            ended_by_message = true;
            PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(answers.back().button, BN_CLICKED),
                         (LPARAM)GetDlgItem(dlg, answers.back().button));
        }
    }
};

// A preset chosen in the equaliser page's list as the user chooses it.
void choose_preset(HWND eq, int index) {
    HWND combo = GetDlgItem(eq, 3081);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(eq, WM_COMMAND, MAKEWPARAM(3081, CBN_SELCHANGE), (LPARAM)combo);
    pump_messages(50);
}

void save_through_dialog(HWND eq, SaveDialogUser& user) {
    Win32Thread helper([&] { user.run(); });
    // The click opens the modal dialog inside this pump; it returns when the user has ended it.
    click_at(centre_of(GetDlgItem(eq, 3082)).x, centre_of(GetDlgItem(eq, 3082)).y, 0);
    for (int i = 0; i < 100 && !(user.found && !SaveDialogUser::find()); ++i) pump_messages(50);
    // The user types into the dialog by messages to this thread.
    helper.join_pumping();
    pump_messages(100);
    EXPECT_FALSE(user.ended_by_message) << "the dialog's last button never took a click";
    if (user.clicks_again) std::printf("the save dialog's last button clicked %d more times\n", user.clicks_again);
}

TEST_F(Window, PresetSavedThroughTheDialogLandsInTheFileAndIsChosenAgain) {
    const std::string file = preset_file(dll.module);
    DeleteFileA(file.c_str());
    setenv("TARMELO_MODAL_LOG", modal_log().c_str(), 1);
    unsetenv("TARMELO_MODAL_ANSWER");
    std::remove(modal_log().c_str());
    dll.setdisp(1);
    pump_messages(200);
    click_tab(1);
    HWND eq = page_window(kEqPage);
    ASSERT_NE(nullptr, eq);
    HWND combo = GetDlgItem(eq, 3081);
    const std::vector<std::string> builtins = combo_items(combo);
    ASSERT_FALSE(builtins.empty());

    // A curve: band 0 at position 5 (+16 dB), band 3 at 40 (-12 dB).
    move_slider(eq, 3068, 5, true);
    move_slider(eq, 3009, 40, true);
    SaveDialogUser first;
    first.answers = {{"Rock", 3082}};
    save_through_dialog(eq, first);
    ASSERT_TRUE(first.found) << "the save button opens the dialog";
    EXPECT_GE(first.shot.colours, 8) << "the save dialog is painted";

    const std::string bytes = read_win32_file(file);
    ASSERT_EQ(196u, bytes.size()) << "one user record of 196 bytes in " << file;
    EXPECT_STREQ("Rock", bytes.c_str());
    EXPECT_EQ(10, int_at(bytes, 64));
    EXPECT_EQ(16, int_at(bytes, 68 + 0 * 4));
    EXPECT_EQ(-12, int_at(bytes, 68 + 3 * 4));
    EXPECT_EQ(0, int_at(bytes, 68 + 1 * 4));
    EXPECT_EQ(0, (uint8_t)bytes[192]) << "a user record";
    ASSERT_EQ(builtins.size() + 1, combo_items(combo).size());
    EXPECT_EQ(int(builtins.size()), (int)SendMessageA(combo, CB_GETCURSEL, 0, 0)) << "the new preset is selected";
    // The combo draws its items' names itself: the new item's face is its own, not a built-in's.
    auto face = [&](const char* name) {
        RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        pump_messages(100);
        return screenshot(name, screen_rect(combo));
    };
    const Shot saved_face = face("combo_saved");

    // "rock" beside "Rock" and an empty name are refused with their messages; back saves nothing.
    SaveDialogUser second;
    second.answers = {{"rock", 3082}, {"", 3082}, {"other", 3084}};
    save_through_dialog(eq, second);
    EXPECT_TRUE(second.open_after_each_but_last) << "a refused name keeps the dialog open";
    const std::string log = read_text(modal_log());
    EXPECT_NE(std::string::npos, log.find("输入音效模式名称已存在")) << log;
    EXPECT_NE(std::string::npos, log.find("必须输入音效模式名称")) << log;
    EXPECT_EQ(196u, read_win32_file(file).size());
    EXPECT_EQ(builtins.size() + 1, combo_items(combo).size());

    // The flat default chosen, then the saved preset again: its gains are the record's and the sound's.
    auto choose = [&](int index) { choose_preset(eq, index); };
    choose(0);
    EXPECT_EQ(0, dll.record().eq_curve.gains[0]);
    const Shot first_face = face("combo_first");
    EXPECT_NE(first_face.signature, saved_face.signature) << "the saved preset is drawn with a built-in's name";
    choose(int(builtins.size()));
    const MixSettings chosen = dll.record();
    EXPECT_STREQ("Rock", chosen.eq_curve.name);
    EXPECT_EQ(16, chosen.eq_curve.gains[0]);
    EXPECT_EQ(-12, chosen.eq_curve.gains[3]);
    EXPECT_EQ(5, (int)SendDlgItemMessageA(eq, 3068, TBM_GETPOS, 0, 0));
    EXPECT_EQ(40, (int)SendDlgItemMessageA(eq, 3009, TBM_GETPOS, 0, 0));

    // Deleted with the delete button and Yes: the file holds no record, the list is the built-ins and
    // the first preset of the band count (the flat default) applies.
    setenv("TARMELO_MODAL_ANSWER", "6", 1);
    click_at(centre_of(GetDlgItem(eq, 3083)).x, centre_of(GetDlgItem(eq, 3083)).y);
    unsetenv("TARMELO_MODAL_ANSWER");
    EXPECT_NE(std::string::npos, read_text(modal_log()).find("音效删除"));
    EXPECT_EQ(0u, read_win32_file(file).size());
    EXPECT_EQ(builtins.size(), combo_items(combo).size());
    EXPECT_EQ(0, dll.record().eq_curve.gains[0]);
    EXPECT_EQ(0, dll.record().eq_curve.gains[3]);
    EXPECT_EQ(first_face.signature, face("combo_after_delete").signature) << "item 0 shown again";
    DeleteFileA(file.c_str());
    unsetenv("TARMELO_MODAL_LOG");
}

// A preset file beside the library written by someone else: records of unknown band counts, gains
// far out of range, a name without its zero, a 15-band record and a piece of a record at the end.
// The page lists the valid records at their band count only, each as it can be used, and reading
// the file changes nothing in it.
TEST_F(Window, HostileFileBesideTheLibraryListsOnlyItsValidRecords) {
    const std::string file = preset_file(dll.module);
    // The page reads the file when the window is made.
    auto remake_window = [&] {
        dll.close();
        pump_messages();
        dll.begin();
        pump_messages();
        dll.init(44100, 2, 0);
        pump_messages();
    };
    // The lists without a file.
    DeleteFileA(file.c_str());
    remake_window();
    HWND eq = page_window(kEqPage);
    ASSERT_NE(nullptr, eq);
    const size_t builtin10 = combo_items(GetDlgItem(eq, 3081)).size();
    click(eq, 3070);
    const size_t builtin15 = combo_items(GetDlgItem(eq, 3081)).size();

    auto record = [](const char* name, int bands, int gain0, int gain1) {
        soundfx::EqPreset p;
        std::memset(&p, 0, sizeof p);
        std::snprintf(p.name, sizeof p.name, "%s", name);
        p.band_count = bands;
        p.gains[0] = gain0, p.gains[1] = gain1;
        return p;
    };
    std::vector<soundfx::EqPreset> records = {record("Fifteen", 15, 8, -4), record("seven", 7, 1, 1),
                                               record("Loud", 10, 1000000000, -1000000000),
                                               record("minus", -1, 0, 0), record("", 10, 4, 4),
                                               record("thousand", 1000, 0, 0)};
    std::memset(records[4].name, 'N', sizeof records[4].name);  // no zero at all
    std::string bytes(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(soundfx::EqPreset));
    bytes.append(100, 'T');  // a record cut short
    HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f) << file;
    DWORD written = 0;
    WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(f);
    remake_window();
    eq = page_window(kEqPage);
    ASSERT_NE(nullptr, eq);
    HWND combo = GetDlgItem(eq, 3081);

    // 10 bands: the built-ins, then "Loud" within the gains a band can take, then the name cut at 63 bytes.
    ASSERT_EQ(builtin10 + 2, combo_items(combo).size());
    choose_preset(eq, int(builtin10));
    MixSettings s = dll.record();
    EXPECT_STREQ("Loud", s.eq_curve.name);
    EXPECT_EQ(20, s.eq_curve.gains[0]);
    EXPECT_EQ(-20, s.eq_curve.gains[1]);
    choose_preset(eq, int(builtin10) + 1);
    s = dll.record();
    EXPECT_EQ(std::string(63, 'N'), s.eq_curve.name);
    EXPECT_EQ(4, s.eq_curve.gains[0]);

    // 15 bands: the 15-band default and "Fifteen" only.
    click(eq, 3070);
    ASSERT_EQ(builtin15 + 1, combo_items(combo).size());
    choose_preset(eq, int(builtin15));
    s = dll.record();
    EXPECT_STREQ("Fifteen", s.eq_curve.name);
    EXPECT_EQ(15, s.eq_curve.band_count);
    EXPECT_EQ(8, s.eq_curve.gains[0]);
    EXPECT_EQ(-4, s.eq_curve.gains[1]);
    EXPECT_EQ(bytes, read_win32_file(file)) << "reading the file wrote to it";
    DeleteFileA(file.c_str());
}

// ---- processing order ----

// A stereo tone whose level rises and falls, in blocks of 4096 bytes, for `seconds`.
std::vector<std::vector<short>> tone_blocks(double seconds) {
    std::vector<std::vector<short>> blocks;
    const int frames = int(seconds * 44100);
    std::vector<short> block;
    for (int i = 0; i < frames; ++i) {
        const double t = i / 44100.0;
        const double level = 9000.0 * (0.6 + 0.4 * std::sin(2 * M_PI * 1.7 * t));
        block.push_back(short(level * std::sin(2 * M_PI * 440 * t)));
        block.push_back(short(level * std::sin(2 * M_PI * 660 * t)));
        if (block.size() == 2048) blocks.push_back(block), block.clear();
    }
    if (!block.empty()) blocks.push_back(block);
    return blocks;
}

// The same blocks through the portable engine put in the state of a record.
std::vector<std::vector<short>> core_run(const MixSettings& record, std::vector<std::vector<short>> blocks) {
    soundfx::Engine core;
    core.begin();
    core.init(44100, 2);
    EXPECT_EQ(0, core.set(record));
    for (auto& b : blocks) core.process(reinterpret_cast<int16_t*>(b.data()), int(b.size() * 2));
    return blocks;
}

// Processing reads the order the chain page keeps: echo moved above distortion runs first.
TEST_F(Window, MovedRowsChangeTheProcessingOrder) {
    HWND chain = page_window(kChainPage);
    ASSERT_NE(nullptr, chain);
    HWND list = GetDlgItem(chain, 3086);
    click(chain, 3069);  // echo
    click(chain, 3080);  // distortion
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 6, (LPARAM)&item);
    NMHDR hdr{list, 3086, (UINT)NM_CLICK};
    SendMessageA(chain, WM_NOTIFY, 3086, (LPARAM)&hdr);
    for (int i = 0; i < 3; ++i) click(chain, 3082);
    const MixSettings moved = dll.record();
    EXPECT_EQ(7, moved.chain[3]);
    EXPECT_EQ(4, moved.chain[4]);
    EXPECT_EQ(1, moved.echo_on);
    EXPECT_EQ(1, moved.dist_on);

    // The blocks through the library equal the core's run in the order 7, 4 and differ from 4, 7.
    const auto input = tone_blocks(1.5);
    auto through_dll = input;
    for (auto& b : through_dll) dll.change(b.data(), int(b.size() * 2));
    MixSettings swapped = moved;
    swapped.chain[3] = 4, swapped.chain[4] = 7;
    const auto echo_first = core_run(moved, input), distortion_first = core_run(swapped, input);
    EXPECT_TRUE(through_dll == echo_first) << "the library's blocks differ from the core's run 7, 4";
    EXPECT_FALSE(through_dll == distortion_first) << "the order made no difference";
    EXPECT_FALSE(through_dll == input);

    dll.init(44100, 2, 0);
    pump_messages();
    EXPECT_EQ(7, dll.record().chain[6]) << "init puts the rows back in id order";
}

}  // namespace
