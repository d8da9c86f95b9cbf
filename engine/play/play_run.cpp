#include "engine/play/play_run.h"
#include <atomic>
#include <mutex>
#include "base/message_seam.h"
#include "engine/audio/audio_path.h"
#include "engine/input/input_reader.h"
#include "engine/outside/outside_calls.h"
#include "engine/play/play_branch.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/wave/wave_out.h"

const char* const kPlayCaption = "多媒体文件播放";
const char* const kPlayWindowFailedBox = "初始化文件%s Directx 窗口失败 无法播放";
const char* const kPlayWindowFailed = "Directx 窗口失败 无法播放";
const char* const kPlayNoSound = "该多媒体文件无音频";
const char* const kPlaying = "正在播放%s";
const char* const kPlayingAt = "正在播放%s [%.2f]秒";
const char* const kPlayed = "播放%s结束";

namespace {

const char* const kNoLibraries = "装载解码动态库失败";

std::mutex g_result_lock;
PlayResult g_result;
std::atomic<int64_t> g_decoded{0}, g_shown{0}, g_late{0};

class Run {
public:
    Run(EngineUi& ui, PlayServices& services) : ui_(ui), services_(services) {}

    PlayResult run() {
        g_decoded = g_shown = g_late = 0;
        if (!services_.bind_libraries()) {
            ui_.set_status(kNoLibraries);
            result_.end = PlayEnd::kNoLibraries;
            return result_;
        }
        set_up();
        result_.end = PlayEnd::kCompleted;
        const JobTable& table = ui_.jobs();
        for (int i = 0; i < table.count && i < kMaxJobs && flag_on(g_busy); ++i) {
            if (!hold_while_paused()) break;
            const MediaJob& job = table.jobs[i];
            ui_.set_current_path(job.path);
            if (services_.open_window(job) < 0) {
                const std::string box = path_text(kPlayWindowFailedBox, job.path);
                seam::report(box.c_str(), kPlayCaption, seam::kOk);
                ui_.set_status(kPlayWindowFailed);
                result_.end = PlayEnd::kFailed;
                break;
            }
            PlayContext context;
            context.job = &job;
            context.job_index = i;
            context.job_count = table.count;
            context.ui = &ui_;
            context.services = &services_;
            context.decoded = &g_decoded;
            context.shown = &g_shown;
            context.late = &g_late;
            const PlayBranchEnd branch = run_play_branch(context);
            services_.release_window();
            if (branch == PlayBranchEnd::kFailed) {
                result_.end = PlayEnd::kFailed;
                break;
            }
        }
        if (result_.end == PlayEnd::kCompleted && !flag_on(g_busy)) result_.end = PlayEnd::kStopped;
        end();
        return result_;
    }

private:
    void set_up() {
        set_flag(g_busy, true);
        set_flag(g_write_output, false);
        set_flag(g_paused, false);
        services_.prepare_pictures();
        ui_.enable(kCtlPlay, false);
        ui_.enable(kCtlConvert, false);
        ui_.enable(kCtlTrim, false);
        ui_.set_pressed(kCtlVideo, false);
        ui_.set_pressed(kCtlAudio, false);
        ui_.enable(kCtlVideo, false);
        ui_.enable(kCtlAudio, false);
        if (!g_pcm_buf) pcm_buffer_allocate();
        audio_release();
        g_speed_ratio = 1.0;
        set_flag(g_play_sound, true);
        set_flag(g_show_video, true);
        set_flag(g_effects_window, false);
    }

    void end() {
        services_.unload_libraries();
        pcm_buffer_free();
        audio_release();
        frame_buffer_free();
        set_flag(g_busy, false);
        set_flag(g_write_output, false);
        ui_.set_bars(0, 0);
        services_.hide_window();
        ui_.set_pressed(kCtlVideo, false);
        ui_.set_pressed(kCtlAudio, false);
        ui_.enable(kCtlVideo, true);
        ui_.enable(kCtlAudio, true);
        if (g_outside.tolmmix_setdisp) g_outside.tolmmix_setdisp(0);
        ui_.enable(kCtlPlay, true);
        ui_.enable(kCtlConvert, true);
        ui_.enable(kCtlTrim, true);
        ui_.repaint(kCtlPreview);
        ui_.repaint(kCtlLabel2);
    }

    EngineUi& ui_;
    PlayServices& services_;
    PlayResult result_;
};

}  // namespace

PlayResult run_playback(EngineUi& ui, PlayServices& services) {
    Run run(ui, services);
    PlayResult result = run.run();
    result.decoded = g_decoded;
    result.shown = g_shown;
    result.late = g_late;
    std::lock_guard<std::mutex> hold(g_result_lock);
    g_result = result;
    return result;
}

PlayResult last_play_result() {
    std::lock_guard<std::mutex> hold(g_result_lock);
    PlayResult r = g_result;
    r.decoded = g_decoded;
    r.shown = g_shown;
    r.late = g_late;
    return r;
}
