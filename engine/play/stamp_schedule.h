// Pictures of a silent job whose source stamps them (FLV tag times, an SWF movie's frame period): each
// is shown when the wall clock has moved on from the first picture by as much as its stamp has, plus
// the time the run was held by Pause meanwhile. The job's recorded frame rate plays no part, so a
// source whose pictures come irregularly, or at another rate than its record says, keeps its own time.
#pragma once
#include <cstdint>
#include "engine/timing/clock.h"

class StampSchedule {
public:
    // `clock`: the wall clock; `paused_ms`: the run's total time held by Pause so far.
    StampSchedule(const Clock& clock, int64_t (*paused_ms)()) : clock_(clock), paused_ms_(paused_ms) {}

    // A picture due further ahead than this is taken as a leap in the stamps.
    static constexpr int64_t kLongestWaitMs = 5000;

    // Milliseconds until the picture stamped `stamp_ms` is due (0 or less: due now). The first
    // picture asked about is due at once and fixes the schedule's start; so does a stamp below the
    // start's or more than kLongestWaitMs ahead.
    int64_t wait_ms(int64_t stamp_ms);
    // Forgets the start (a new job).
    void reset() { started_ = false; }

private:
    Clock clock_;
    int64_t (*paused_ms_)();
    bool started_ = false;
    uint32_t start_wall_ = 0;
    int64_t start_stamp_ = 0, start_paused_ = 0;
};
