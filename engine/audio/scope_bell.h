// The scope thread's wake-up. A pass of the scope can only find work once the feed has put a new
// block into the level buffers, so the thread waits for the feed's ring instead of looking every
// 10 ms: each wake-up costs a thread switch, and on a busy machine those dominate its time.
#pragma once
#include <atomic>
#include <chrono>

// Wakes a waiting scope thread (the feed after a new block; Exit after clearing g_scope_running).
// Costs one atomic read when nobody waits.
void scope_bell_ring();

// Waits until `count` differs from `seen` or the bell rings, at most `limit`. Returns false when the
// limit passed.
bool scope_bell_wait(const std::atomic<int>& count, int seen, std::chrono::milliseconds limit);

// How many threads wait now (for tests that must ring only once somebody waits).
int scope_bell_waiters();
