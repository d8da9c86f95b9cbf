#include "engine/audio/audio_path.h"
#include "engine/audio/scope_bell.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "engine/output/output_session.h"
#include "engine/outside/outside_calls.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/wave/wave_out.h"

uint8_t g_scope_left[kScopeSize];
uint8_t g_scope_right[kScopeSize];
std::atomic<int> g_scope_count{0};

namespace {

constexpr int kEffectPiece = 16384;
constexpr int kScopeGather = 2048;   // chunks shorter than this are collected ...
constexpr int kScopeEnough = 8192;   // ... until this much is there

// The conversion's output buffer: 8 x the converter's count bytes.
uint8_t* g_resampled = nullptr;
int g_resampled_capacity = 0;

std::vector<uint8_t> g_work;
std::vector<uint8_t> g_scope_gathered;

void feed_scope(const uint8_t* data, int bytes) {
    if (bytes < kScopeGather) {
        const size_t before = g_scope_gathered.size();
        g_scope_gathered.insert(g_scope_gathered.end(), data, data + bytes);
        if (before < size_t(kScopeEnough)) return;
        data = g_scope_gathered.data();
        bytes = int(g_scope_gathered.size());
    }
    const int channels = g_out_channels == 2 ? 2 : 1;
    const int frames = std::min(bytes / channels / 2, kScopeMaxFrames);
    g_scope_count.store(frames, std::memory_order_relaxed);
    for (int i = 0; i < frames && flag_on(g_busy); ++i) {
        int16_t left, right = 0;
        std::memcpy(&left, data + 2 * channels * i, 2);
        if (channels == 2) std::memcpy(&right, data + 4 * i + 2, 2);
        g_scope_left[i] = uint8_t(std::min(255, std::abs(int(left)) >> 8));
        g_scope_right[i] = uint8_t(std::min(255, std::abs(int(right)) >> 8));
    }
    if (data == g_scope_gathered.data()) g_scope_gathered.clear();
    scope_bell_ring();
}

// Stages after the conversion: effects, encoding, playing, the scope.
void after_conversion(uint8_t* data, int n) {
    if (n <= 0) return;
    if (g_outside.tolmmix_change) {
        for (int pos = 0; pos < n && flag_on(g_busy); pos += kEffectPiece)
            g_outside.tolmmix_change(reinterpret_cast<short*>(data + pos), std::min(kEffectPiece, n - pos));
    }
    if (flag_on(g_write_output)) g_output.write_sound(data, n);
    if (flag_on(g_play_sound)) wave_out_write(data, n);
    if (flag_on(g_scope_feed)) feed_scope(data, n);
}

// Mono output of one channel of a stereo result, in place.
int pick_channel(int n) {
    if (g_out_channels == 1 && g_channel_mode > 0 && g_outside.pcm_getch)
        return g_outside.pcm_getch(g_resampled, g_resampled, n, 2, g_channel_mode - 1, 16);
    return n;
}

void drain_converter() {
    if (!g_resampled || !g_outside.pcm_change) return;
    const int m = g_outside.pcm_change(nullptr, 0, g_resampled, g_resampled_capacity, false);
    if (m > 0) after_conversion(g_resampled, pick_channel(m));
}

}  // namespace

AudioChunking audio_chunking(double speed) {
    if (speed == 1.0) return {4096, 40960};
    if (speed > 2.0) return {2000, 40000};
    if (speed < 0.5) return {3072, 49152};
    if (speed < 1.0) return {5120, 92160};
    return {8192, 184320};
}

void audio_set_up_job(int job_rate, int job_channels) {
    free_and_null(g_resampled);
    g_resampled_capacity = 0;
    g_source_channels = job_channels;
    g_speed_ratio = 1.0;
    const bool sound = int64_t(job_rate) * job_channels >= 1;
    if (!sound || (job_rate == g_out_rate && job_channels == g_out_channels)) return;
    if (!g_outside.pcm_init) return;
    g_speed_ratio = double(g_out_rate) / double(job_rate);
    const int count = g_outside.pcm_init(g_speed_ratio, 0, job_channels, 16);
    if (g_outside.pcm_setch) g_outside.pcm_setch(g_out_channels == 2 || g_channel_mode != 0 ? 2 : 1);
    if (g_outside.pcm_setbit) g_outside.pcm_setbit(16);
    if (count > 0 && count <= (1 << 24)) {
        g_resampled = static_cast<uint8_t*>(std::calloc(size_t(count) * 8, 1));
        if (g_resampled) g_resampled_capacity = count * 8;
    }
}

void audio_release() {
    free_and_null(g_resampled);
    g_resampled_capacity = 0;
    g_scope_gathered.clear();
    g_scope_gathered.shrink_to_fit();
}

int audio_play_speed(bool, int, int, double speed, int) {
    if (!g_pcm_buf || g_pcm_len <= 0) return 0;
    const AudioChunking sizes = audio_chunking(speed);
    const int length = std::min(g_pcm_len, g_pcm_capacity);
    if (g_work.size() < size_t(sizes.chunk)) g_work.resize(size_t(sizes.chunk));
    const bool convert = g_resampled && !(speed == 1.0 && g_source_channels == g_out_channels);
    for (int pos = 0; pos < length; pos += sizes.chunk) {
        int n = std::min(sizes.chunk, length - pos);
        if (!flag_on(g_busy)) break;
        std::memcpy(g_work.data(), g_pcm_buf + pos, size_t(n));
        uint8_t* chunk = g_work.data();
        if (convert) {
            // The converted chunk stays in the conversion's buffer, which is sized for it.
            const int m = g_outside.pcm_change(g_work.data(), n, g_resampled, g_resampled_capacity, true);
            if (m <= 0) continue;
            chunk = g_resampled;
            n = pick_channel(m);
        }
        after_conversion(chunk, n);
    }
    return 0;
}

void audio_feed(const void* pcm, size_t bytes, double speed) {
    if (!g_pcm_buf || g_pcm_capacity < 4) return;
    const uint8_t* data = static_cast<const uint8_t*>(pcm);
    const size_t piece = size_t(g_pcm_capacity - g_pcm_capacity % 4);
    while (bytes > 0 && flag_on(g_busy)) {
        g_pcm_len = 0;
        const int n = pcm_append(data, int(std::min(bytes, piece)));
        if (n <= 0) break;
        audio_play_speed(true, 0, 0, speed, 0);
        data += n;
        bytes -= size_t(n);
    }
    g_pcm_len = 0;
}

void audio_take_block(const SoundBlock& block) {
    if (!block.samples || block.byte_size() == 0) return;
    if (reinterpret_cast<const uint8_t*>(block.samples) == g_pcm_buf && block.byte_size() <= size_t(g_pcm_capacity)) {
        g_pcm_len = int(block.byte_size());
        audio_play_speed(true, 0, 0, g_speed_ratio, 0);
        g_pcm_len = 0;
        return;
    }
    audio_feed(block.samples, block.byte_size(), g_speed_ratio);
}

void audio_end_of_job() {
    drain_converter();
    g_output.end_job();
}

void audio_end_of_output() {
    drain_converter();
    g_output.finish_sound();
}
