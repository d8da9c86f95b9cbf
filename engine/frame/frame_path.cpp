#include "engine/frame/frame_path.h"
#include <cstdio>
#include "engine/frame/compose.h"
#include "engine/output/output_session.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"

FramePath g_frame_path;

namespace {

// A job counts as silent for pacing when rate x channels is below 10: the wave output cannot pace it.
bool silent_for_pacing(const MediaJob& job) { return int64_t(job.sample_rate) * job.channels < 10; }

int size_adjust_mode(int out_format) {
    return out_format == kOutAvi ? cfg_avi_size_adjust : out_format == kOutMp4 ? cfg_mp4_size_adjust : cfg_3gp_size_adjust;
}

}  // namespace

void FramePath::begin_run(EngineUi& ui, const Clock& clock, bool normal_speed, int job_count) {
    ui_ = &ui;
    clock_ = clock;
    normal_speed_ = normal_speed;
    job_count_ = job_count > 0 ? job_count : 1;
    decoded_ = 0;
}

void FramePath::begin_job(const MediaJob& job, int job_index) {
    job_ = job;
    job_index_ = job_index;
    g_output.begin_job(job);
    last_bar_ = -1;
    paced_ = normal_speed_ && silent_for_pacing(job);
    if (paced_) pacer_.begin_job(clock_, g_output.job_rate(), g_output.dialog_rate());
}

void FramePath::end_job() {
    scratch_ = CRgbImage(0, 0);
}

void FramePath::report(const FrameProgress& progress) {
    if (!ui_) return;
    const int rate = g_output.dialog_rate() > 0 ? g_output.dialog_rate() : 1;
    const double seconds = double(decoded_) / double(rate);
    char text[kJobPathSize + 64];
    std::snprintf(text, sizeof text, flag_on(g_write_output) ? "正在转换%s [%.2f]秒" : "正在播放没有转换%s [%.2f]秒",
                  job_.path, seconds);
    ui_->notify(kNoticeClock, intptr_t(seconds));
    ui_->set_status(text);
    if (progress.bars_with_report && progress.fraction >= 0)
        ui_->set_bars(file_bar_value(progress.fraction), overall_bar_value(progress.fraction, job_index_, job_count_));
}

bool FramePath::step(const PictureView& decoded, const FrameProgress& progress) {
    if (progress.report) report(progress);
    if (!flag_on(g_busy)) return false;
    if (decoded.format == PixelFormat::kBgr24 && picture::valid(decoded)) {
        if (!flag_on(g_write_output)) {
            if (flag_on(g_show_video) && ui_) ui_->draw_preview(decoded);
        } else {
            const PictureView picture = compose_output_picture(decoded, g_output.width(), g_output.height(),
                                                               size_adjust_mode(g_output.out_format()), scratch_);
            if (flag_on(g_show_video) && ui_) ui_->draw_preview(picture);
            g_output.write_picture(picture);
        }
    }
    ++decoded_;
    if (paced_) pacer_.after_picture();
    if (progress.fraction >= 0) update_bars(progress.fraction);
    return true;
}

void FramePath::scale_hint(int* width, int* height) const {
    const bool stretched = flag_on(g_write_output) && size_adjust_mode(g_output.out_format()) == kAdjustStretch &&
                           g_output.width() > 0 && g_output.height() > 0;
    *width = stretched ? g_output.width() : 0;
    *height = stretched ? g_output.height() : 0;
}

void FramePath::update_bars(double fraction) {
    const int value = file_bar_value(fraction);
    if (value <= last_bar_) return;
    last_bar_ = value;
    if (ui_) ui_->set_bars(value, overall_bar_value(fraction, job_index_, job_count_));
}
