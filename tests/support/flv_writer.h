// FLV files built tag by tag for tests: a header, then records of the previous tag's size and one tag
// (type, 24-bit size, time stamp with its upper 8 bits in the extended byte, stream id 0, data).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace flv_test {

class FlvWriter {
public:
    // flags: 4 = has sound, 1 = has pictures. A header size above 9 pads the header with zeros.
    explicit FlvWriter(uint8_t flags = 5, uint32_t header_size = 9);
    // Appends a tag whose size field states stated_size (the data's size unless given); returns the
    // file position of its data.
    size_t tag(int type, uint32_t time_ms, const std::vector<uint8_t>& data, uint32_t stated_size = ~0u);
    size_t video(uint32_t time_ms, const std::vector<uint8_t>& data) { return tag(9, time_ms, data); }
    size_t audio(uint32_t time_ms, const std::vector<uint8_t>& data) { return tag(8, time_ms, data); }
    // The file so far, with the last tag's size record after it.
    std::vector<uint8_t> file() const;
    // The bytes so far (without the closing size record), to change in place.
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t previous_ = 0;
};

}  // namespace flv_test
