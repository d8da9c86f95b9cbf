// The order of the effect chain. Processing asks a ChainOrder for the ids of its first rows before it
// takes the engine's lock, so the order may come from anywhere (the window's list, a cache of it) without
// the lock ever being held while it is read. ChainList is the order kept in memory: ids 1..16 until a
// settings record replaces them.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

namespace soundfx {

class ChainOrder {
public:
    virtual ~ChainOrder() = default;
    // The ids of the first rows, top first, at most `capacity` of them (a row that is not a number
    // reads as 0); returns how many were written.
    virtual int read(int* ids, int capacity) = 0;
    // The rows become these ids, in order (settings record).
    virtual void replace(const int* ids, int count) = 0;
};

class ChainList : public ChainOrder {
public:
    static constexpr int kMaxRows = 255;
    ChainList();
    int read(int* ids, int capacity) override;
    void replace(const int* ids, int count) override;

private:
    std::mutex lock_;
    std::vector<int> ids_;
};

// The id a row's text stands for, read as atoi reads it ("" and "abc" give 0, "17" gives 17).
int chain_id_from_text(const char* text);

}  // namespace soundfx
