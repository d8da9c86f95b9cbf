#include "engine/play/play_branch.h"
#include <algorithm>
#include <cstdio>
#include "engine/audio/audio_path.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "engine/outside/outside_calls.h"
#include "engine/play/stamp_schedule.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/timing/frame_timing.h"
#include "engine/timing/pacer.h"
#include "engine/wave/wave_out.h"

namespace {

constexpr int kReportEvery = 15;
constexpr int kPollMs = 10;

// A job's sound paces it when rate x channels reaches 10; below that the clock does.
bool paced_by_sound(const MediaJob& job) { return int64_t(job.sample_rate) * job.channels >= 10; }
bool has_sound(const MediaJob& job) { return int64_t(job.sample_rate) * job.channels > 0; }

// The schedule the pictures of the current job keep: the silent job's pacer, which a pause moves on.
Pacer g_pacer;
bool g_pacer_running = false;
// Milliseconds the run has been held by Pause.
int64_t g_paused_total = 0;
int64_t paused_total() { return g_paused_total; }
// The reader of the job being played: a Pause holds its source too when that runs by itself.
InputReader* g_playing_reader = nullptr;

// Pictures of a job with sound: picture i is shown when the wave output has played i/r seconds of the
// job's sound, so picture and sound stay together whatever the device holds queued. While nothing is
// queued (the file's sound has not come yet, or has a gap) the sound's clock stands, and the pictures
// go on by the wall clock from where it stood.
class SoundSchedule {
public:
    void begin(const FrameRate& rate) {
        rate_ = rate;
        wall_ = g_outside.clock.now();
        sound_ = 0;
    }
    // Waits until picture `index` is due; false when the run was stopped meanwhile.
    bool wait_for(int64_t index) {
        const int64_t due = picture_time(rate_, index, 1000);
        for (;;) {
            if (!flag_on(g_busy)) return false;
            if (flag_on(g_paused)) {
                if (!hold_while_paused()) return false;
                wall_ = g_outside.clock.now();
                continue;
            }
            const WaveClock c = wave_out_clock();
            const uint32_t now = g_outside.clock.now();
            int64_t at;
            if (c.queued_ms > 0 || c.played_ms > sound_) {
                at = c.played_ms;
                if (c.played_ms != sound_ || c.queued_ms > 0) sound_ = c.played_ms, wall_ = now;
            } else {
                at = sound_ + clock_diff(now, wall_);
            }
            if (at >= due) return true;
            g_outside.clock.sleep(int(std::min<int64_t>(due - at, kPollMs)));
        }
    }

private:
    FrameRate rate_;
    uint32_t wall_ = 0;
    int64_t sound_ = 0;
};

class PlaySteps {
public:
    PlaySteps(PlayContext& c, const MediaJob& job) : c_(c), job_(job), stamps_(g_outside.clock, paused_total) {
        rate_ = exact_frame_rate(job.frame_rate);
        dialog_rate_ = dialog_frame_rate(job.frame_rate);
        by_sound_ = paced_by_sound(job);
        if (by_sound_) {
            sound_.begin(rate_);
        } else {
            g_pacer.begin_job(g_outside.clock, rate_, dialog_rate_);
            g_pacer_running = true;
        }
    }
    ~PlaySteps() { g_pacer_running = false; }

    // One decoded picture: progress, the window, the count, the pacing. `stamp_ms`: the picture's own
    // time when its source gives one (a silent job then keeps that time), else -1. False once the run
    // is stopped.
    bool picture(const PictureView& picture, int64_t stamp_ms = -1) {
        if (job_pictures_ % kReportEvery == 0) report();
        if (!flag_on(g_busy)) return false;
        if (by_sound_ && !sound_.wait_for(job_pictures_)) return false;
        const bool stamped = !by_sound_ && stamp_ms >= 0;
        if (stamped && !wait_for_stamp(stamp_ms)) return false;
        if (flag_on(g_show_video)) {
            c_.services->show_picture(picture);
            ++*c_.shown;
            count_lateness();
        }
        ++*c_.decoded;
        ++job_pictures_;
        if (!by_sound_) {
            if (flag_on(g_paused) && !hold_while_paused()) return false;
            if (!stamped) g_pacer.after_picture();
        }
        return flag_on(g_busy);
    }

    void bars(double fraction) {
        const int value = file_bar_value(fraction);
        if (value <= last_bar_) return;
        last_bar_ = value;
        c_.ui->set_bars(value, overall_bar_value(fraction, c_.job_index, c_.job_count));
    }

private:
    bool wait_for_stamp(int64_t stamp_ms) {
        for (;;) {
            if (!flag_on(g_busy)) return false;
            if (flag_on(g_paused) && !hold_while_paused()) return false;
            const int64_t wait = stamps_.wait_ms(stamp_ms);
            if (wait <= 0) return true;
            g_outside.clock.sleep(int(std::min<int64_t>(wait, kPollMs)));
        }
    }

    // A picture handed over more than a picture period after its time.
    void count_lateness() {
        const uint32_t now = g_outside.clock.now();
        if (!timed_) {
            timed_ = true;
            first_wall_ = now;
            first_paused_ = g_paused_total;
            return;
        }
        const int64_t due = picture_time(rate_, job_pictures_, 1000) + (g_paused_total - first_paused_);
        const int64_t at = clock_diff(now, first_wall_);
        if (c_.late && at - due > picture_time(rate_, 1, 1000)) ++*c_.late;
    }

    void report() {
        const double seconds = double(job_pictures_) / double(dialog_rate_ > 0 ? dialog_rate_ : 1);
        char text[kJobPathSize + 64];
        std::snprintf(text, sizeof text, kPlayingAt, job_.path, seconds);
        c_.ui->set_status(text);
        c_.ui->notify(kNoticeClock, intptr_t(seconds));
    }

    PlayContext& c_;
    const MediaJob& job_;
    FrameRate rate_;
    int dialog_rate_ = 15;
    bool by_sound_ = false;
    SoundSchedule sound_;
    StampSchedule stamps_;
    int64_t job_pictures_ = 0;
    int last_bar_ = -1;
    bool timed_ = false;
    uint32_t first_wall_ = 0;
    int64_t first_paused_ = 0;
};

// `rate` and `channels`: the sound as the reader decodes it (the job's, or what its decoder reports).
void set_up_sound(EngineUi& ui, const MediaJob& job, int rate, int channels) {
    if (!has_sound(job)) {
        ui.set_label(kPlayNoSound);
        return;
    }
    g_out_rate = rate;
    g_out_channels = channels;
    // The sound's own rate and channels: the audio path converts nothing, the speed ratio is 1.0.
    audio_set_up_job(rate, channels);
    wave_out_open(pcm_wave_format(rate, channels));
    if (g_outside.tolmmix_init) g_outside.tolmmix_init(rate, channels, 0);
}

}  // namespace

bool hold_while_paused() {
    if (!flag_on(g_paused) || !flag_on(g_busy)) return flag_on(g_busy);
    const uint32_t start = g_outside.clock.now();
    wave_out_pause(true);
    if (g_playing_reader) g_playing_reader->hold(true);
    while (flag_on(g_paused) && flag_on(g_busy)) g_outside.clock.sleep(kPollMs);
    if (g_playing_reader) g_playing_reader->hold(false);
    wave_out_pause(false);
    const int32_t held = clock_diff(g_outside.clock.now(), start);
    g_paused_total += held;
    if (g_pacer_running) g_pacer.hold(uint32_t(held));
    return flag_on(g_busy);
}

PlayBranchEnd run_play_branch(PlayContext& c) {
    const MediaJob& job = *c.job;
    EngineUi& ui = *c.ui;
    const InputCalls& calls = c.calls ? *c.calls : g_input_calls;

    std::string error;
    std::unique_ptr<InputReader> reader = open_branch_reader(job, calls, &error, true);
    if (!reader) {
        ui.set_status(error.c_str());
        return PlayBranchEnd::kFailed;
    }
    // A notice of an open that goes on (a DirectShow file whose sound graph failed, a sound the
    // reader cannot decode): the job plays without that sound.
    if (!reader->error().empty()) ui.set_label(reader->error().c_str());
    if (!reader->notice().empty()) ui.set_label(reader->notice().c_str());
    ui.set_status(path_text(kPlaying, job.path).c_str());
    int sound_rate = job.sample_rate, sound_channels = job.channels;
    int decoded_rate = 0, decoded_channels = 0;
    if (reader->sound_format(&decoded_rate, &decoded_channels) && decoded_rate > 0 &&
        (decoded_channels == 1 || decoded_channels == 2))
        sound_rate = decoded_rate, sound_channels = decoded_channels;
    set_up_sound(ui, job, sound_rate, sound_channels);

    PlaySteps steps(c, job);
    g_playing_reader = reader.get();
    MediaOutput out = shared_media_output();
    out.pcm_rate = sound_rate;
    out.pcm_channels = sound_channels;
    int pictures = 0;
    bool sound = false;
    out.on_picture = [&](const PictureView& picture) {
        ++pictures;
        steps.picture(picture, reader->picture_time_ms());
    };
    out.on_sound = [&sound](const SoundBlock& block) {
        if (block.byte_size() > 0) sound = true;
        // Played as it is: the job's own rate and channels, speed 1.0.
        audio_take_block(block);
    };

    PlayBranchEnd end = PlayBranchEnd::kDone;
    for (;;) {
        if (!hold_while_paused()) {
            end = PlayBranchEnd::kStopped;
            break;
        }
        const ReadStatus status = reader->read_next(out);
        if (status == ReadStatus::kFailed) {
            error = reader->error();
            end = PlayBranchEnd::kFailed;
            break;
        }
        steps.bars(reader->position());
        if (!flag_on(g_busy)) {
            end = PlayBranchEnd::kStopped;
            break;
        }
        if (status == ReadStatus::kEnd) {
            reader->flush(out);
            break;
        }
    }
    out.flush_sound();
    g_pcm_len = 0;
    g_playing_reader = nullptr;
    reader->close();
    frame_buffer_free();
    // The sound queued at the device plays out before the job counts as played (Stop drops it).
    if (has_sound(job)) {
        if (end == PlayBranchEnd::kStopped) wave_out_stop();
        else wave_out_close();
    }
    if (end == PlayBranchEnd::kDone && pictures == 0 && !sound) {
        error = input_text::kUnsupported;
        end = PlayBranchEnd::kFailed;
    }
    if (end == PlayBranchEnd::kFailed) {
        ui.set_status(error.c_str());
        return end;
    }
    ui.set_status(path_text(kPlayed, job.path).c_str());
    return end;
}
