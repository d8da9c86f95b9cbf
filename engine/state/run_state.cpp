#include "run_state.h"

std::atomic<uint8_t> g_busy{0};
std::atomic<uint8_t> g_paused{0};
std::atomic<uint8_t> g_write_output{0};
std::atomic<uint8_t> g_show_video{0};
std::atomic<uint8_t> g_play_sound{0};
std::atomic<uint8_t> g_scope_feed{0};
std::atomic<uint8_t> g_scope_running{0};
std::atomic<uint8_t> g_exiting{0};
std::atomic<int> g_out_format{kOut3gp};
