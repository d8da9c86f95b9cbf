#include "tests/convert/convert_host.h"
#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include "afxwin.h"
#include "app/settings/ini_file.h"
#include "base/fileio.h"
#include "base/message_seam.h"
#include "base/program_folder.h"
#include "engine/convert/win32/convert_thread.h"
#include "engine/frame/frame_path.h"
#include "engine/output/output_session.h"
#include "engine/play/play_run.h"
#include "engine/play/win32/play_thread.h"
#include "engine/video/video_wnd.h"
#include "engine/video/win32/video_wnd_dlg.h"
#include "engine/main_window/main_window.h"
#include "engine/input/win32/program_input_calls.h"
#include "engine/outside/win32/program_calls.h"
#include "engine/state/effects_switch.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "media/binders/binders.h"
#include "media/probe/probe_media_file.h"
#include "media/records/index_file.h"

namespace convert_host {

namespace {

const char kHostClass[] = "TarmeloConvertHost";
const char kTimelineClass[] = "TarmeloConvertHostTimeline";
constexpr int kNoticeH264 = 678;
constexpr UINT_PTR kResumeTimer = 1;
constexpr UINT_PTR kShotTimer = 2;
constexpr UINT_PTR kSettleTimer = 3;
// How long after Pause the counts are first taken (a picture or sound block under way may still land).
constexpr UINT kSettleMs = 250;
// Exit pressed: handled from the loop, as a click is, never inside a notice the thread waits on.
constexpr UINT kExitPressed = WM_APP + 0x77;

void print(const char* kind, const std::string& text) {
    std::printf("[host] %s: %s\n", kind, text.c_str());
    std::fflush(stdout);
}

std::vector<std::string> split(const std::string& line, char by) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i)
        if (i == line.size() || line[i] == by) {
            parts.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    return parts;
}

}  // namespace

// The program's EngineUi over the host's controls, with every text kept and printed.
class Host::Ui : public MainWindowUi {
public:
    explicit Ui(Host& host) : host_(host) {}
    void set_status(const char* text) override {
        keep("status", text, host_.outcome_.statuses);
        MainWindowUi::set_status(text);
    }
    void set_label(const char* text) override {
        keep("label", text, host_.outcome_.labels);
        MainWindowUi::set_label(text);
    }
    void enable(int control, bool enabled) override {
        if (control == kCtlAudio) {
            std::lock_guard<std::mutex> hold(host_.lock_);
            host_.outcome_.audio_button.push_back({enabled, host_.outcome_.statuses.size()});
        }
        MainWindowUi::enable(control, enabled);
    }

private:
    void keep(const char* kind, const char* text, std::vector<std::string>& into) {
        std::lock_guard<std::mutex> hold(host_.lock_);
        into.push_back(text ? text : "");
        if (&into == &host_.outcome_.statuses) host_.outcome_.status_times.push_back(timeGetTime());
        print(kind, into.back());
    }
    Host& host_;
};

Host::Host() {
    INITCOMMONCONTROLSEX common = {sizeof common, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.lpszClassName = kHostClass;
    wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    wc.lpfnWndProc = timeline_proc;
    wc.lpszClassName = kTimelineClass;
    RegisterClassA(&wc);

    window_ = CreateWindowExA(0, kHostClass, "convert host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                              instance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, LONG_PTR(this));
    struct Child {
        const char* cls;
        int id;
        DWORD style;
        int x, y, w, h;
    };
    const Child children[] = {
        {"STATIC", kCtlPreview, SS_LEFT, 10, 10, 180, 150},
        {"STATIC", kCtlLabel2, SS_LEFT, 200, 10, 400, 20},
        {"STATIC", kCtlStatus, SS_LEFT, 200, 40, 400, 20},
        {"BUTTON", kCtlPlay, BS_PUSHBUTTON, 200, 70, 60, 24},
        {"BUTTON", kCtlConvert, BS_PUSHBUTTON, 270, 70, 60, 24},
        {"BUTTON", kCtlVideo, BS_AUTOCHECKBOX, 340, 70, 60, 24},
        {"BUTTON", kCtlAudio, BS_AUTOCHECKBOX, 410, 70, 60, 24},
        {"BUTTON", kCtlTrim, BS_PUSHBUTTON, 480, 70, 60, 24},
        {PROGRESS_CLASSA, kCtlFileBar, 0, 200, 100, 400, 16},
        {PROGRESS_CLASSA, kCtlTotalBar, 0, 200, 120, 400, 16},
        {"COMBOBOX", kCtlSpeedMode, CBS_DROPDOWNLIST, 200, 140, 120, 100},
        {kTimelineClass, kTimelineViewId, 0, 10, 300, 600, 60},
    };
    for (const Child& c : children)
        CreateWindowExA(0, c.cls, "", WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.w, c.h, window_,
                        HMENU(INT_PTR(c.id)), instance, nullptr);
    timeline_ = GetDlgItem(window_, kTimelineViewId);
    SetWindowLongPtrA(timeline_, GWLP_USERDATA, LONG_PTR(this));
    for (int bar : {kCtlFileBar, kCtlTotalBar}) SendDlgItemMessageA(window_, bar, PBM_SETRANGE32, 0, 1000);
    SendDlgItemMessageA(window_, kCtlSpeedMode, CB_ADDSTRING, 0, LPARAM("正常转换"));
    SendDlgItemMessageA(window_, kCtlSpeedMode, CB_ADDSTRING, 0, LPARAM("快速转换"));
    g_main_hwnd = window_;
    // The program's video dialog, made hidden as the program makes it; a play opens it.
    video_dialog_ = new CVideoWndDlg;
    if (video_dialog_->CreateHidden()) video_ = video_dialog_->m_hWnd;
    else print("error", "the video dialog cannot be made");
}

Host::~Host() {
    video_wnd_attach(nullptr);
    if (video_) video_dialog_->DestroyWindow();
    delete video_dialog_;
    g_main_hwnd = nullptr;
    seam::set_reporter(nullptr, nullptr);
    if (window_) DestroyWindow(window_);
}

void Host::load_settings(const std::string& folder) {
    IniSettingsStore store(folder);
    ::load_settings(store, folder);
}

bool Host::read_jobs(const std::string& job_file) {
    std::ifstream in(job_file);
    if (!in) {
        print("error", "no job file " + job_file);
        return false;
    }
    table_.count = 0;
    files_.clear();
    std::string line;
    while (std::getline(in, line) && table_.count < kMaxJobs) {
        if (line.empty()) continue;
        MediaJob& job = table_.jobs[table_.count];
        job = MediaJob{};
        job.file_index = -1;
        std::vector<std::string> f = split(line, '|');
        if (line[0] == '=') {
            // "=path|kind|width|height|fps|rate|channels": taken as given, not probed.
            if (f.size() < 7) return print("error", "bad job line " + line), false;
            std::snprintf(job.path, sizeof job.path, "%s", f[0].c_str() + 1);
            job.file_kind = job.file_kind_copy = std::atoi(f[1].c_str());
            job.width = std::atoi(f[2].c_str());
            job.height = std::atoi(f[3].c_str());
            job.frame_rate = std::atof(f[4].c_str());
            job.sample_rate = std::atoi(f[5].c_str());
            job.channels = std::atoi(f[6].c_str());
            ++table_.count;
            continue;
        }
        MediaFile file;
        const int probed = probe_media_file(f[0].c_str(), &file.record);
        if (probed != 0) return print("error", "probe refused " + f[0] + ": " + std::to_string(probed)), false;
        const MediaFileRecord& r = file.record;
        std::snprintf(job.path, sizeof job.path, "%s", f[0].c_str());
        job.width = r.width;
        job.height = r.height;
        job.frame_rate = r.frame_rate;
        job.file_size = r.file_size;
        job.duration_s = r.duration_s;
        job.file_kind = job.file_kind_copy = r.file_kind;
        job.sample_rate = int(r.sample_rate);
        job.channels = r.channels < 2 ? r.channels : 2;
        if (f.size() >= 4) {
            file.record.range_start = std::atoi(f[1].c_str());
            file.record.range_end = std::atoi(f[2].c_str());
            file.record.seek_mode = uint8_t(std::atoi(f[3].c_str()));
            if (r.index_written) {
                IndexFile index;
                if (read_index_file(r.index_path, index) == IndexError::None) adopt_index(file, std::move(index));
            }
            files_.push_back(std::move(file));
            job.file_index = int(files_.size()) - 1;
        }
        char text[700];
        std::snprintf(text, sizeof text, "%s kind %d %dx%d %.3f fps %d Hz %d ch", job.path, job.file_kind, job.width,
                      job.height, job.frame_rate, job.sample_rate, job.channels);
        print("job", text);
        ++table_.count;
    }
    return table_.count > 0;
}

int Host::report(const char* text, const char* caption, unsigned style, void* self_ptr) {
    Host& self = *static_cast<Host*>(self_ptr);
    std::lock_guard<std::mutex> hold(self.lock_);
    self.outcome_.boxes.push_back(Box{text ? text : "", caption ? caption : "", style});
    print((style & 0xF) == seam::kYesNo ? "question" : "box", self.outcome_.boxes.back().text);
    return (style & 0xF) == seam::kYesNo ? self.options_.answer : seam::first_button(style);
}

// What the main dialog does for notice 678: the H.264 decoder the workers use is opened on this
// thread at the size the worker asked for (1), and flushed and closed (2).
intptr_t Host::h264_notice(intptr_t argument) {
    if (!codec::tolm264decode_init || !codec::tolm264decode_close || !codec::tolm264decode_decode) return -1;
    if (argument == 1) {
        int width = 0, height = 0;
        h264_requested_size(&width, &height);
        h264_picture_.assign(size_t((3 * width + 3) & ~3) * size_t(height), 0);
        return codec::tolm264decode_init(width, height);
    }
    if (argument == 2) {
        while (!h264_picture_.empty() && codec::tolm264decode_decode(nullptr, 0, h264_picture_.data()) > 0) {
        }
        h264_picture_.clear();
        return codec::tolm264decode_close();
    }
    return -1;
}

// The effects window's effect list (3086), whose page holds the effect toggles.
static BOOL CALLBACK find_effect_list(HWND child, LPARAM found) {
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (GetDlgCtrlID(child) != 3086 || lstrcmpiA(name, "SysListView32") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

intptr_t Host::on_notice(int code, intptr_t argument) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        outcome_.notices.push_back(Notice{code, argument});
        outcome_.notice_times.push_back(timeGetTime());
    }
    if (playing_ && code == kNoticeClock && progress_ == 0 && !options_.shots_ms.empty())
        SetTimer(window_, kShotTimer, 5, nullptr);
    std::printf("[host] notice: %d %ld\n", code, long(argument));
    if (code == kNoticeH264) return h264_notice(argument);
    if (code == kNoticeClearBusy) set_flag(g_busy, false);
    if (code != kNoticeClock) return 0;
    if (paused_by_us_) ++outcome_.progress_notices_while_paused;
    if (++progress_ != options_.press_after || outcome_.pressed) return 0;
    outcome_.pressed = true;
    outcome_.press_time = timeGetTime();
    switch (options_.press) {
    case Press::kVideoOff:
        print("press", "Video");
        set_flag(g_show_video, false);
        break;
    case Press::kPause:
        print("press", "Pause");
        paused_by_us_ = true;
        pause_start_ = timeGetTime();
        set_flag(g_paused, true);
        SetTimer(window_, kSettleTimer, kSettleMs, nullptr);
        SetTimer(window_, kResumeTimer, UINT(options_.pause_ms), nullptr);
        break;
    case Press::kTrim:
        print("press", "Trim");
        toggle_flag(g_write_output);
        break;
    case Press::kStop:
        print("press", "Stop");
        set_flag(g_busy, false);
        break;
    case Press::kProbe: {
        print("press", "probe " + options_.probe_path);
        MediaFileRecord record{};
        outcome_.probe_result = probe_media_file(options_.probe_path.c_str(), &record);
        outcome_.probed_kind = record.file_kind;
        break;
    }
    case Press::kEffects:
    case Press::kEcho:
        print("press", "Sound effects");
        effects_switch();
        if (options_.press == Press::kEcho) {
            // The effects window's chain page: the page holding the effect list (3086).
            HWND effects = FindWindowA(nullptr, "Orvane音效器");
            HWND list = nullptr;
            if (effects) EnumChildWindows(effects, find_effect_list, LPARAM(&list));
            print("press", list ? "echo toggle" : "echo toggle not found");
            if (list) SendDlgItemMessageA(GetParent(list), 3069, BM_CLICK, 0, 0);
        }
        outcome_.effects_shown = codec::tolmmix_get_dispstatus && codec::tolmmix_get_dispstatus();
        break;
    case Press::kExit:
        print("press", "Exit");
        PostMessageA(window_, kExitPressed, 0, 0);
        break;
    case Press::kNone: break;
    }
    return 0;
}

// The main dialog's sound-effects button, the same piece the dialog calls.
void Host::effects_switch() {
    if (!press_effects_button()) print("status", kEffectsOutsideRunText);
}

// As the main dialog's Exit during a run, answered Yes: the run's flags cleared, the thread given up
// to 10 s to end while what it sends is handled, olumbra closed, and unloaded only when the thread
// has ended (it may still be inside the library). The process then ends, as the dialog's end ends it.
void Host::exit_program() {
    set_flag(g_exiting, true);
    set_flag(g_busy, false);
    set_flag(g_paused, false);
    set_flag(g_scope_running, false);
    const DWORD start = GetTickCount();
    bool ended = running_ == nullptr;
    while (!ended && GetTickCount() - start < 10000) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &running_, FALSE, 10000 - (GetTickCount() - start), QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) {
            ended = true;
        } else if (woke == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else {
            break;
        }
    }
    print("exit", ended ? "the thread has ended" : "the thread is still running");
    if (codec::tolmmix_close) codec::tolmmix_close();
    if (ended) codec::unload_olumbra();
    std::fflush(stdout);
    ExitProcess(0);
}

LRESULT CALLBACK Host::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Host* host = reinterpret_cast<Host*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (host && msg == WM_DLG_NOTIFY) {
        return LRESULT(host->on_notice(int(wp), intptr_t(lp)));
    }
    if (host && msg == kExitPressed) host->exit_program();
    if (host && msg == WM_TIMER && wp == kSettleTimer) {
        KillTimer(hwnd, kSettleTimer);
        host->held_counts(&host->outcome_.pictures_held_from, &host->outcome_.sound_held_from);
        return 0;
    }
    if (host && msg == WM_TIMER && wp == kResumeTimer) {
        KillTimer(hwnd, kResumeTimer);
        if (host->outcome_.pictures_held_from >= 0)
            host->held_counts(&host->outcome_.pictures_held_to, &host->outcome_.sound_held_to);
        print("press", "Pause released");
        host->paused_by_us_ = false;
        set_flag(g_paused, false);
        host->outcome_.pause_ms_held = int(timeGetTime() - host->pause_start_);
        return 0;
    }
    if (host && msg == WM_TIMER && wp == kShotTimer) {
        host->take_shot();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// What a run has taken so far: a play's decoded pictures; a conversion's pictures through the frame
// path and sound bytes written.
void Host::held_counts(int64_t* pictures, int64_t* sound) {
    if (playing_) {
        *pictures = last_play_result().decoded;
        *sound = -1;
    } else {
        *pictures = g_frame_path.decoded_pictures();
        *sound = int64_t(g_output.sound_bytes());
    }
    char text[100];
    std::snprintf(text, sizeof text, "%lld pictures, %lld sound bytes", (long long)*pictures, (long long)*sound);
    print("counts", text);
}

// The next shot when its time has come: the video window's client area read from the screen.
void Host::take_shot() {
    const DWORD first = outcome_.first_notice(kNoticeClock);
    if (next_shot_ >= options_.shots_ms.size() || !first) {
        KillTimer(window_, kShotTimer);
        return;
    }
    const int at = int(timeGetTime() - first);
    if (at < options_.shots_ms[next_shot_]) return;
    ++next_shot_;
    Shot shot;
    shot.at_ms = at;
    RECT client;
    GetClientRect(video_, &client);
    POINT origin = {0, 0};
    ClientToScreen(video_, &origin);
    shot.width = client.right;
    shot.height = client.bottom;
    if (shot.width > 0 && shot.height > 0) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = shot.width;
        info.bmiHeader.biHeight = -shot.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && bits) {
            HGDIOBJ old = SelectObject(memory, bitmap);
            BitBlt(memory, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
            GdiFlush();
            const size_t bytes = size_t((3 * shot.width + 3) & ~3) * size_t(shot.height);
            shot.bgr.assign(static_cast<uint8_t*>(bits), static_cast<uint8_t*>(bits) + bytes);
            SelectObject(memory, old);
        }
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    char text[100];
    std::snprintf(text, sizeof text, "%d ms after the first picture, %dx%d", shot.at_ms, shot.width, shot.height);
    print("shot", text);
    std::lock_guard<std::mutex> hold(lock_);
    outcome_.shots.push_back(std::move(shot));
}

LRESULT CALLBACK Host::timeline_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Host* host = reinterpret_cast<Host*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (host && msg == WM_DLG_NOTIFY) {
        std::lock_guard<std::mutex> hold(host->lock_);
        host->outcome_.timeline.push_back(Notice{int(wp), intptr_t(lp)});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Host::prepare(const Options& options) {
    options_ = options;
    outcome_ = Outcome{};
    progress_ = 0;
    paused_by_us_ = false;
    next_shot_ = 0;
    // What the program does at start-up: the engine's and the input side's call tables over the
    // binders, the stream parser bound for the AVI branch, the effects library when it is there.
    use_program_calls();
    use_program_input_calls();
    if (!codec::hmod_tolmmux && codec::load_tolmmux() != 0) print("error", "tolmmux.dll cannot be bound");
    if (!codec::hmod_tolmx264decode && codec::load_tolmx264decode() != 0) print("error", "tolmx264decode.dll cannot be bound");
    if (!codec::hmod_tolmmpeg4decode && codec::load_tolmmpeg4decode() != 0)
        print("error", "tolmmpeg4decode.dll cannot be bound");
    const std::string olumbra = program_folder() + "\\olumbra.dll";
    if (fileio::exists(olumbra.c_str()) && !codec::hmod_olumbra && codec::load_olumbra() == 0 && codec::tolmmix_begin)
        codec::tolmmix_begin();
    previous_reporter_ = seam::set_reporter(report, this);
    SendDlgItemMessageA(window_, kCtlSpeedMode, CB_SETCURSEL, options.fast ? 1 : 0, 0);
    for (int id : {kCtlPlay, kCtlConvert, kCtlVideo, kCtlAudio, kCtlTrim}) EnableWindow(GetDlgItem(window_, id), TRUE);
    set_flag(g_busy, false);
    set_flag(g_paused, false);
}

// Handles messages until the thread has ended, then reads what the dialog shows.
void Host::wait_for(HANDLE thread) {
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, 600000, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 && !outcome_.thread_end) outcome_.thread_end = timeGetTime();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (woke == WAIT_OBJECT_0) break;
        if (woke == WAIT_TIMEOUT) {
            print("error", "the thread did not end in 10 minutes");
            set_flag(g_busy, false);
        }
    }
    KillTimer(window_, kResumeTimer);
    KillTimer(window_, kShotTimer);
    KillTimer(window_, kSettleTimer);
    set_flag(g_paused, false);
    outcome_.busy_after = flag_on(g_busy);
    outcome_.play_enabled = IsWindowEnabled(GetDlgItem(window_, kCtlPlay)) != FALSE;
    outcome_.convert_enabled = IsWindowEnabled(GetDlgItem(window_, kCtlConvert)) != FALSE;
    outcome_.audio_enabled_after = IsWindowEnabled(GetDlgItem(window_, kCtlAudio)) != FALSE;
    outcome_.video_visible_after = IsWindowVisible(video_) != FALSE;
    seam::set_reporter(previous_reporter_, nullptr);
}

Outcome Host::run(const Options& options) {
    prepare(options);
    Ui ui(*this);
    ui.attach(&table_, files_.data(), int(files_.size()), &current_);
    CWinThread* thread = AfxBeginThread(convert_thread, static_cast<EngineUi*>(&ui), THREAD_PRIORITY_NORMAL, 0,
                                        CREATE_SUSPENDED);
    if (!thread) {
        print("error", "no thread");
        seam::set_reporter(previous_reporter_, nullptr);
        return outcome_;
    }
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    running_ = thread->m_hThread;
    wait_for(thread->m_hThread);
    running_ = nullptr;
    delete thread;
    return outcome_;
}

Outcome Host::play(const Options& options) {
    prepare(options);
    playing_ = true;
    Ui ui(*this);
    ui.attach(&table_, files_.data(), int(files_.size()), &current_);
    HANDLE thread = start_play_thread(&ui);
    if (!thread) {
        print("error", "no thread");
        seam::set_reporter(previous_reporter_, nullptr);
        playing_ = false;
        return outcome_;
    }
    running_ = thread;
    wait_for(thread);
    running_ = nullptr;
    CloseHandle(thread);
    playing_ = false;
    const PlayResult counters = last_play_result();
    outcome_.decoded = counters.decoded;
    outcome_.shown = counters.shown;
    return outcome_;
}

DWORD Outcome::first_notice(int code) const {
    for (size_t i = 0; i < notices.size() && i < notice_times.size(); ++i)
        if (notices[i].code == code) return notice_times[i];
    return 0;
}

DWORD Outcome::status_time(const std::string& prefix) const {
    for (size_t i = 0; i < statuses.size() && i < status_times.size(); ++i)
        if (statuses[i].compare(0, prefix.size(), prefix) == 0) return status_times[i];
    return 0;
}

}  // namespace convert_host
