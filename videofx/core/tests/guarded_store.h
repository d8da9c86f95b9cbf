// Test support: a pixel store with canary bytes before and after the picture, so that a routine
// writing outside its image is caught even where the sanitizers see only one large block.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>
#include "videofx/core/pixel_store.h"

class GuardedStore : public PixelStore {
public:
    static constexpr size_t kGuard = 64;
    static constexpr uint8_t kCanary = 0xC5;

    explicit GuardedStore(size_t bytes) : block_(bytes + 2 * kGuard, kCanary) {
        std::memset(block_.data() + kGuard, 0, bytes);
        ++live_count();
        all().push_back(this);
    }
    ~GuardedStore() override {
        if (!intact()) ++broken_count();
        --live_count();
        for (auto& p : all())
            if (p == this) p = nullptr;
    }
    uint8_t* bits() override { return block_.data() + kGuard; }
    bool intact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (block_[i] != kCanary || block_[block_.size() - 1 - i] != kCanary) return false;
        return true;
    }

    static std::unique_ptr<PixelStore> make(int, int, size_t bytes) { return std::make_unique<GuardedStore>(bytes); }
    // Stores whose canaries were found changed when they were freed, and those still alive.
    static int& broken_count() {
        static int n = 0;
        return n;
    }
    static int& live_count() {
        static int n = 0;
        return n;
    }
    static bool all_live_intact() {
        for (GuardedStore* s : all())
            if (s && !s->intact()) return false;
        return true;
    }

private:
    static std::vector<GuardedStore*>& all() {
        static std::vector<GuardedStore*> stores;
        return stores;
    }
    std::vector<uint8_t> block_;
};
