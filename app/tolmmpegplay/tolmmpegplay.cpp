// tolmmpegplay.exe, the converter's sibling player: plays the file its command line names through
// DirectShow (the graph the system builds for the file) in a window titled with the file's name. Exit
// code 0 when the clip has played to its end or the window is closed; a file that cannot be played
// gets the message "无法播放 <name>" (through the program's modal seam) and exit code 1.
#include <windows.h>
#include <dshow.h>
#include <string>
#include "afxseam.h"
#include "app/tolmmpegplay/command_line.h"

namespace {

const char kWindowClass[] = "TolmMpegPlayWindow";
const char kCaption[] = "tolmmpegplay";
constexpr UINT WM_GRAPH_EVENT = WM_APP + 1;

// The ANSI path as the UTF-16 DirectShow takes (WCHAR is two bytes in this build, as on Windows).
std::u16string widened(const std::string& path) {
    static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR holds UTF-16");
    int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 1) return std::u16string();
    std::u16string wide(size_t(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, reinterpret_cast<WCHAR*>(&wide[0]), n);
    wide.resize(size_t(n - 1));
    return wide;
}

template <class T>
void release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// True when some filter of the graph renders: it has a connected input and no output. A graph
// holding only the file's reader would run without ever ending.
bool renders_something(IGraphBuilder* graph) {
    IEnumFilters* filters = nullptr;
    if (FAILED(graph->EnumFilters(&filters))) return false;
    bool found = false;
    IBaseFilter* filter = nullptr;
    while (!found && filters->Next(1, &filter, nullptr) == S_OK) {
        bool connected_input = false, output = false;
        IEnumPins* pins = nullptr;
        if (SUCCEEDED(filter->EnumPins(&pins))) {
            IPin* pin = nullptr;
            while (pins->Next(1, &pin, nullptr) == S_OK) {
                PIN_DIRECTION direction;
                if (SUCCEEDED(pin->QueryDirection(&direction))) {
                    if (direction == PINDIR_OUTPUT) {
                        output = true;
                    } else {
                        IPin* peer = nullptr;
                        if (SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
                            connected_input = true;
                            peer->Release();
                        }
                    }
                }
                pin->Release();
            }
            pins->Release();
        }
        found = connected_input && !output;
        filter->Release();
    }
    filters->Release();
    return found;
}

struct Player {
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IMediaEventEx* events = nullptr;
    IVideoWindow* video = nullptr;  // null when the file has no pictures
    HWND window = nullptr;
    int exit_code = 0;

    bool build(const std::string& path) {
        std::u16string wide = widened(path);
        if (wide.empty()) return false;
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                    reinterpret_cast<void**>(&graph))))
            return false;
        if (FAILED(graph->RenderFile(reinterpret_cast<const WCHAR*>(wide.c_str()), nullptr)) ||
            !renders_something(graph) ||
            FAILED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control))) ||
            FAILED(graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events))))
            return false;
        if (FAILED(graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&video)))) video = nullptr;
        return true;
    }

    // The video renderer's window becomes a child filling ours; ours takes the picture's size.
    void attach(HWND owner) {
        window = owner;
        events->SetNotifyWindow(reinterpret_cast<OAHWND>(owner), WM_GRAPH_EVENT, 0);
        if (video && FAILED(video->put_Owner(reinterpret_cast<OAHWND>(owner)))) release(video);
        if (!video) return;
        video->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        video->put_MessageDrain(reinterpret_cast<OAHWND>(owner));
        IBasicVideo* basic = nullptr;
        LONG width = 0, height = 0;
        if (SUCCEEDED(graph->QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(&basic)))) {
            basic->GetVideoSize(&width, &height);
            basic->Release();
        }
        if (width > 0 && height > 0) {
            RECT r = {0, 0, width, height};
            AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
            SetWindowPos(owner, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
        }
        fit();
    }

    void fit() {
        if (!video || !window) return;
        RECT r;
        GetClientRect(window, &r);
        video->SetWindowPosition(0, 0, r.right, r.bottom);
    }

    // Takes the graph's events; true when playing is over (the clip ended or failed).
    bool over() {
        LONG code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        bool done = false;
        while (events && events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            events->FreeEventParams(code, p1, p2);
            if (code == EC_COMPLETE || code == EC_USERABORT) done = true;
            if (code == EC_ERRORABORT) {
                exit_code = 1;
                done = true;
            }
        }
        return done;
    }

    void close() {
        if (control) control->Stop();
        if (events) events->SetNotifyWindow(0, 0, 0);
        if (video) {
            video->put_Visible(OAFALSE);
            video->put_Owner(0);
        }
        release(video);
        release(events);
        release(control);
        release(graph);
    }
};

Player* g_player = nullptr;

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_GRAPH_EVENT:
        if (g_player && g_player->over()) DestroyWindow(hwnd);
        return 0;
    case WM_SIZE:
        if (g_player) g_player->fit();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

int cannot_play(Player& player, const std::string& name) {
    player.close();
    std::string text = "无法播放 " + name;
    AfxShowMessageBox(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONSTOP);
    return 1;
}

int play(const std::string& path, HINSTANCE instance, int show) {
    const std::string name = mpegplay::file_name_part(path);
    Player player;
    if (path.empty() || !player.build(path)) return cannot_play(player, name);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, kWindowClass, name.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 320, 120, nullptr, nullptr, instance, nullptr);
    if (!window) return cannot_play(player, name);
    g_player = &player;
    player.attach(window);
    ShowWindow(window, show == SW_HIDE ? SW_SHOWNORMAL : show);
    UpdateWindow(window);
    if (FAILED(player.control->Run())) {
        g_player = nullptr;
        DestroyWindow(window);
        return cannot_play(player, name);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_player = nullptr;
    if (player.exit_code != 0) return cannot_play(player, name);
    player.close();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
    const std::string path = mpegplay::path_argument(command_line);
    if (FAILED(CoInitialize(nullptr))) return 1;
    int code = play(path, instance, show);
    CoUninitialize();
    return code;
}
