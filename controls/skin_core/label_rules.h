// The label's rules without a window: the text format its style gives, and its flash state machine.
#pragma once
#include <cstdint>

namespace skin {

constexpr uint32_t kStaticRight = 0x2;          // SS_RIGHT
constexpr uint32_t kStaticCenterImage = 0x200;  // SS_CENTERIMAGE

// The DrawText format: the owner's fixed format when set; with SS_CENTERIMAGE centred (single line and
// vertically centred unless the text holds "\r\n"); else right-aligned with SS_RIGHT, else left
// (SS_CENTER alone stays left-aligned).
uint32_t label_text_format(uint32_t style, bool has_line_break, bool fixed, uint32_t fixed_format);

// Flashing on timer 1. Each flash setter first stops a timer started before; switching on restarts
// with phase 0; text flashing off ends the text flash, background flashing off only stops the timer.
// Every tick flips the phase. While text flashes in phase 0 the text takes the background brush's colour.
struct LabelFlash {
    enum Kind { kNone = 0, kText = 1, kBackground = 2 };
    int kind = kNone;
    bool phase = false;
    bool timer_on = false;  // a flash timer was started (it stays set)

    struct TimerChange {
        bool kill = false;
        bool start = false;
        unsigned period = 0;
    };
    TimerChange flash_text(bool on, unsigned period);
    TimerChange flash_background(bool on, unsigned period);
    void tick() { phase = !phase; }
    bool text_hidden() const { return kind == kText && !phase; }

private:
    TimerChange start(int flash_kind, unsigned period);
};

}  // namespace skin
