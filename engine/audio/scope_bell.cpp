#include "engine/audio/scope_bell.h"
#include <condition_variable>
#include <mutex>

namespace {
std::mutex g_lock;
std::condition_variable g_rung;
unsigned g_rings = 0;              // guarded by g_lock
std::atomic<int> g_waiters{0};
}  // namespace

void scope_bell_ring() {
    // Pairs with the waiter's count of itself: either the ringer sees the waiter or the waiter sees
    // the new count.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (g_waiters.load(std::memory_order_seq_cst) == 0) return;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        ++g_rings;
    }
    g_rung.notify_all();
}

bool scope_bell_wait(const std::atomic<int>& count, int seen, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock<std::mutex> hold(g_lock);
    g_waiters.fetch_add(1, std::memory_order_seq_cst);
    const unsigned rings = g_rings;
    bool woken = true;
    while (g_rings == rings && count.load(std::memory_order_seq_cst) == seen) {
        if (g_rung.wait_until(hold, deadline) == std::cv_status::timeout) {
            woken = false;
            break;
        }
    }
    g_waiters.fetch_sub(1, std::memory_order_seq_cst);
    return woken;
}

int scope_bell_waiters() { return g_waiters.load(); }
