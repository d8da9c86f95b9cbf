// A headless stand-in for the main dialog, for end-to-end runs of the conversion thread under Wine:
// a plain window with the main dialog's control ids (preview, labels, buttons, bars, the conversion-
// mode combo box) and a timeline child, g_main_hwnd set to it. It takes its settings from the
// "pravolin.ini" of a folder, its jobs from a job file (each source probed as the program probes it),
// answers WM_DLG_NOTIFY (every code recorded; 199 clears g_busy; 678 opens the H.264 decoder at the
// size the worker asks for and flushes and closes it), binds the H.264 and MPEG-4 decoders as the program's start-up does, olumbra.dll when there is one,
// starts the thread with AfxBeginThread and handles messages until the thread has ended. After a
// given number of progress notices it presses Pause (for a time), Trim or Stop. Every status text,
// label, notice and message box is printed and kept.
//
// It plays as well: the program's video dialog (CVideoWndDlg, made hidden; the resources come from
// tests/convert/host.rc), the playback thread started as the Play command starts it, Stop, Pause and the
// Video button pressed during the play, pictures of the video window's client area taken at given
// times after the first picture, and the times of the play's events.
#pragma once
#include <windows.h>
#include <mutex>
#include <string>
#include <cstdint>
#include <vector>
#include "engine/state/media_job.h"
#include "engine/ui/win32/main_window_ui.h"
#include "media/records/segment_list.h"

class CVideoWndDlg;

namespace convert_host {

// What the host does after the given number of progress notices: press Pause (for pause_ms), Trim
// or Stop, or probe a file on the interface thread while the job converts; press the sound-effects
// button (kEffects), and then the effects window's echo toggle too (kEcho); or press Exit (kExit: the
// process ends there, with exit code 0 when nothing went wrong on the way out).
enum class Press { kNone, kPause, kTrim, kStop, kProbe, kVideoOff, kEffects, kEcho, kExit };

struct Options {
    bool fast = true;          // the conversion-mode combo box: 1 fast, 0 normal
    Press press = Press::kNone;
    int press_after = 0;       // progress notices (688) before the press
    int pause_ms = 1000;       // how long Pause stays pressed
    int answer = IDNO;         // the answer to a Yes/No box
    std::string probe_path;    // Press::kProbe: the file probed
    // Playing: the video window's client area is taken this many ms after the first picture.
    std::vector<int> shots_ms;
};

// The video window's client area as the screen shows it: B,G,R rows top-down at (3w+3)&~3.
struct Shot {
    int at_ms = 0;  // after the first picture
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;
};

struct Notice {
    int code;
    intptr_t argument;
};

struct Box {
    std::string text, caption;
    unsigned style;
};

struct Outcome {
    std::vector<std::string> statuses, labels;
    std::vector<Notice> notices, timeline;
    std::vector<Box> boxes;
    int progress_notices_while_paused = 0;
    bool pressed = false;
    int probe_result = -100;        // Press::kProbe: what the probe answered
    FileKind probed_kind = 0;
    bool busy_after = true;         // g_busy when the thread had ended
    bool play_enabled = false, convert_enabled = false;

    // Times (timeGetTime) of the statuses and notices, in the order of `statuses` and `notices`.
    std::vector<DWORD> status_times, notice_times;
    DWORD press_time = 0;    // when the press was made
    DWORD thread_end = 0;    // when the thread had ended
    std::vector<Shot> shots;
    bool video_visible_after = true;  // the video dialog visible when the thread had ended
    int64_t decoded = 0, shown = 0;   // the play's picture counters
    int pause_ms_held = 0;            // how long Pause was really held
    // Press::kPause: the pictures taken and the sound bytes fed (a conversion: the frame path's and the
    // output's counts; a play: its decoded pictures, no sound count) a quarter second after the press
    // and as Pause is released; -1 when not taken.
    int64_t pictures_held_from = -1, pictures_held_to = -1;
    int64_t sound_held_from = -1, sound_held_to = -1;
    // The Audio button (1027) each time it was enabled or disabled, with the number of statuses shown
    // before it.
    struct ButtonEvent {
        bool enabled;
        size_t after_statuses;
    };
    std::vector<ButtonEvent> audio_button;
    bool audio_enabled_after = false;
    bool effects_shown = false;       // kEffects, kEcho: the effects window shown after the press

    // The time of the first notice `code`, 0 when none came.
    DWORD first_notice(int code) const;
    // The time of the first status that starts with `prefix`, 0 when none came.
    DWORD status_time(const std::string& prefix) const;
};

class Host {
public:
    Host();
    ~Host();
    // Loads the settings from folder\pravolin.ini (missing keys get their defaults).
    void load_settings(const std::string& folder);
    // Job file: one source path a line; "path|S|E|mode" also keeps the probed record as a file row
    // with the range S..E and seek mode. False (with the reason printed) when a source cannot be probed.
    bool read_jobs(const std::string& job_file);
    // Runs the conversion thread over the jobs into g_out_format and waits for it.
    Outcome run(const Options& options);
    // Plays the jobs through the playback thread (started as the Play command starts it) and waits.
    Outcome play(const Options& options);
    // The video dialog the plays show.
    HWND video_dialog() const { return video_; }

    const JobTable& jobs() const { return table_; }

private:
    class Ui;
    static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK timeline_proc(HWND, UINT, WPARAM, LPARAM);
    void prepare(const Options& options);
    void wait_for(HANDLE thread);
    void take_shot();
    void held_counts(int64_t* pictures, int64_t* sound);
    // The program's sound-effects button and its Exit during a run.
    void effects_switch();
    [[noreturn]] void exit_program();
    static int report(const char* text, const char* caption, unsigned style, void* self);
    intptr_t on_notice(int code, intptr_t argument);
    intptr_t h264_notice(intptr_t argument);

    HWND window_ = nullptr;
    HWND timeline_ = nullptr;
    HWND video_ = nullptr;
    HANDLE running_ = nullptr;  // the thread of the run being waited for
    CVideoWndDlg* video_dialog_ = nullptr;
    bool playing_ = false;
    size_t next_shot_ = 0;
    DWORD pause_start_ = 0;
    int (*previous_reporter_)(const char*, const char*, unsigned, void*) = nullptr;
    JobTable table_;
    std::vector<MediaFile> files_;
    CurrentFileName current_;
    Options options_;
    Outcome outcome_;
    std::mutex lock_;
    int progress_ = 0;
    bool paused_by_us_ = false;
    std::vector<uint8_t> h264_picture_;  // where notice 678's flush puts what the decoder still held
};

}  // namespace convert_host
