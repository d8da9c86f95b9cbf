// The sound-effects button: what each press asks of the library's window and leaves in the run's flag.
#include <gtest/gtest.h>
#include "engine/state/effects_switch.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"

namespace {

TEST(EffectsSwitch, EachPressByRunFlagAndWindow) {
    struct Case {
        bool busy, flag;
        EffectsWindow window;
        int step;
        bool flag_after;
    } cases[] = {
        // Outside a run nothing changes, whatever the window.
        {false, false, EffectsWindow::kHidden, kEffectsOutsideRun, false},
        {false, true, EffectsWindow::kShown, kEffectsOutsideRun, true},
        {false, true, EffectsWindow::kNotBound, kEffectsOutsideRun, true},
        // No library: the flag still inverts, nothing is asked.
        {true, false, EffectsWindow::kNotBound, kEffectsNoStep, true},
        {true, true, EffectsWindow::kNotBound, kEffectsNoStep, false},
        // A hidden window is shown and the flag set, even when the press cleared it (the window had
        // been closed by its own close box while the flag said shown).
        {true, false, EffectsWindow::kHidden, 1, true},
        {true, true, EffectsWindow::kHidden, 1, true},
        // A shown window follows the inverted flag.
        {true, true, EffectsWindow::kShown, 0, false},
        {true, false, EffectsWindow::kShown, 1, true},
    };
    for (const Case& c : cases) {
        set_flag(g_busy, c.busy);
        set_flag(g_effects_window, c.flag);
        EXPECT_EQ(c.step, press_effects_switch(c.window)) << c.busy << c.flag << int(c.window);
        EXPECT_EQ(c.flag_after, flag_on(g_effects_window)) << c.busy << c.flag << int(c.window);
    }
    set_flag(g_busy, false);
    set_flag(g_effects_window, false);
}

TEST(EffectsSwitch, PressesDuringARunShowHideAndShowAgain) {
    set_flag(g_busy, true);
    set_flag(g_effects_window, false);
    bool shown = false;
    auto press = [&] {
        const int step = press_effects_switch(shown ? EffectsWindow::kShown : EffectsWindow::kHidden);
        if (step >= 0) shown = step == 1;
        return step;
    };
    EXPECT_EQ(1, press());
    EXPECT_EQ(0, press());
    EXPECT_EQ(1, press());
    shown = false;  // closed by its close box
    EXPECT_EQ(1, press()) << "a closed window comes back at the next press";
    EXPECT_TRUE(flag_on(g_effects_window));
    EXPECT_EQ(0, press());
    set_flag(g_busy, false);
    set_flag(g_effects_window, false);
}

}  // namespace
