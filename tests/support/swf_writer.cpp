#include "tests/support/swf_writer.h"

namespace swf_test {

SwfWriter::SwfWriter(int width, int height, int fps, int frames) {
    // RECT with 15-bit fields: 0, width x 20, 0, height x 20 (twips).
    bits(15, 5);
    for (int v : {0, width * 20, 0, height * 20}) bits(uint32_t(v), 15);
    flush_bits();
    body_.push_back(0);  // frame rate 8.8
    body_.push_back(uint8_t(fps));
    body_.push_back(uint8_t(frames));
    body_.push_back(uint8_t(frames >> 8));
    tag(60, {1, 0, uint8_t(frames), uint8_t(frames >> 8), uint8_t(width), uint8_t(width >> 8), uint8_t(height),
             uint8_t(height >> 8), 0, 2});
}

void SwfWriter::tag(int code, const std::vector<uint8_t>& data) {
    const uint16_t head = uint16_t(code << 6 | 0x3F);
    body_.push_back(uint8_t(head));
    body_.push_back(uint8_t(head >> 8));
    for (int i = 0; i < 4; ++i) body_.push_back(uint8_t(data.size() >> (8 * i)));
    body_.insert(body_.end(), data.begin(), data.end());
}

void SwfWriter::frame(int number, const std::vector<uint8_t>& picture) {
    std::vector<uint8_t> data = {1, 0, uint8_t(number), uint8_t(number >> 8)};
    data.insert(data.end(), picture.begin(), picture.end());
    tag(61, data);
    tag(1, {});
}

std::vector<uint8_t> SwfWriter::file() const {
    std::vector<uint8_t> body = body_;
    body.push_back(0);  // End
    body.push_back(0);
    const uint32_t length = uint32_t(body.size() + 8);
    std::vector<uint8_t> out = {'F', 'W', 'S', 8};
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(length >> (8 * i)));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void SwfWriter::bits(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        acc_ = uint8_t(acc_ << 1 | ((value >> i) & 1));
        if (++held_ == 8) body_.push_back(acc_), acc_ = 0, held_ = 0;
    }
}

void SwfWriter::flush_bits() {
    if (held_) body_.push_back(uint8_t(acc_ << (8 - held_))), acc_ = 0, held_ = 0;
}

void flv_bodies(const std::vector<uint8_t>& b, std::vector<std::vector<uint8_t>>* video,
                std::vector<std::vector<uint8_t>>* audio) {
    if (b.size() < 9) return;
    size_t p = size_t(b[5]) << 24 | size_t(b[6]) << 16 | size_t(b[7]) << 8 | b[8];
    for (p += 4; p + 11 <= b.size();) {
        const uint32_t size = uint32_t(b[p + 1]) << 16 | uint32_t(b[p + 2]) << 8 | b[p + 3];
        if (p + 11 + size > b.size()) break;
        if (size > 1 && b[p] == 9) video->emplace_back(b.begin() + long(p + 12), b.begin() + long(p + 11 + size));
        if (size > 1 && b[p] == 8) audio->emplace_back(b.begin() + long(p + 12), b.begin() + long(p + 11 + size));
        p += 11 + size + 4;
    }
}

std::vector<uint8_t> adpcm_movie(int width, int height, const std::vector<std::vector<uint8_t>>& pictures,
                                 const std::vector<std::vector<uint8_t>>& sounds) {
    SwfWriter movie(width, height, 25, int(pictures.size()));
    // SoundStreamHead: ADPCM (1), 22 kHz (2), 16 bits, stereo; 882 samples a frame.
    movie.tag(18, {0x0B, 0x1B, 0x72, 0x03});
    size_t next = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const size_t until = (i + 1) * sounds.size() / pictures.size();
        for (; next < until; ++next) movie.tag(19, sounds[next]);
        movie.frame(int(i), pictures[i]);
    }
    return movie.file();
}

}  // namespace swf_test
