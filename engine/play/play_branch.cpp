#include "engine/play/play_branch.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <thread>
#include <vector>
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
// Decoded pictures a job with sound may keep waiting for their time: up to kAheadMs of them (fewer
// when they would take more memory than kAheadBytes, never fewer than 4), room for pictures muxed
// well before their sound (ffmpeg's program streams: up to a second, counting the sound's bursts).
constexpr int64_t kAheadMs = 3000;
constexpr size_t kAheadBytes = size_t(128) << 20;

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

// The clock the pictures of a job with sound keep: what the wave output has played of the job's
// sound. It starts with the job's first sound; while nothing is queued (the sound has not come yet,
// or has a gap) it stands as long as reading may go on, so the sound can come, and goes on by the
// wall clock, less the pauses, only once the pictures are starved of it (their queue full, or the
// file at its end). It never goes back.
class SoundClock {
public:
    void begin() {
        mark();
        played_ = at_ = 0;
        started_ = false;
    }
    // Whether the job's sound (or the wall clock, when starved) has set the clock going.
    bool started() const { return started_; }
    int64_t now(bool starved) {
        const WaveClock c = wave_out_clock();
        if (c.queued_ms > 0 || c.played_ms > played_) {
            started_ = true;
            played_ = c.played_ms;
            mark();
            at_ = std::max(at_, c.played_ms);
        } else if (starved) {
            started_ = true;
            at_ = std::max(at_, played_ + clock_diff(g_outside.clock.now(), wall_) - (g_paused_total - paused_));
        } else {
            // Standing: the wall clock counts only from when the pictures are starved.
            played_ = std::max(played_, at_);
            mark();
        }
        return at_;
    }

private:
    void mark() {
        wall_ = g_outside.clock.now();
        paused_ = g_paused_total;
    }
    uint32_t wall_ = 0;
    int64_t paused_ = 0;
    int64_t played_ = 0;
    int64_t at_ = 0;
    bool started_ = false;
};

// Decoded pictures of a job with sound waiting for their time, in buffers that are used again. A file
// may carry its pictures well before the sound they go with (ffmpeg's MPEG program streams: 0.6-0.7 s);
// the pictures wait here, not the sound, so the sound reaches the wave output only a ring ahead of
// what is heard and an effect switched during the play is heard at once.
class PictureQueue {
public:
    // `pictures`: how many the time kept ahead holds at the job's rate.
    explicit PictureQueue(size_t pictures) : pictures_(pictures), limit_(pictures) {}
    bool empty() const { return waiting_.empty(); }
    bool has_room() const { return waiting_.size() < limit_; }
    // A copy of the picture at the back; false when it cannot be kept.
    bool push(const PictureView& picture) {
        const size_t bytes = picture::byte_size(picture);
        if (bytes == 0 || !picture.data) return false;
        if (waiting_.empty() && spare_.empty())
            limit_ = std::max<size_t>(4, std::min(pictures_, kAheadBytes / bytes));
        std::vector<uint8_t> buffer;
        if (!spare_.empty()) {
            buffer.swap(spare_.back());
            spare_.pop_back();
        }
        try {
            buffer.resize(bytes);
        } catch (...) {
            return false;
        }
        std::memcpy(buffer.data(), picture.data, bytes);
        Entry entry;
        entry.view = picture;
        entry.bytes.swap(buffer);
        entry.view.data = entry.bytes.data();
        waiting_.push_back(std::move(entry));
        return true;
    }
    const PictureView& front() const { return waiting_.front().view; }
    void pop() {
        spare_.push_back(std::move(waiting_.front().bytes));
        waiting_.pop_front();
    }
    void clear() {
        waiting_.clear();
        spare_.clear();
    }

private:
    struct Entry {
        std::vector<uint8_t> bytes;
        PictureView view;
    };
    std::deque<Entry> waiting_;
    std::vector<std::vector<uint8_t>> spare_;
    size_t pictures_;
    size_t limit_;
};

class PlaySteps {
public:
    PlaySteps(PlayContext& c, const MediaJob& job)
        : c_(c),
          job_(job),
          queue_(pictures_ahead(exact_frame_rate(job.frame_rate))),
          stamps_(g_outside.clock, paused_total) {
        rate_ = exact_frame_rate(job.frame_rate);
        dialog_rate_ = dialog_frame_rate(job.frame_rate);
        by_sound_ = paced_by_sound(job);
        if (by_sound_) {
            clock_.begin();
            // While the reader's sound waits at the wave output, the pictures that come due are shown.
            wave_out_set_wait_hook(&PlaySteps::while_sound_waits, this);
            // The sound is held until the first picture is on the screen (its first showing can take
            // a tenth of a second), or until the output is full without one.
            wave_out_pause(true);
            held_ = true;
        } else {
            g_pacer.begin_job(g_outside.clock, rate_, dialog_rate_);
            g_pacer_running = true;
        }
    }
    ~PlaySteps() {
        g_pacer_running = false;
        if (by_sound_) wave_out_set_wait_hook(nullptr, nullptr);
        release();
    }

    // One decoded picture. A job with sound keeps it until the sound's clock reaches its time (and
    // reading waits while the queue is full); a silent job shows it and waits for the next one's time.
    // `stamp_ms`: the picture's own time when its source gives one (a silent job then keeps that
    // time), else -1. False once the run is stopped.
    bool picture(const PictureView& picture, int64_t stamp_ms = -1) {
        if (!flag_on(g_busy)) return false;
        if (by_sound_) {
            if (!queue_.push(picture)) {
                // Not kept (no memory): shown as soon as those before it have been, at its time.
                if (!keep_time(true)) return false;
                if (!wait_for_sound(job_pictures_)) return false;
                present(picture);
                return flag_on(g_busy);
            }
            return keep_time(false);
        }
        const bool stamped = stamp_ms >= 0;
        if (stamped && !wait_for_stamp(stamp_ms)) return false;
        present(picture);
        if (flag_on(g_paused) && !hold_while_paused()) return false;
        if (!stamped) g_pacer.after_picture();
        return flag_on(g_busy);
    }

    // At the end of the file: the pictures still waiting, each at its time. False once stopped.
    bool finish() {
        release();
        return !by_sound_ || keep_time(true);
    }
    // Stop: what waits is not shown.
    void drop() { queue_.clear(); }

    void bars(double fraction) {
        const int value = file_bar_value(fraction);
        if (value <= last_bar_) return;
        last_bar_ = value;
        c_.ui->set_bars(value, overall_bar_value(fraction, c_.job_index, c_.job_count));
    }

private:
    static void while_sound_waits(void* self) {
        PlaySteps& steps = *static_cast<PlaySteps*>(self);
        // Sound fed from a thread of its own (a DirectShow sound graph's) only lets the held sound
        // go: pictures are shown by the playback thread alone.
        if (std::this_thread::get_id() != steps.thread_) {
            steps.release();
            return;
        }
        if (!flag_on(g_busy)) return;
        if (flag_on(g_paused) && !hold_while_paused()) return;
        steps.show_due(false);
        steps.release();
    }

    // Lets the held sound play (a Pause meanwhile has let it already).
    void release() {
        if (!held_.exchange(false)) return;
        if (!flag_on(g_paused)) wave_out_pause(false);
    }

    static size_t pictures_ahead(const FrameRate& rate) {
        const int64_t pictures = rate.den > 0 ? kAheadMs * rate.num / (1000 * rate.den) : 0;
        return size_t(std::max<int64_t>(4, pictures));
    }

    // Whether picture `index` is due: the clock has started and reached its time.
    bool due(int64_t index, bool starved) {
        const int64_t at = clock_.now(starved);
        return clock_.started() && at >= picture_time(rate_, index, 1000);
    }

    // Shows the waiting pictures whose time the sound's clock has reached. `starved`: reading cannot
    // go on (the queue is full, or the file at its end).
    void show_due(bool starved) {
        while (!queue_.empty() && flag_on(g_busy) && due(job_pictures_, starved)) {
            present(queue_.front());
            queue_.pop();
        }
    }

    // Shows the waiting pictures as the sound reaches their time, until another may be read (or, with
    // `to_the_end`, until none is left).
    bool keep_time(bool to_the_end) {
        for (;;) {
            if (!flag_on(g_busy)) return false;
            if (flag_on(g_paused)) {
                if (!hold_while_paused()) return false;
                continue;
            }
            const bool starved = to_the_end || !queue_.has_room();
            if (starved) release();
            show_due(starved);
            if (!flag_on(g_busy)) return false;
            if (queue_.empty() || (!to_the_end && queue_.has_room())) return true;
            const int64_t wait =
                clock_.started() ? picture_time(rate_, job_pictures_, 1000) - clock_.now(starved) : kPollMs;
            g_outside.clock.sleep(int(std::max<int64_t>(1, std::min<int64_t>(wait, kPollMs))));
        }
    }

    // Waits until picture `index` is due on the sound's clock (the reading waits meanwhile); false
    // once stopped.
    bool wait_for_sound(int64_t index) {
        for (;;) {
            if (!flag_on(g_busy)) return false;
            if (flag_on(g_paused)) {
                if (!hold_while_paused()) return false;
                continue;
            }
            if (due(index, true)) return true;
            g_outside.clock.sleep(kPollMs);
        }
    }

    bool wait_for_stamp(int64_t stamp_ms) {
        for (;;) {
            if (!flag_on(g_busy)) return false;
            if (flag_on(g_paused) && !hold_while_paused()) return false;
            const int64_t wait = stamps_.wait_ms(stamp_ms);
            if (wait <= 0) return true;
            g_outside.clock.sleep(int(std::min<int64_t>(wait, kPollMs)));
        }
    }

    // A picture at its time: progress every 15th, the window, the counts.
    // The progress is said as the picture's time begins: for a silent job as it is handed to the
    // window (its schedule has begun), for a job with sound once it is on the screen (the sound is
    // held until then, and the window's first showing can take a tenth of a second).
    void present(const PictureView& picture) {
        const bool reported = job_pictures_ % kReportEvery == 0;
        if (reported && !by_sound_) report();
        if (!flag_on(g_busy)) return;
        if (flag_on(g_show_video)) {
            c_.services->show_picture(picture);
            ++*c_.shown;
            count_lateness();
        }
        if (reported && by_sound_) report();
        release();
        ++*c_.decoded;
        ++job_pictures_;
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
    SoundClock clock_;
    std::atomic<bool> held_{false};
    std::thread::id thread_ = std::this_thread::get_id();
    PictureQueue queue_;
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
    if (end == PlayBranchEnd::kDone && !steps.finish()) end = PlayBranchEnd::kStopped;
    steps.drop();
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
