// Sound output through the system's wave device: one device at a time and a ring of equal buffers.
// A write blocks its worker while fewer than two buffers are free, which paces a run with sound.
// The ring logic is portable; the device is a table of functions (winmm in the program, a fake in
// tests), and the device reports each finished buffer through wave_out_buffer_done().
//
// Without a device (the open failed, or the ring could not be had) the output stays usable: writes
// drop their data but take its play time, so a run keeps its pace, and closing returns at once.
#pragma once
#include <cstddef>
#include <cstdint>
#include "engine/timing/clock.h"

// The PCM format (the fields of WAVEFORMATEX).
struct WaveFormat {
    uint16_t format_tag = 1;
    uint16_t channels = 0;
    uint32_t samples_per_sec = 0;
    uint32_t avg_bytes_per_sec = 0;
    uint16_t block_align = 0;
    uint16_t bits_per_sample = 16;
};
// 16-bit PCM at rate and channels.
WaveFormat pcm_wave_format(int rate, int channels);

struct WaveDevice {
    // Opens the device for the format. False: no device.
    bool (*open)(const WaveFormat& format) = nullptr;
    // Prepares buffer `index` over data/length and queues it. False: it was not queued.
    bool (*write)(int index, uint8_t* data, int length) = nullptr;
    // Releases a buffer the device has given back.
    void (*unprepare)(int index) = nullptr;
    // Gives back every queued buffer at once.
    void (*reset)() = nullptr;
    void (*close)() = nullptr;
    // Holds the queued buffers where they are (true) or plays on (false). Optional.
    void (*pause)(bool hold) = nullptr;
    // Bytes the device has played since it was opened, or -1 when it cannot say. Optional: without
    // it the played bytes are those of the buffers handed back.
    int64_t (*played_bytes)() = nullptr;
    // The ring's memory (zeroed) and its release; allocate returns null when memory runs out.
    void* (*allocate)(size_t bytes) = nullptr;
    void (*release)(void* block) = nullptr;
    Clock clock;
};

// The device the next open uses.
void wave_out_set_device(const WaveDevice& device);
const WaveDevice& wave_out_device();

constexpr int kWaveOpenFailed = -11;
constexpr int kWaveRingFailed = -12;
constexpr int kMaxWaveBuffers = 20;

// Sizes and allocates the ring by channels x rate (up to 8001: 10 x 1024 bytes; up to 22100:
// 10 x 2048; above: 20 x 4096) and opens the device. 0, kWaveOpenFailed or kWaveRingFailed (then
// writes keep time without sound).
int wave_out_open(WaveFormat format);
// Queues PCM while g_busy is 1; a full buffer goes to the device, and the write waits (10 ms at a
// time) while fewer than two buffers are free.
void wave_out_write(const void* data, int length);
// Waits until every queued buffer has played (at most their play time plus 1 s, then the device is
// reset), releases the ring and closes the device. Returns 0.
int wave_out_close();
// Stop: the device gives back what it still holds without playing it, then closes as above.
int wave_out_stop();
// While a write waits (for a free buffer, or without a device for the sound's time, or in a pause),
// `hook` is called every 10 ms poll: playback shows the pictures that come due meanwhile. Null: none.
// The hook must not write to the output.
void wave_out_set_wait_hook(void (*hook)(void* context), void* context);
// WOM_DONE: a buffer came back.
void wave_out_buffer_done();

// Pause: the device holds what it has queued (and a silent output stops its clock) until released.
// Harmless twice and when nothing is open.
void wave_out_pause(bool hold);

// The sound's own clock for pacing pictures to it: the play time of what the output has played since
// it was opened, and of what is queued ahead of that (sound written to the device and not yet
// played; for a silent output, written and not yet due). Milliseconds; both 0 when nothing is open.
struct WaveClock {
    int64_t played_ms = 0;
    int64_t queued_ms = 0;
};
WaveClock wave_out_clock();

// The ring: `count` buffer records followed by the buffers, one zeroed block from the device.
struct WaveBufferRecord {
    uint8_t* data;
    int32_t length;
    int32_t fill;      // bytes written into the buffer so far
    uint8_t prepared;  // queued at the device and not yet released
    uint8_t reserved[7];
};
static_assert(sizeof(WaveBufferRecord) == 24, "ring record");
WaveBufferRecord* wave_ring_alloc(int size, int count);
void wave_ring_free(WaveBufferRecord* ring);

// The output's state, for tests and diagnostics.
struct WaveOutState {
    bool open = false;    // a device is open
    bool silent = false;  // opened without a device: writes only keep time
    int buffer_size = 0;
    int buffer_count = 0;
    int free_count = 0;
    int current = 0;
    int current_fill = 0;
};
WaveOutState wave_out_state();
