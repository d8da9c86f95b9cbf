// The engine's only way to the main dialog. The workers report through it: the status line (1008),
// the second label (1002), the two progress bars (1009 per file, 1010 overall), the command buttons'
// enabled state and the pressed state of Video and Audio, WM_DLG_NOTIFY codes to the dialog, the
// timeline notice and the preview. In the program every call is a message to the interface thread
// (engine/ui/win32); tests record the calls.
#pragma once
#include <cstdint>
#include <string>
#include "engine/state/media_job.h"

struct MediaFile;
struct PictureView;

// Controls of the main dialog the engine touches.
enum EngineControl : int {
    kCtlPreview = 1000,
    kCtlLabel2 = 1002,
    kCtlPlay = 1006,
    kCtlStatus = 1008,
    kCtlSpeedMode = 1012,
    kCtlFileBar = 1009,
    kCtlTotalBar = 1010,
    kCtlConvert = 1025,
    kCtlVideo = 1026,
    kCtlAudio = 1027,
    kCtlTrim = 1028,
};

// WM_DLG_NOTIFY (WM_USER + 30) codes the engine sends.
enum EngineNotice : int {
    kNoticeClock = 688,        // argument: elapsed seconds
    kNoticeHideColour = 888,
    kNoticeClearBusy = 199,
    kNoticeSaveSettings = 8889,
    kNoticeListAction = 8888,
    kNoticeThumbnail = 10000,  // + file index, argument: segment index
};

class EngineUi {
public:
    virtual ~EngineUi() = default;
    // Status line 1008 and second label 1002: the text, then repainted.
    virtual void set_status(const char* text) = 0;
    virtual void set_label(const char* text) = 0;
    // Both bars, each 0..1000 (not waited for; handled in order before anything sent later).
    virtual void set_bars(int file_permille, int overall_permille) = 0;
    virtual void enable(int control, bool enabled) = 0;
    // Video and Audio buttons: shown pressed or released, repainted.
    virtual void set_pressed(int control, bool pressed) = 0;
    // WM_DLG_NOTIFY to the main dialog; waits until it is handled and returns its result.
    virtual intptr_t notify(int code, intptr_t argument) = 0;
    // WM_DLG_NOTIFY 8888 to the timeline view (not waited for).
    virtual void notify_timeline(intptr_t argument) = 0;
    // The preview static: opened once per run (its device context and rectangle), the picture (a B,G,R
    // view, read while the call lasts) drawn stretched into it, closed at the end.
    virtual void open_preview() = 0;
    virtual void draw_preview(const PictureView& picture) = 0;
    virtual void close_preview() = 0;
    // Repaints a control (the preview and label 1002 at the end of a run).
    virtual void repaint(int control) = 0;

    // What a run reads of the dialog. The job table is filled before the worker starts and left alone
    // while it runs.
    virtual const JobTable& jobs() const = 0;
    // The file-table row of a job's file_index (its stored record and segment list); null when the
    // index names no row.
    virtual MediaFile* file_row(int file_index) = 0;
    // Selection of the conversion-mode combo box (1012): 0 normal, 1 or more fast.
    virtual int speed_mode() = 0;
    // The dialog's name of the file being worked on (Pause shows it).
    virtual void set_current_path(const char* path) = 0;
};

// The bars' rule: the per-file bar is the per-mille share of the current file; the overall bar
// (int)(q · share) + job index · q, q = 1000 / job count in integer division.
int file_bar_value(double fraction);
int overall_bar_value(double fraction, int job_index, int job_count);

// Status 1008 while the run is paused: "暂停文件%s转换" when writing the output, "暂停文件%s播放" when
// only playing.
std::string paused_status_text(const std::string& path, bool writing_output);

// An EngineUi that does nothing (for a worker run without a window).
EngineUi& silent_engine_ui();
