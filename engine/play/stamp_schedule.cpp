#include "engine/play/stamp_schedule.h"

int64_t StampSchedule::wait_ms(int64_t stamp_ms) {
    const uint32_t now = clock_.now();
    const int64_t paused = paused_ms_ ? paused_ms_() : 0;
    const int64_t due = (stamp_ms - start_stamp_) + (paused - start_paused_);
    const int64_t wait = due - clock_diff(now, start_wall_);
    if (!started_ || stamp_ms < start_stamp_ || wait > kLongestWaitMs) {
        // The first picture, or stamps that went back or leap ahead (a damaged file): the schedule
        // starts again here rather than holding the play.
        started_ = true;
        start_wall_ = now;
        start_stamp_ = stamp_ms;
        start_paused_ = paused;
        return 0;
    }
    return wait;
}
