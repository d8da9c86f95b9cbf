// Pacing of a job without sound at normal speed: each decoded picture waits until its own time,
// start + i·1000/r with the exact rate, so a long job keeps the source's pace. A job with sound is
// paced by the wave output instead.
#pragma once
#include <cstdint>
#include "engine/timing/clock.h"
#include "engine/timing/frame_timing.h"

class Pacer {
public:
    // Starts a job's schedule now. dialog_rate is the whole-number rate: every dialog_rate / 5
    // pictures (a 200 ms mark at whole rates) the schedule is checked, and restarted from the mark
    // when decoding has fallen more than a mark behind, so a stall is not followed by a burst.
    void begin_job(const Clock& clock, const FrameRate& rate, int dialog_rate);
    // After a decoded picture: sleeps until the next picture is due.
    void after_picture();
    // A pause of `ms` milliseconds: the schedule moves on by that much.
    void hold(uint32_t ms) { anchor_time_ += ms; }

    int64_t pictures() const { return index_; }

private:
    Clock clock_;
    FrameRate rate_;
    uint32_t anchor_time_ = 0;
    int64_t anchor_index_ = 0;
    int64_t index_ = 0;
    int64_t mark_index_ = 0;
    int mark_interval_ = 1;
};
