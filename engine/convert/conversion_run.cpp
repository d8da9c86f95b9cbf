#include "engine/convert/conversion_run.h"
#include <cstdio>
#include "base/message_seam.h"
#include "engine/audio/audio_path.h"
#include "engine/convert/output_size.h"
#include "engine/frame/frame_path.h"
#include "engine/output/output_session.h"
#include "engine/outside/outside_calls.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/wave/wave_out.h"

const char* const kNoLibrariesText = "装载解码动态库失败";
const char* const kFastModeText = "选择快速转换 视频关闭 音频关闭";
const char* const kDoneAskText = "转换完成,输出文件保存在%s 是否检查播放转换效果(Y/N)";
const char* const kDoneText = "转换完成,输出文件保存在%s";

namespace {

bool has_sound(const MediaJob& job) { return int64_t(job.sample_rate) * job.channels >= 1; }

// Waits while paused; false when the run has been stopped.
bool wait_while_paused() {
    while (flag_on(g_busy) && flag_on(g_paused)) g_outside.clock.sleep(10);
    return flag_on(g_busy);
}

class Run {
public:
    Run(EngineUi& ui, ConversionServices& services) : ui_(ui), services_(services) {}
    RunResult run();

private:
    bool set_up();
    bool open_output(const MediaJob& job, int index);
    void end();

    EngineUi& ui_;
    ConversionServices& services_;
    int format_ = 0;
    bool merged_ = false;
    bool fast_ = false;
    bool output_made_ = false;
    bool wave_open_ = false;
    OutputNamer namer_;
    RunResult result_;
};

bool Run::set_up() {
    const JobTable& table = ui_.jobs();
    format_ = g_out_format.load();
    merged_ = cfg_merge_mode == 1;
    if (table.count > 0) choose_output_size(format_, table.jobs[0]);

    ui_.open_preview();
    fast_ = ui_.speed_mode() >= 1;
    ui_.enable(kCtlPlay, false);
    ui_.enable(kCtlConvert, false);
    ui_.enable(kCtlTrim, true);

    g_output.begin_run(format_, chosen_video_codec(format_), merged_);
    if (!g_output.set_up_sound(false)) return false;
    if (g_outside.tolmmix_init) g_outside.tolmmix_init(g_out_rate, g_out_channels, 0);

    if (!fast_) {
        set_flag(g_play_sound, true);
        set_flag(g_show_video, true);
        set_flag(g_scope_feed, true);
        wave_out_open(pcm_wave_format(g_out_rate, g_out_channels));
        wave_open_ = true;
        ui_.set_pressed(kCtlVideo, false);
        ui_.set_pressed(kCtlAudio, false);
    } else {
        set_flag(g_play_sound, false);
        set_flag(g_show_video, false);
        set_flag(g_scope_feed, false);
        ui_.set_pressed(kCtlVideo, true);
        ui_.set_pressed(kCtlAudio, true);
        ui_.enable(kCtlVideo, false);
        ui_.enable(kCtlAudio, false);
        ui_.set_label(kFastModeText);
    }

    set_flag(g_effects_window, false);
    if (!pcm_buffer_allocate()) return false;
    audio_release();
    g_speed_ratio = 1.0;

    if (table.count > 0 && !g_output.set_up_video(table.jobs[0])) return false;
    set_flag(g_write_output, true);
    set_flag(g_busy, true);
    set_flag(g_paused, false);
    g_frame_path.begin_run(ui_, g_outside.clock, !fast_, table.count);
    return true;
}

// The output of job `index`: made by job 0, kept by later jobs when merged, else closed and made anew.
bool Run::open_output(const MediaJob& job, int index) {
    if (index > 0 && merged_) return true;
    const std::string path = namer_.next(cfg_out_dir, services_.local_time(), job.path, format_);
    if (index > 0) {
        g_output.close_between_jobs();
        output_made_ = false;
        if (!g_output.set_up_video(job) || !g_output.set_up_sound(true)) return false;
    }
    if (path.empty()) {
        seam::report(output_failure_text(format_), kConverterCaption, seam::kOk);
        return false;
    }
    const bool sound = merged_ ? jobs_have_sound(ui_.jobs()) : has_sound(job);
    if (!g_output.create(path.c_str(), job, sound)) return false;
    output_made_ = true;
    result_.output_path = path;
    return true;
}

RunResult Run::run() {
    if (!services_.bind_libraries()) {
        ui_.set_status(kNoLibrariesText);
        result_.end = RunEnd::kNoLibraries;
        return result_;
    }
    result_.end = RunEnd::kCompleted;
    if (!set_up()) {
        result_.end = RunEnd::kFailed;
    } else {
        const JobTable& table = ui_.jobs();
        for (int i = 0; i < table.count && i < kMaxJobs; ++i) {
            const MediaJob& job = table.jobs[i];
            ui_.set_current_path(job.path);
            if (!open_output(job, i)) {
                result_.end = RunEnd::kFailed;
                break;
            }
            audio_set_up_job(job.sample_rate, job.channels);
            if (g_outside.tolmmix_datarefresh) g_outside.tolmmix_datarefresh();
            if (!wait_while_paused()) break;
            // The branch begins and ends the job on the frame path and ends its sound.
            const BranchEnd branch = services_.run_branch(job, i);
            if (branch == BranchEnd::kFailed) {
                result_.end = RunEnd::kFailed;
                break;
            }
            if (!flag_on(g_busy)) break;
        }
        if (result_.end == RunEnd::kCompleted && !flag_on(g_busy)) result_.end = RunEnd::kStopped;
    }
    end();
    return result_;
}

void Run::end() {
    set_flag(g_busy, false);
    // What the current output got, before closing writes the sound encoder's held frames.
    const bool output_empty = output_made_ && g_output.picture_seconds() <= 0 && g_output.sound_bytes() == 0;
    if (output_made_) audio_end_of_output();
    g_output.close_at_end();
    g_output.end_run();

    pcm_buffer_free();
    audio_release();
    frame_buffer_free();

    set_flag(g_busy, false);
    set_flag(g_write_output, false);
    ui_.set_bars(0, 0);
    ui_.close_preview();

    ui_.enable(kCtlPlay, true);
    ui_.enable(kCtlConvert, true);
    ui_.enable(kCtlTrim, true);
    ui_.set_pressed(kCtlVideo, false);
    ui_.set_pressed(kCtlAudio, false);
    if (g_outside.tolmmix_setdisp) g_outside.tolmmix_setdisp(0);
    set_flag(g_play_sound, true);
    set_flag(g_show_video, true);
    set_flag(g_scope_feed, true);
    ui_.enable(kCtlVideo, true);
    ui_.enable(kCtlAudio, true);
    if (wave_open_) wave_out_close();

    services_.unload_libraries();
    ui_.repaint(kCtlPreview);
    ui_.repaint(kCtlLabel2);
    tell_run_end(ui_, services_, result_, output_empty);
}

}  // namespace

void tell_run_end(EngineUi& ui, ConversionServices& services, RunResult& result, bool output_empty) {
    if (result.end == RunEnd::kFailed) {
        if (output_empty && !result.output_path.empty()) {
            services.remove_file(result.output_path);
            result.removed_empty_output = true;
        }
        return;
    }
    if (result.end == RunEnd::kNoLibraries || result.output_path.empty()) return;
    // A run stopped by Exit says nothing: the program is going away.
    if (flag_on(g_exiting)) return;
    const std::string& path = result.output_path;
    char text[1024];
    const std::string player = services.player_path();
    if (!player.empty()) {
        std::snprintf(text, sizeof text, kDoneAskText, path.c_str());
        if (seam::report(text, kConverterCaption, seam::kYesNo) == seam::kAnswerYes) services.start_player(player, path);
    } else {
        std::snprintf(text, sizeof text, kDoneText, path.c_str());
        seam::report(text, kConverterCaption, seam::kOk);
    }
    std::snprintf(text, sizeof text, kDoneText, path.c_str());
    ui.set_status(text);
}

RunResult run_conversion(EngineUi& ui, ConversionServices& services) {
    Run run(ui, services);
    return run.run();
}
