// Test support: GIF files put together byte by byte, with an LZW encoder written from the format's
// description (a dictionary of prefix code and byte), so decoder tests do not lean on the decoder.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace gif_test {

// Codes as the decoder reads them: j codes after the last clear code, the j-th is read with the
// smallest width w >= m + 1 for which (2^m + 2) + j - 1 < 2^w (the first with m + 1), at most 12.
inline std::vector<uint8_t> pack_codes(const std::vector<int>& codes, int m) {
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int bits = 0, j = 0;
    const int clear = 1 << m, base = clear + 2;
    for (int code : codes) {
        int width = m + 1;
        if (j > 0)
            while (width < 12 && base + j - 1 >= (1 << width)) ++width;
        acc |= uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
        j = code == clear ? 0 : j + 1;
    }
    if (bits > 0) out.push_back(uint8_t(acc));
    return out;
}

// The LZW codes of a row of indices: a clear code first, a clear code whenever the table fills,
// the end code last.
inline std::vector<int> lzw_codes(const std::vector<uint8_t>& indices, int m) {
    const int clear = 1 << m, end = clear + 1;
    std::vector<int> codes = {clear};
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2;
    if (indices.empty()) {
        codes.push_back(end);
        return codes;
    }
    int w = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const int k = indices[i];
        auto found = table.find({w, k});
        if (found != table.end()) {
            w = found->second;
            continue;
        }
        codes.push_back(w);
        table[{w, k}] = next++;
        if (next == 4096) {
            codes.push_back(clear);
            table.clear();
            next = clear + 2;
        }
        w = k;
    }
    codes.push_back(w);
    codes.push_back(end);
    return codes;
}

// Data sub-blocks of at most 255 bytes and the zero-length terminator.
inline std::vector<uint8_t> sub_blocks(const std::vector<uint8_t>& data, size_t block = 255) {
    std::vector<uint8_t> out;
    for (size_t at = 0; at < data.size(); at += block) {
        const size_t n = std::min(block, data.size() - at);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
    }
    out.push_back(0);
    return out;
}

inline void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

// Flag bits of a table of `entries` (a power of two, 2..256).
inline int table_bits(size_t entries) {
    int n = 0;
    while ((2u << n) < entries) ++n;
    return n;
}

struct GifWriter {
    std::vector<uint8_t> bytes;

    GifWriter(const char* version, int width, int height, const std::vector<uint8_t>& global_rgb = {}) {
        bytes.insert(bytes.end(), {'G', 'I', 'F'});
        bytes.insert(bytes.end(), version, version + 3);
        put16(bytes, width);
        put16(bytes, height);
        const size_t entries = global_rgb.size() / 3;
        bytes.push_back(uint8_t(entries ? 0x80 | 0x70 | table_bits(entries) : 0x70));
        bytes.push_back(0);  // background
        bytes.push_back(0);  // aspect
        bytes.insert(bytes.end(), global_rgb.begin(), global_rgb.end());
    }
    // A frame whose image data is `data` (code size byte and sub-blocks added here).
    GifWriter& frame_data(int left, int top, int width, int height, int m, const std::vector<uint8_t>& data,
                          const std::vector<uint8_t>& local_rgb = {}, bool interlaced = false) {
        bytes.push_back(0x2C);
        put16(bytes, left);
        put16(bytes, top);
        put16(bytes, width);
        put16(bytes, height);
        const size_t entries = local_rgb.size() / 3;
        bytes.push_back(uint8_t((entries ? 0x80 | table_bits(entries) : 0) | (interlaced ? 0x40 : 0)));
        bytes.insert(bytes.end(), local_rgb.begin(), local_rgb.end());
        bytes.push_back(uint8_t(m));
        const std::vector<uint8_t> blocks = sub_blocks(data);
        bytes.insert(bytes.end(), blocks.begin(), blocks.end());
        return *this;
    }
    GifWriter& frame(int left, int top, int width, int height, int m, const std::vector<uint8_t>& indices,
                     const std::vector<uint8_t>& local_rgb = {}, bool interlaced = false) {
        return frame_data(left, top, width, height, m, pack_codes(lzw_codes(indices, m), m), local_rgb, interlaced);
    }
    GifWriter& extension(int label, const std::vector<std::vector<uint8_t>>& blocks) {
        bytes.push_back(0x21);
        bytes.push_back(uint8_t(label));
        for (const auto& b : blocks) {
            bytes.push_back(uint8_t(b.size()));
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        bytes.push_back(0);
        return *this;
    }
    GifWriter& control(int disposal, bool transparent, int delay, int transparent_index) {
        return extension(0xF9, {{uint8_t(disposal << 2 | (transparent ? 1 : 0)), uint8_t(delay), uint8_t(delay >> 8),
                                 uint8_t(transparent_index)}});
    }
    GifWriter& trailer() {
        bytes.push_back(0x3B);
        return *this;
    }
};

}  // namespace gif_test
