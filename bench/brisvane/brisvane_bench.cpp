// brisvane.dll as its host runs it, against the bare effect chain on the same frames in the same run.
// 720 x 576 frames go through tolmvideo_change from a feeding thread while this (the panel's) thread
// pumps; the panel is shown on its region page, whose preview takes a frame every second, with mosaic,
// blur and text on (set by clicks on the panel, as a user sets them). The reference is the core's
// chain over a table read from a project the panel saved, with the list's order, on the same kind of
// thread. Rounds alternate between the two; each figure is the best round. Run it under Wine with a
// display: tools/wine-run.sh --x .../brisvane_bench.exe [frames per round] [rounds] [whole|quarter] [no-preview]
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>
#include "tests/support/message_pump.h"
#include "videofx/brisvane.h"
#include "videofx/core/effect_table.h"
#include "videofx/core/project_file.h"

namespace {

constexpr int kW = 720, kH = 576, kStride = (3 * kW + 3) & ~3, kSize = kStride * kH;
constexpr int kFrameSet = 8;
const wchar_t kCaption[] = L"Orvane视频处理器 V3.00";

struct Api {
    HMODULE module = nullptr;
    tolmvideo_begin_fn begin = nullptr;
    tolmvideo_close_fn close = nullptr;
    tolmvideo_init_fn init = nullptr;
    tolmvideo_change_fn change = nullptr;
    tolmvideo_gettextflag_fn gettextflag = nullptr;
    tolmvideo_handle_fn handle = nullptr;
};

template <class Fn>
void bind(HMODULE m, Fn& fn, const char* name) {
    FARPROC address = GetProcAddress(m, name);
    std::memcpy(&fn, &address, sizeof fn);
}

std::vector<uint8_t> make_frame(int seed) {
    std::vector<uint8_t> f(kSize, 0);
    uint32_t s = 12345u + 977u * seed;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            s = s * 1664525u + 1013904223u;
            uint8_t* p = &f[y * kStride + 3 * x];
            p[0] = uint8_t(x + (s >> 28));
            p[1] = uint8_t(y + (s >> 27));
            p[2] = uint8_t((x ^ y) + seed);
        }
    return f;
}

bool xdotool(const std::string& args) {
    return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

void click_at(int x, int y) {
    char args[96];
    std::snprintf(args, sizeof args, "mousemove %d %d click 1", x, y);
    xdotool(args);
    pump_messages(250);
}

void click(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    click_at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void click_tab(HWND tab, int index) {
    RECT r{};
    SendMessageA(tab, TCM_GETITEMRECT, index, (LPARAM)&r);
    MapWindowPoints(tab, nullptr, (POINT*)&r, 2);
    click_at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The page of the tab control that holds the control `id` and none of `not_ids`.
HWND page_with(HWND tab, int id, std::initializer_list<int> not_ids = {}) {
    for (HWND page = GetWindow(tab, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        bool other = false;
        for (int n : not_ids) other = other || GetDlgItem(page, n);
        if (GetDlgItem(page, id) && !other) return page;
    }
    return nullptr;
}

// The order the chain list shows: its rows' first column.
std::vector<int> list_order(HWND list) {
    std::vector<int> order;
    const int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < rows; ++row) {
        char text[16] = {};
        LVITEMA item{};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
        order.push_back(std::atoi(text));
    }
    return order;
}

// One round of frames on a Win32 thread of its own while this thread pumps; frames per second.
struct Round {
    const Api* api;
    videofx::EffectTable* reference;
    const std::vector<int>* order;
    std::vector<std::vector<uint8_t>>* frames;
    int count;
    double seconds = 0;
    long wrong = 0;
};

DWORD WINAPI run_round(void* p) {
    auto* r = static_cast<Round*>(p);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < r->count; ++i) {
        std::vector<uint8_t>& f = (*r->frames)[i % kFrameSet];
        if (r->api) {
            if (r->api->change(f.data(), kSize) != kSize) ++r->wrong;
        } else {
            PictureView view{f.data(), kW, kH, kStride, PixelFormat::kBgr24};
            r->reference->apply_chain(view, *r->order);
        }
    }
    r->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return 0;
}

double timed_round(Round& r) {
    HANDLE t = CreateThread(nullptr, 0, run_round, &r, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &t, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) pump_messages();
    CloseHandle(t);
    pump_messages();
    return r.count / r.seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int per_round = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1500;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    // "whole": mosaic and blur over the whole frame instead of their first rectangle (a quarter of it).
    const bool whole = argc > 3 && std::strcmp(argv[3], "whole") == 0;
    // "no-preview": the chain page stays selected, so no page previews (to tell the preview's cost).
    const bool preview = !(argc > 4 && std::strcmp(argv[4], "no-preview") == 0);
    Api api;
    api.module = LoadLibraryA("brisvane.dll");
    if (!api.module) {
        std::printf("brisvane.dll not found\n");
        return 1;
    }
    bind(api.module, api.begin, "tolmvideo_begin");
    bind(api.module, api.close, "tolmvideo_close");
    bind(api.module, api.init, "tolmvideo_init");
    bind(api.module, api.change, "tolmvideo_change");
    bind(api.module, api.gettextflag, "tolmvideo_gettextflag");
    bind(api.module, api.handle, "tolmvideo_handle");

    // The host: a window of its own, begin, handle, init with the panel shown.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "brisvane_bench_host";
    RegisterClassA(&wc);
    HWND host = CreateWindowA(wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW, 600, 500, 200, 100, nullptr, nullptr,
                              wc.hInstance, nullptr);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    setenv("TARMELO_MODAL_LOG", "/dev/null", 1);  // message boxes and file dialogs answer unseen
    api.begin();
    api.handle(host);
    api.init(kW, kH, 1, true);
    pump_messages(300);
    HWND panel = FindWindowW(nullptr, kCaption);
    HWND tab = panel ? GetDlgItem(panel, 11000) : nullptr;
    HWND chain = tab ? page_with(tab, 11056) : nullptr;
    HWND text = tab ? page_with(tab, 11053) : nullptr;
    if (!chain || !text || !IsWindowVisible(panel)) {
        std::printf("the panel did not come up\n");
        return 1;
    }
    SetWindowPos(panel, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    pump_messages(200);

    // Mosaic and blur on; a text generated and laid over; the region page selected (its preview on).
    click(GetDlgItem(chain, 11012));
    click(GetDlgItem(chain, 11015));
    click_tab(tab, 4);
    SetWindowTextW(GetDlgItem(text, 11028), L"欢迎你 720 x 576");
    click(GetDlgItem(text, 11010));
    click_tab(tab, 0);
    click(GetDlgItem(chain, 11017));
    if (!api.gettextflag()) {
        std::printf("the text overlay did not come on\n");
        return 1;
    }
    if (whole) {
        // On the region page: each effect chosen in its list, then its whole-frame button.
        HWND region = page_with(tab, 11041, {11056, 11033});  // not the chain or parameter page
        click_tab(tab, 2);
        HWND effects = GetDlgItem(region, 11019);
        for (int item : {6, 9}) {
            SendMessageA(effects, CB_SETCURSEL, item, 0);
            SendMessageA(region, WM_COMMAND, MAKEWPARAM(11019, CBN_SELCHANGE), (LPARAM)effects);
            pump_messages(100);
            click(GetDlgItem(region, 11006));
        }
        click_tab(tab, 0);
    }
    const std::string project = std::string(temp) + "brisvane_bench.VCP";
    DeleteFileA(project.c_str());
    setenv("TARMELO_DIALOG_VALUE", project.c_str(), 1);
    click(GetDlgItem(chain, 11055));
    unsetenv("TARMELO_DIALOG_VALUE");
    const std::vector<int> order = list_order(GetDlgItem(chain, 11003));
    if (preview) click_tab(tab, 2);

    // The reference: the same records, read from the project the panel saved.
    static videofx::EffectTable reference;
    reference.begin();
    reference.set_frame_size(kW, kH, 1);
    const bool opened = videofx::open_project(reference, project.c_str()) == videofx::ProjectResult::kDone;
    DeleteFileA(project.c_str());
    if (!opened) {
        std::printf("the saved project could not be read\n");
        return 1;
    }
    reference.set_frame_size(kW, kH, 0);
    std::vector<std::vector<uint8_t>> frames, copies;
    for (int i = 0; i < kFrameSet; ++i) frames.push_back(make_frame(i));
    copies = frames;

    // Both give the same pictures.
    {
        Round check{&api, nullptr, &order, &frames, kFrameSet};
        timed_round(check);
        Round same{nullptr, &reference, &order, &copies, kFrameSet};
        timed_round(same);
        int equal = 0;
        for (int i = 0; i < kFrameSet; ++i) equal += frames[i] == copies[i];
        const auto fresh = make_frame(0);
        std::printf("720 x 576, mosaic and blur on %s, text on, %s: %d of %d outputs equal "
                    "the core's, frames changed: %s\n",
                    whole ? "the whole frame" : "a quarter", preview ? "region preview shown" : "no preview", equal, kFrameSet, frames[0] != fresh ? "yes" : "no");
        if (equal != kFrameSet) return 1;
    }

    std::vector<double> dll_fps, core_fps;
    long wrong = 0;
    for (int round = 0; round < rounds; ++round) {
        Round through{&api, nullptr, &order, &frames, per_round};
        dll_fps.push_back(timed_round(through));
        wrong += through.wrong;
        Round bare{nullptr, &reference, &order, &copies, per_round};
        core_fps.push_back(timed_round(bare));
        std::printf("round %d: DLL %8.1f fps (%.2f s), core %8.1f fps (%.2f s), ratio %.3f\n", round + 1,
                    dll_fps.back(), through.seconds, core_fps.back(), bare.seconds, dll_fps.back() / core_fps.back());
    }
    const double best_dll = *std::max_element(dll_fps.begin(), dll_fps.end());
    const double best_core = *std::max_element(core_fps.begin(), core_fps.end());
    std::vector<double> ratios;
    for (int i = 0; i < rounds; ++i) ratios.push_back(dll_fps[i] / core_fps[i]);
    std::nth_element(ratios.begin(), ratios.begin() + rounds / 2, ratios.end());
    std::printf("best of %d rounds of %d frames: DLL %.1f fps, core %.1f fps, ratio %.3f (target >= 0.9); "
                "median of the rounds' ratios %.3f%s\n",
                rounds, per_round, best_dll, best_core, best_dll / best_core, ratios[rounds / 2],
                wrong ? "; some calls returned the wrong size" : "");
    api.close();
    pump_messages(100);
    DestroyWindow(host);
    return wrong ? 1 : 0;
}
