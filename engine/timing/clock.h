// The clock the engine paces by: milliseconds that wrap at 2^32 (timeGetTime in the program) and a
// sleep. Tests give a fake one.
#pragma once
#include <cstdint>

struct Clock {
    uint32_t (*now_ms)() = nullptr;
    void (*sleep_ms)(int ms) = nullptr;

    uint32_t now() const { return now_ms ? now_ms() : 0; }
    void sleep(int ms) const {
        if (ms > 0 && sleep_ms) sleep_ms(ms);
    }
};

// A steady clock and sleep of the standard library (no Win32 needed).
Clock steady_clock();

// Signed distance from b to a on the wrapping millisecond clock.
inline int32_t clock_diff(uint32_t a, uint32_t b) { return int32_t(a - b); }
