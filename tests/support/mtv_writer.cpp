#include "mtv_writer.h"
#include <algorithm>

namespace mtv_test {

namespace {
void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
}  // namespace

std::vector<uint8_t> stored_picture(const std::vector<uint8_t>& bgr, int width, int height) {
    const int stride = (3 * width + 3) & ~3;
    std::vector<uint8_t> out;
    out.reserve(size_t(2) * width * height);
    for (int row = height - 1; row >= 0; --row)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &bgr[size_t(row) * stride + size_t(3) * x];
            uint16_t v = uint16_t((p[2] >> 3) << 11 | (p[1] >> 2) << 5 | p[0] >> 3);
            out.push_back(uint8_t(v >> 8));
            out.push_back(uint8_t(v));
        }
    return out;
}

std::vector<uint8_t> file(int width, int height, int kbps, int chunks, const std::vector<std::vector<uint8_t>>& pictures,
                          const std::vector<uint8_t>& mp3) {
    const size_t picture_bytes = size_t(2) * width * height;
    const size_t segment = size_t(chunks) * (kChunkPadding + kChunkBytes) + picture_bytes;
    std::vector<uint8_t> out(512, 0);
    out[0] = 'A', out[1] = 'M', out[2] = 'V';
    put32(out, 3, uint32_t(512 + segment * pictures.size()));
    put32(out, 7, uint32_t((segment * pictures.size()) / 512));
    out[43] = 'M', out[44] = 'P', out[45] = '3';
    put16(out, 46, uint32_t(kbps));
    out[51] = 16;
    put16(out, 52, uint32_t(width));
    put16(out, 54, uint32_t(height));
    put16(out, 56, uint32_t(picture_bytes));
    put16(out, 62, uint32_t(chunks));
    size_t sound = 0;
    for (const std::vector<uint8_t>& picture : pictures) {
        for (int c = 0; c < chunks; ++c) {
            out.resize(out.size() + kChunkPadding, 0);
            for (int i = 0; i < kChunkBytes; ++i, ++sound) out.push_back(sound < mp3.size() ? mp3[sound] : 0);
        }
        std::vector<uint8_t> stored = picture;
        stored.resize(picture_bytes, 0);
        out.insert(out.end(), stored.begin(), stored.end());
    }
    return out;
}

}  // namespace mtv_test
