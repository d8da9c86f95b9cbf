#include "engine/wave/wave_out.h"
#include <algorithm>
#include <atomic>
#include <cstring>
#include "engine/state/run_state.h"

namespace {

constexpr int kPollMs = 10;
constexpr int kCloseGraceMs = 1000;

WaveDevice g_device;

struct Output {
    bool open = false;
    bool silent = false;
    WaveFormat format;
    WaveBufferRecord* ring = nullptr;
    int size = 0;
    int count = 0;
    int current = 0;
    // Silent output: when it started and the bytes it has let pass.
    uint32_t silent_start = 0;
    uint64_t silent_bytes = 0;
    // Bytes of the buffers handed to the device; the pause and when it began.
    uint64_t submitted = 0;
    bool paused = false;
    uint32_t pause_start = 0;
};
Output g_out;
std::atomic<int> g_free{0};
// Called while a write waits (see wave_out_set_wait_hook).
void (*g_wait_hook)(void*) = nullptr;
void* g_wait_context = nullptr;

// One poll of a waiting write: the hook's turn, then the sleep.
void wait_poll(int ms) {
    if (g_wait_hook) g_wait_hook(g_wait_context);
    g_device.clock.sleep(ms);
}

void ring_size(const WaveFormat& format, int* size, int* count) {
    const int64_t product = int64_t(format.channels) * format.samples_per_sec;
    if (product <= 8001) *size = 1024, *count = 10;
    else if (product <= 22100) *size = 2048, *count = 10;
    else *size = 4096, *count = 20;
}

void start_silent() {
    g_out.silent = true;
    g_out.silent_start = g_device.clock.now();
    g_out.silent_bytes = 0;
}

// Without a device: the data is dropped once its play time has passed. The time starts with the
// first write, as a device starts playing with its first buffer.
void write_silent(int length) {
    if (g_out.silent_bytes == 0) {
        g_out.silent_start = g_device.clock.now();
        if (g_out.paused) g_out.pause_start = g_out.silent_start;
    }
    g_out.silent_bytes += uint64_t(length);
    const uint32_t per_second = g_out.format.avg_bytes_per_sec ? g_out.format.avg_bytes_per_sec : 1;
    for (;;) {
        if (!flag_on(g_busy)) return;
        // A pause holds the clock: the time it lasts is added to the start.
        if (g_out.paused) {
            wait_poll(kPollMs);
            continue;
        }
        const uint32_t due = g_out.silent_start + uint32_t(g_out.silent_bytes * 1000 / per_second);
        const int32_t wait = clock_diff(due, g_device.clock.now());
        if (wait <= 0) return;
        wait_poll(wait < kPollMs ? wait : kPollMs);
    }
}

int64_t bytes_to_ms(uint64_t bytes) {
    const uint32_t per_second = g_out.format.avg_bytes_per_sec ? g_out.format.avg_bytes_per_sec : 1;
    return int64_t(bytes * 1000 / per_second);
}

}  // namespace

WaveFormat pcm_wave_format(int rate, int channels) {
    WaveFormat f;
    f.format_tag = 1;
    f.channels = uint16_t(channels);
    f.samples_per_sec = uint32_t(rate);
    f.bits_per_sample = 16;
    f.block_align = uint16_t(channels * 2);
    f.avg_bytes_per_sec = uint32_t(rate) * uint32_t(channels) * 2;
    return f;
}

void wave_out_set_device(const WaveDevice& device) { g_device = device; }
const WaveDevice& wave_out_device() { return g_device; }

WaveBufferRecord* wave_ring_alloc(int size, int count) {
    if (size <= 0 || count <= 0 || count > kMaxWaveBuffers || !g_device.allocate) return nullptr;
    const size_t bytes = sizeof(WaveBufferRecord) * size_t(count) + size_t(size) * size_t(count);
    auto* ring = static_cast<WaveBufferRecord*>(g_device.allocate(bytes));
    if (!ring) return nullptr;
    uint8_t* buffers = reinterpret_cast<uint8_t*>(ring + count);
    for (int i = 0; i < count; ++i) {
        ring[i].data = buffers + size_t(size) * size_t(i);
        ring[i].length = size;
        ring[i].fill = 0;
        ring[i].prepared = 0;
    }
    return ring;
}

void wave_ring_free(WaveBufferRecord* ring) {
    if (ring && g_device.release) g_device.release(ring);
}

int wave_out_open(WaveFormat format) {
    wave_out_close();
    g_out = Output{};
    g_out.format = format;
    ring_size(format, &g_out.size, &g_out.count);
    g_out.ring = wave_ring_alloc(g_out.size, g_out.count);
    if (!g_out.ring) {
        start_silent();
        return kWaveRingFailed;
    }
    g_free.store(g_out.count);
    if (!g_device.open || !g_device.open(format)) {
        wave_ring_free(g_out.ring);
        g_out.ring = nullptr;
        start_silent();
        return kWaveOpenFailed;
    }
    g_out.open = true;
    return 0;
}

void wave_out_write(const void* data, int length) {
    if (!data || length <= 0) return;
    if (g_out.silent) {
        write_silent(length);
        return;
    }
    if (!g_out.open) return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (length > 0 && flag_on(g_busy)) {
        WaveBufferRecord& buffer = g_out.ring[g_out.current];
        if (buffer.prepared) {
            if (g_device.unprepare) g_device.unprepare(g_out.current);
            buffer.prepared = 0;
        }
        const int room = g_out.size - buffer.fill;
        if (length < room) {
            std::memcpy(buffer.data + buffer.fill, bytes, size_t(length));
            buffer.fill += length;
            return;
        }
        std::memcpy(buffer.data + buffer.fill, bytes, size_t(room));
        bytes += room;
        length -= room;
        buffer.length = g_out.size;
        // A buffer the device refused is not counted as queued.
        if (g_device.write && g_device.write(g_out.current, buffer.data, buffer.length)) {
            buffer.prepared = 1;
            g_out.submitted += uint64_t(buffer.length);
            g_free.fetch_sub(1);
        }
        while (g_free.load() < 2 && flag_on(g_busy)) wait_poll(kPollMs);
        g_out.current = (g_out.current + 1) % g_out.count;
        g_out.ring[g_out.current].fill = 0;
    }
}

int wave_out_close() {
    if (g_out.silent) {
        g_out = Output{};
        return 0;
    }
    if (!g_out.open) return 0;
    // Paused sound would never come back.
    if (g_out.paused && g_device.pause) g_device.pause(false);
    g_out.paused = false;
    // The queued buffers' play time, and a second more, before the device is told to give them back.
    const uint32_t per_second = g_out.format.avg_bytes_per_sec ? g_out.format.avg_bytes_per_sec : 1;
    const int queued = g_out.count - g_free.load();
    const uint32_t deadline =
        g_device.clock.now() + uint32_t(uint64_t(queued > 0 ? queued : 0) * g_out.size * 1000 / per_second) + kCloseGraceMs;
    while (g_free.load() < g_out.count && clock_diff(deadline, g_device.clock.now()) > 0) g_device.clock.sleep(kPollMs);
    if (g_free.load() < g_out.count && g_device.reset) {
        g_device.reset();
        for (int i = 0; i < kCloseGraceMs / kPollMs && g_free.load() < g_out.count; ++i) g_device.clock.sleep(kPollMs);
    }
    for (int i = 0; i < g_out.count; ++i)
        if (g_out.ring[i].prepared) {
            if (g_device.unprepare) g_device.unprepare(i);
            g_out.ring[i].prepared = 0;
        }
    if (g_device.close) g_device.close();
    wave_ring_free(g_out.ring);
    g_out = Output{};
    return 0;
}

int wave_out_stop() {
    if (g_out.open && g_device.reset) {
        if (g_out.paused && g_device.pause) g_device.pause(false);
        g_out.paused = false;
        g_device.reset();
    }
    return wave_out_close();
}

void wave_out_buffer_done() { g_free.fetch_add(1); }

void wave_out_set_wait_hook(void (*hook)(void* context), void* context) {
    g_wait_hook = hook;
    g_wait_context = context;
}

void wave_out_pause(bool hold) {
    if (hold == g_out.paused || (!g_out.open && !g_out.silent)) return;
    g_out.paused = hold;
    if (g_out.silent) {
        if (hold) g_out.pause_start = g_device.clock.now();
        else g_out.silent_start += uint32_t(clock_diff(g_device.clock.now(), g_out.pause_start));
        return;
    }
    if (g_device.pause) g_device.pause(hold);
}

WaveClock wave_out_clock() {
    WaveClock c;
    if (g_out.silent) {
        const uint32_t now = g_out.paused ? g_out.pause_start : g_device.clock.now();
        const int64_t elapsed = clock_diff(now, g_out.silent_start);
        const int64_t written = bytes_to_ms(g_out.silent_bytes);
        c.played_ms = elapsed < 0 ? 0 : elapsed < written ? elapsed : written;
        c.queued_ms = written - c.played_ms;
        return c;
    }
    if (!g_out.open) return c;
    const int queued = g_out.count - g_free.load();
    const uint64_t queued_bytes = uint64_t(queued > 0 ? queued : 0) * uint64_t(g_out.size);
    uint64_t played = g_out.submitted > queued_bytes ? g_out.submitted - queued_bytes : 0;
    // The device's own position is finer than whole buffers; it cannot be past what was handed to it,
    // nor more than a buffer past the buffers it has given back (Wine counts what it has copied into
    // its own buffer, some 0.1 s before that is heard).
    const int64_t position = g_device.played_bytes ? g_device.played_bytes() : -1;
    if (position >= 0 && uint64_t(position) >= played)
        played = std::min<uint64_t>({uint64_t(position), g_out.submitted, played + uint64_t(g_out.size)});
    c.played_ms = bytes_to_ms(played);
    c.queued_ms = bytes_to_ms(g_out.submitted) - c.played_ms;
    return c;
}

WaveOutState wave_out_state() {
    WaveOutState s;
    s.open = g_out.open;
    s.silent = g_out.silent;
    s.buffer_size = g_out.size;
    s.buffer_count = g_out.count;
    s.free_count = g_free.load();
    s.current = g_out.current;
    s.current_fill = g_out.ring ? g_out.ring[g_out.current].fill : 0;
    return s;
}
