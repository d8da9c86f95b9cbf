#include "soundfx/core/chain.h"
#include <algorithm>
#include <climits>

namespace soundfx {

ChainList::ChainList() {
    for (int id = 1; id <= 16; ++id) ids_.push_back(id);
}

int ChainList::read(int* ids, int capacity) {
    std::lock_guard<std::mutex> guard(lock_);
    const int n = std::min<int>(capacity, int(ids_.size()));
    for (int i = 0; i < n; ++i) ids[i] = ids_[i];
    return n;
}

void ChainList::replace(const int* ids, int count) {
    std::lock_guard<std::mutex> guard(lock_);
    ids_.assign(ids, ids + std::clamp(count, 0, kMaxRows));
}

int chain_id_from_text(const char* text) {
    if (!text) return 0;
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' || *text == '\f') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long v = 0;
    while (*text >= '0' && *text <= '9') {
        v = v * 10 + (*text++ - '0');
        if (v > INT_MAX) v = INT_MAX;
    }
    return int(negative ? -v : v);
}

}  // namespace soundfx
