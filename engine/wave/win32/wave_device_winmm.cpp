#include "engine/wave/win32/wave_device_winmm.h"

namespace {

HWAVEOUT g_wave = nullptr;
WAVEHDR g_headers[kMaxWaveBuffers];

bool device_open(const WaveFormat& f) {
    WAVEFORMATEX format = {};
    format.wFormatTag = f.format_tag;
    format.nChannels = f.channels;
    format.nSamplesPerSec = f.samples_per_sec;
    format.nAvgBytesPerSec = f.avg_bytes_per_sec;
    format.nBlockAlign = f.block_align;
    format.wBitsPerSample = f.bits_per_sample;
    format.cbSize = 0;
    for (WAVEHDR& h : g_headers) h = WAVEHDR{};
    g_wave = nullptr;
    if (waveOutOpen(&g_wave, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(wave_out_callback), 0,
                    CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        g_wave = nullptr;
        return false;
    }
    return true;
}

bool device_write(int index, uint8_t* data, int length) {
    if (!g_wave || index < 0 || index >= kMaxWaveBuffers) return false;
    WAVEHDR& h = g_headers[index];
    h = WAVEHDR{};
    h.lpData = reinterpret_cast<LPSTR>(data);
    h.dwBufferLength = DWORD(length);
    if (waveOutPrepareHeader(g_wave, &h, sizeof h) != MMSYSERR_NOERROR) return false;
    if (waveOutWrite(g_wave, &h, sizeof h) != MMSYSERR_NOERROR) {
        waveOutUnprepareHeader(g_wave, &h, sizeof h);
        return false;
    }
    return true;
}

void device_unprepare(int index) {
    if (g_wave && index >= 0 && index < kMaxWaveBuffers) waveOutUnprepareHeader(g_wave, &g_headers[index], sizeof(WAVEHDR));
}

void device_reset() {
    if (g_wave) waveOutReset(g_wave);
}

void device_pause(bool hold) {
    if (!g_wave) return;
    if (hold) waveOutPause(g_wave);
    else waveOutRestart(g_wave);
}

int64_t device_played_bytes() {
    if (!g_wave) return -1;
    MMTIME time = {};
    time.wType = TIME_BYTES;
    if (waveOutGetPosition(g_wave, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_BYTES) return -1;
    return int64_t(time.u.cb);
}

void device_close() {
    if (g_wave) waveOutClose(g_wave);
    g_wave = nullptr;
}

void* heap_allocate(size_t bytes) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes); }
void heap_release(void* block) { HeapFree(GetProcessHeap(), 0, block); }
uint32_t now_ms() { return timeGetTime(); }
void sleep_ms(int ms) { Sleep(DWORD(ms)); }

}  // namespace

void CALLBACK wave_out_callback(HWAVEOUT, UINT message, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    if (message == WOM_DONE) wave_out_buffer_done();
}

WaveDevice winmm_wave_device() {
    WaveDevice d;
    d.open = device_open;
    d.write = device_write;
    d.unprepare = device_unprepare;
    d.reset = device_reset;
    d.close = device_close;
    d.pause = device_pause;
    d.played_bytes = device_played_bytes;
    d.allocate = heap_allocate;
    d.release = heap_release;
    d.clock.now_ms = now_ms;
    d.clock.sleep_ms = sleep_ms;
    return d;
}
