#include "engine/timing/pacer.h"
#include <chrono>
#include <thread>

namespace {

constexpr int kMarkMs = 200;

uint32_t steady_now() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
void steady_sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

Clock steady_clock() {
    Clock c;
    c.now_ms = steady_now;
    c.sleep_ms = steady_sleep;
    return c;
}

void Pacer::begin_job(const Clock& clock, const FrameRate& rate, int dialog_rate) {
    clock_ = clock;
    rate_ = rate;
    anchor_time_ = clock_.now();
    anchor_index_ = index_ = mark_index_ = 0;
    mark_interval_ = dialog_rate / 5 > 1 ? dialog_rate / 5 : 1;
}

void Pacer::after_picture() {
    ++index_;
    const uint32_t due = anchor_time_ + uint32_t(picture_time(rate_, index_ - anchor_index_, 1000));
    const int32_t wait = clock_diff(due, clock_.now());
    if (wait > 0) clock_.sleep(wait);
    if (index_ - mark_index_ >= mark_interval_) {
        mark_index_ = index_;
        const uint32_t now = clock_.now();
        if (clock_diff(now, due) > kMarkMs) {
            anchor_time_ = now;
            anchor_index_ = index_;
        }
    }
}
