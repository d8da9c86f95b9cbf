// The body of the playback thread: the run's set-up (libraries, flags, buttons, buffers), each job
// (the video window opened at the source's size, the job's input branch through the readers' table
// with its sound on the wave output and its pictures in the window, the window released) and the end
// (libraries unloaded, buffers freed, the video window hidden, the buttons restored). Nothing is
// written. What needs the platform (binding libraries, the video window) comes through PlayServices,
// so the run is the same in the program and in native tests.
#pragma once
#include <cstdint>
#include "base/picture.h"
#include "engine/state/media_job.h"
#include "engine/ui/engine_ui.h"

class PlayServices {
public:
    virtual ~PlayServices() = default;
    // Binds the decoding libraries in the run's order (and sets their display mode). False at the first
    // that fails, after unloading every library bound before it.
    virtual bool bind_libraries() = 0;
    // Unloads every library bind_libraries bound.
    virtual void unload_libraries() = 0;
    // Builds the picture conversion's tables (once a run).
    virtual void prepare_pictures() = 0;
    // Opens the video window for the job's picture size, titled with its path. Below 0: it cannot be
    // opened (nothing stays open).
    virtual int open_window(const MediaJob& job) = 0;
    // Shows one decoded picture (its own size and stride) in the window: B,G,R, or YUY2 as the H.264
    // decoder writes it for a play.
    virtual void show_picture(const PictureView& picture) = 0;
    // Releases what open_window made (every DirectDraw object, the window's picture buffer).
    virtual void release_window() = 0;
    // Hides the video window at the end of the run.
    virtual void hide_window() = 0;
};

// How a playback run ended.
enum class PlayEnd {
    kNoLibraries,  // a decoding library could not be bound: "装载解码动态库失败"
    kCompleted,    // every job played to its end
    kStopped,      // Stop cleared g_busy
    kFailed,       // the window could not be opened, or a branch could not read its file
};

struct PlayResult {
    PlayEnd end = PlayEnd::kCompleted;
    int64_t decoded = 0;  // pictures decoded and counted over the run
    int64_t shown = 0;    // of those, the ones handed to the window
    // Pictures handed over later than one picture period after their time (the job's first picture's
    // time + i / rate, moved on by pauses).
    int64_t late = 0;
};

// Texts of the run.
extern const char* const kPlayCaption;          // "多媒体文件播放"
extern const char* const kPlayWindowFailedBox;  // "初始化文件%s Directx 窗口失败 无法播放"
extern const char* const kPlayWindowFailed;     // "Directx 窗口失败 无法播放"
extern const char* const kPlayNoSound;          // "该多媒体文件无音频"
extern const char* const kPlaying;              // "正在播放%s"
extern const char* const kPlayingAt;            // "正在播放%s [%.2f]秒"
extern const char* const kPlayed;               // "播放%s结束"

// Plays every job of ui.jobs().
PlayResult run_playback(EngineUi& ui, PlayServices& services);

// The counters of the last run (also while it runs), for the dialog's diagnostics and tests.
PlayResult last_play_result();
