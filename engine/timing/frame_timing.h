// Picture timing from a job's frame rate. The rate is kept as an exact fraction, so the pictures of a
// long job end where the sound ends: picture i lasts round((i+1)·s/r) − round(i·s/r) units of a
// timescale s, and the durations of n pictures always add up to round(n·s/r).
#pragma once
#include <cstdint>

struct FrameRate {
    int64_t num = 15;  // frames ...
    int64_t den = 1;   // ... per this many seconds

    double fps() const { return double(num) / double(den); }
    bool operator==(const FrameRate& o) const { return num == o.num && den == o.den; }
    bool operator!=(const FrameRate& o) const { return !(*this == o); }
};

// Default rates for a job without one (a rate of 0 or less, or not a number).
constexpr int kDefaultFrameRate = 15;
constexpr int kDefaultAviFrameRate = 25;  // an AVI output of one file per job

// The exact rate of a job's `frame_rate`: the NTSC family (29.97, 23.976, 59.94 ...) becomes
// k·1000/1001, a whole rate stays whole, anything else is kept to a thousandth. A rate of 0 or less
// gives `fallback` frames a second.
FrameRate exact_frame_rate(double fps, int fallback = kDefaultFrameRate);

// The whole-number rate the texts, the H.264 encoder and the 200 ms marks use: the rate + 0.3,
// truncated; `fallback` for a rate of 0 or less.
int dialog_frame_rate(double fps, int fallback = kDefaultFrameRate);

// Start of picture i in units of 1/timescale s: round(i · timescale / rate).
int64_t picture_time(const FrameRate& rate, int64_t i, int64_t timescale);
// Duration of picture i in those units.
int picture_duration(const FrameRate& rate, int64_t i, int64_t timescale);
