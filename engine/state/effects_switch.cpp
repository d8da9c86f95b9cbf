#include "engine/state/effects_switch.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"

const char kEffectsOutsideRunText[] = "只有播放或转换状态下才能开启音频效果窗口";

int press_effects_switch(EffectsWindow window) {
    if (!flag_on(g_busy)) return kEffectsOutsideRun;
    toggle_flag(g_effects_window);
    if (window == EffectsWindow::kNotBound) return kEffectsNoStep;
    if (window == EffectsWindow::kHidden) {
        set_flag(g_effects_window, true);
        return 1;
    }
    return flag_on(g_effects_window) ? 1 : 0;
}
