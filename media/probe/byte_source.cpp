#include "media/probe/byte_source.h"
#include <algorithm>
#include <cstring>

int64_t MemoryByteSource::read_at(int64_t pos, void* out, int64_t n) {
    if (pos < 0 || n < 0) return -1;
    if (uint64_t(pos) >= size_) return 0;
    const int64_t count = std::min<int64_t>(n, int64_t(size_) - pos);
    std::memcpy(out, data_ + pos, size_t(count));
    return count;
}

int64_t FileByteSource::read_at(int64_t pos, void* out, int64_t n) {
    if (pos < 0 || n < 0) return -1;
    uint8_t* to = static_cast<uint8_t*>(out);
    // Large reads go straight to the file; small ones through the window.
    if (n > kWindow / 2) {
        if (!file_.seek(pos)) return -1;
        return file_.read(to, n);
    }
    const bool inside = window_pos_ >= 0 && pos >= window_pos_ && pos + n <= window_pos_ + int64_t(window_.size());
    if (!inside) {
        window_.resize(size_t(kWindow));
        if (!file_.seek(pos)) return -1;
        const int64_t got = file_.read(window_.data(), kWindow);
        if (got < 0) {
            window_pos_ = -1;
            return -1;
        }
        window_.resize(size_t(got));
        window_pos_ = pos;
    }
    const int64_t offset = pos - window_pos_;
    const int64_t count = std::min<int64_t>(n, int64_t(window_.size()) - offset);
    if (count <= 0) return 0;
    std::memcpy(to, window_.data() + offset, size_t(count));
    return count;
}
