// Bytes held back from one piece of a stream and joined with the next, for framers that cut a stream
// arriving in pieces of any size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mpeg {

class ByteCarry {
public:
    // The bytes held followed by the new ones (valid until the next call); nothing is held afterwards.
    const std::vector<uint8_t>& join(const uint8_t* data, size_t length) {
        work_.assign(held_.begin(), held_.end());
        work_.insert(work_.end(), data, data + length);
        held_.clear();
        return work_;
    }
    void hold(const uint8_t* from, const uint8_t* to) { held_.assign(from, to); }
    void add(const uint8_t* data, size_t length) { held_.insert(held_.end(), data, data + length); }
    void clear() { held_.clear(); }
    size_t size() const { return held_.size(); }
    const uint8_t* data() const { return held_.data(); }

private:
    std::vector<uint8_t> held_;
    std::vector<uint8_t> work_;
};

}  // namespace mpeg
