#include "dshow_frames.h"
#include <cmath>
#include <cstring>

namespace dshow {

double frame_rate(int64_t avg_time_per_frame) {
    return avg_time_per_frame > 0 ? double(kUnitsPerSecond) / double(avg_time_per_frame) : 0.0;
}

int64_t frame_count(int64_t duration, int64_t avg_time_per_frame) {
    if (duration < 0) duration = 0;
    int64_t frames = avg_time_per_frame > 0 ? (duration + avg_time_per_frame / 2) / avg_time_per_frame : duration;
    if (frames > INT32_MAX) frames /= 1000;
    return frames;
}

double duration_seconds(int64_t frames, int64_t avg_time_per_frame, int64_t duration) {
    if (avg_time_per_frame < 1) return double(duration) / double(kUnitsPerSecond);
    return double(frames) * double(avg_time_per_frame) / double(kUnitsPerSecond);
}

size_t rgb24_picture_bytes(int width, int height) {
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return 0;
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    return stride * size_t(height);
}

bool copy_picture_top_down(const uint8_t* data, size_t length, int width, int dib_height, uint8_t* out,
                           size_t capacity) {
    const size_t bytes = rgb24_picture_bytes(width, dib_height);
    if (!data || !out || bytes == 0 || length != bytes || bytes > capacity) return false;
    if (dib_height < 0) {
        std::memcpy(out, data, bytes);
        return true;
    }
    const size_t stride = bytes / size_t(dib_height);
    for (int y = 0; y < dib_height; ++y)
        std::memcpy(out + size_t(y) * stride, data + size_t(dib_height - 1 - y) * stride, stride);
    return true;
}

size_t pcm_piece(size_t remaining, size_t capacity, int block_align) {
    const size_t align = block_align > 0 ? size_t(block_align) : 1;
    const size_t room = capacity / align * align;
    if (room == 0) return 0;
    const size_t whole = remaining / align * align;
    return whole < room ? whole : room;
}

namespace {
uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
}  // namespace

bool realmedia_without_index(const uint8_t* head, size_t size) {
    // Chunks: a four-letter id, a big-endian size that counts the id and itself, a 16-bit version.
    constexpr size_t kChunkHeader = 10;
    // PROP after its chunk header: bit rates, packet sizes, packet count, duration, preroll (7 x 4
    // bytes), then the index offset.
    constexpr size_t kIndexOffsetAt = kChunkHeader + 7 * 4;
    if (!head || size < kChunkHeader || std::memcmp(head, ".RMF", 4) != 0) return false;
    size_t at = 0;
    while (at + kChunkHeader <= size) {
        const uint8_t* chunk = head + at;
        const uint32_t length = be32(chunk + 4);
        if (std::memcmp(chunk, "PROP", 4) == 0)
            return at + kIndexOffsetAt + 4 <= size && be32(chunk + kIndexOffsetAt) == 0;
        if (std::memcmp(chunk, "DATA", 4) == 0 || length < kChunkHeader) return false;
        at += length;
    }
    return false;
}

}  // namespace dshow
