#include "pixel_store.h"
#include <atomic>
#include <cstdlib>

namespace {

class MemoryStore : public PixelStore {
public:
    explicit MemoryStore(uint8_t* bits) : bits_(bits) {}
    ~MemoryStore() override { std::free(bits_); }
    uint8_t* bits() override { return bits_; }

private:
    uint8_t* bits_;
};

std::atomic<PixelStoreFactory> g_default_store{make_memory_store};

}  // namespace

std::unique_ptr<PixelStore> make_memory_store(int, int, size_t bytes) {
    uint8_t* bits = static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
    if (!bits) return nullptr;
    return std::make_unique<MemoryStore>(bits);
}

void set_default_pixel_store(PixelStoreFactory factory) {
    g_default_store.store(factory ? factory : make_memory_store, std::memory_order_release);
}

PixelStoreFactory default_pixel_store() { return g_default_store.load(std::memory_order_acquire); }
