#include "engine/state/shared_buffers.h"
#include <cstdlib>
#include <cstring>

FrameBuffer g_frame_buf;
uint8_t* g_pcm_buf = nullptr;
int g_pcm_len = 0;
int g_pcm_capacity = 0;
std::atomic<int> g_decoded_bytes{0};
int g_out_rate = 0;
int g_out_channels = 0;
int g_channel_mode = 0;
int g_source_channels = 0;
double g_speed_ratio = 1.0;
std::atomic<uint8_t> g_effects_window{0};

bool frame_buffer_reserve(size_t capacity) {
    if (g_frame_buf.picture.data && g_frame_buf.capacity >= capacity) return true;
    frame_buffer_free();
    if (capacity == 0) return true;
    g_frame_buf.picture.data = static_cast<uint8_t*>(std::calloc(capacity, 1));
    if (!g_frame_buf.picture.data) return false;
    g_frame_buf.capacity = capacity;
    return true;
}

void frame_buffer_free() {
    free_and_null(g_frame_buf.picture.data);
    g_frame_buf = FrameBuffer{};
}

bool frame_buffer_store(const PictureView& picture) {
    if (picture.format != PixelFormat::kBgr24 || !picture::valid(picture)) return false;
    const size_t stride = size_t(picture::bgr24_stride(picture.width));
    const size_t bytes = stride * size_t(picture.height);
    if (!g_frame_buf.picture.data || bytes > g_frame_buf.capacity) return false;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(g_frame_buf.picture.data + stride * y, picture.data + size_t(picture.stride) * y, 3 * size_t(picture.width));
    g_frame_buf.picture.width = picture.width;
    g_frame_buf.picture.height = picture.height;
    g_frame_buf.picture.stride = int(stride);
    g_frame_buf.picture.format = PixelFormat::kBgr24;
    g_decoded_bytes.store(int(bytes), std::memory_order_release);
    return true;
}

bool pcm_buffer_allocate(int capacity) {
    pcm_buffer_free();
    if (capacity <= 0) return false;
    g_pcm_buf = static_cast<uint8_t*>(std::calloc(size_t(capacity), 1));
    if (!g_pcm_buf) return false;
    g_pcm_capacity = capacity;
    return true;
}

void pcm_buffer_free() {
    free_and_null(g_pcm_buf);
    g_pcm_len = 0;
    g_pcm_capacity = 0;
}

int pcm_append(const void* data, int bytes) {
    if (!g_pcm_buf || !data || bytes <= 0 || g_pcm_len >= g_pcm_capacity) return 0;
    const int n = bytes < g_pcm_capacity - g_pcm_len ? bytes : g_pcm_capacity - g_pcm_len;
    std::memcpy(g_pcm_buf + g_pcm_len, data, size_t(n));
    g_pcm_len += n;
    return n;
}

MediaOutput shared_media_output() {
    MediaOutput out;
    out.frame = g_frame_buf.picture;
    out.frame_capacity = g_frame_buf.capacity;
    out.pcm = g_pcm_buf;
    out.pcm_length = size_t(g_pcm_len > 0 ? g_pcm_len : 0);
    out.pcm_capacity = size_t(g_pcm_capacity > 0 ? g_pcm_capacity : 0);
    out.pcm_rate = 0;
    out.pcm_channels = g_source_channels;
    return out;
}
