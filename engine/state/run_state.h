// Program-wide run state shared by the interface thread and the workers. One thread writes a flag
// at a time and the others poll it, so relaxed atomics are enough: they only make sure every loop
// sees a change.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<uint8_t> g_busy;           // a playback or conversion is running
extern std::atomic<uint8_t> g_paused;         // the running job is paused
extern std::atomic<uint8_t> g_write_output;   // the running job encodes and stores its output
extern std::atomic<uint8_t> g_show_video;     // decoded frames are shown
extern std::atomic<uint8_t> g_play_sound;     // decoded sound goes to waveOut
extern std::atomic<uint8_t> g_scope_feed;     // decoded sound is copied for the wave scope
extern std::atomic<uint8_t> g_scope_running;  // the wave-scope thread runs
extern std::atomic<uint8_t> g_exiting;        // the program is ending: a run that ends asks and tells nothing

enum OutFormat : int { kOut3gp = 0, kOutMp4 = 1, kOutAvi = 2 };
extern std::atomic<int> g_out_format;  // output type of the next conversion

inline bool flag_on(const std::atomic<uint8_t>& flag) { return flag.load(std::memory_order_relaxed) != 0; }
inline void set_flag(std::atomic<uint8_t>& flag, bool on) { flag.store(on ? 1 : 0, std::memory_order_relaxed); }
inline void toggle_flag(std::atomic<uint8_t>& flag) { flag.fetch_xor(1, std::memory_order_relaxed); }
