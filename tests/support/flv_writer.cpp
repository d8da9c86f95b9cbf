#include "flv_writer.h"

namespace flv_test {

namespace {
void put_be(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}
}  // namespace

FlvWriter::FlvWriter(uint8_t flags, uint32_t header_size) {
    bytes_ = {'F', 'L', 'V', 1, flags};
    put_be(bytes_, header_size, 4);
    if (header_size > bytes_.size()) bytes_.resize(header_size, 0);
}

size_t FlvWriter::tag(int type, uint32_t time_ms, const std::vector<uint8_t>& data, uint32_t stated_size) {
    const uint32_t size = stated_size == ~0u ? uint32_t(data.size()) : stated_size;
    put_be(bytes_, previous_, 4);
    bytes_.push_back(uint8_t(type));
    put_be(bytes_, size, 3);
    put_be(bytes_, time_ms & 0xFFFFFF, 3);
    bytes_.push_back(uint8_t(time_ms >> 24));
    put_be(bytes_, 0, 3);
    const size_t at = bytes_.size();
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    previous_ = 11 + uint32_t(data.size());
    return at;
}

std::vector<uint8_t> FlvWriter::file() const {
    std::vector<uint8_t> out = bytes_;
    put_be(out, previous_, 4);
    return out;
}

}  // namespace flv_test
