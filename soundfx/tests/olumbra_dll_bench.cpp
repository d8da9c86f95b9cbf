// Speed of olumbra.dll as the program drives it, beside the portable engine in the same run: 60 s of
// 44.1 kHz stereo in 4096-byte blocks with the equaliser and the echo on, the window shown and its
// level display live (this thread pumps the window's messages while a second thread feeds the blocks).
// Each figure is the best of three runs. Not a test: run it under Wine with a display,
//   tools/wine-run.sh --x build/winelib/bin/olumbra_dll_bench.exe
// and take figures from a tree built without sanitizers.
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>
#include "soundfx/core/engine.h"
#include "tests/support/message_pump.h"

namespace {

constexpr int kRate = 44100, kChannels = 2, kSeconds = 60, kBlockBytes = 4096, kRuns = 5;

std::vector<int16_t> make_signal() {
    const size_t frames = size_t(kRate) * kSeconds;
    std::vector<int16_t> pcm(frames * kChannels);
    uint32_t seed = 12345;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        for (int c = 0; c < kChannels; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double noise = (double(seed >> 8) / double(1 << 24) - 0.5) * 1500;
            const double tones = 3000 * std::sin(2 * M_PI * (110 + 30 * c) * t) + 2000 * std::sin(2 * M_PI * 440 * t) +
                                 1200 * std::sin(2 * M_PI * 2500 * t + c);
            pcm[i * kChannels + c] = int16_t(std::lround(std::clamp(tones + noise, -32768.0, 32767.0)));
        }
    }
    return pcm;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double thread_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Wall time, and the feeding thread's own processor time: on a loaded machine the gap between them
// is time spent waiting (for a lock, the window system, or a processor).
struct Timing {
    double wall = 1e30, cpu = 1e30;
    void keep_best(const Timing& t) {
        if (t.wall < wall) *this = t;
    }
};

template <class Process>
Timing time_blocks(std::vector<int16_t> pcm, Process&& process) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = thread_cpu_seconds();
    for (size_t at = 0; at < pcm.size(); at += kBlockBytes / 2) {
        const size_t n = std::min(size_t(kBlockBytes / 2), pcm.size() - at);
        process(pcm.data() + at, int(n * 2));
    }
    return {seconds_since(start), thread_cpu_seconds() - cpu_start};
}

struct Olumbra {
    HMODULE module = nullptr;
    void(__cdecl* begin)() = nullptr;
    void(__cdecl* close)() = nullptr;
    int(__cdecl* change)(short*, int) = nullptr;
    int(__cdecl* init)(int, int, int) = nullptr;
    void(__cdecl* setiir)(bool) = nullptr;
    void(__cdecl* setecho)(bool) = nullptr;
    void(__cdecl* setdisp)(int) = nullptr;
    template <class F>
    void bind(F& fn, const char* name) {
        FARPROC p = GetProcAddress(module, name);
        std::memcpy(&fn, &p, sizeof fn);
    }
    bool load() {
        module = LoadLibraryA("olumbra.dll");
        if (!module) return false;
        bind(begin, "tolmmix_begin");
        bind(close, "tolmmix_close");
        bind(change, "tolmmix_change");
        bind(init, "tolmmix_init");
        bind(setiir, "tolmmix_setiir");
        bind(setecho, "tolmmix_setecho");
        bind(setdisp, "tolmmix_setdisp");
        return begin && close && change && init && setiir && setecho && setdisp;
    }
};

struct Feed {
    Olumbra* dll;
    const std::vector<int16_t>* signal;
    Timing timing;
    std::atomic<bool> done{false};
};

DWORD WINAPI feed(LPVOID p) {
    auto* f = static_cast<Feed*>(p);
    f->timing = time_blocks(*f->signal, [&](int16_t* pcm, int bytes) { f->dll->change(pcm, bytes); });
    f->done = true;
    return 0;
}

}  // namespace

int main() {
    const std::vector<int16_t> signal = make_signal();
    Olumbra dll;
    if (!dll.load()) {
        std::printf("olumbra.dll not loaded (%lu)\n", (unsigned long)GetLastError());
        return 1;
    }
    dll.begin();
    pump_messages(100);

    Timing best_dll, best_hidden, best_core;
    for (int run = 0; run < 2 * kRuns; ++run) {
        // Shown (the display live) and hidden in turn.
        const bool shown = run % 2 == 0;
        // tolmmix_init with 0 leaves a shown window shown: the hidden runs hide it first.
        if (!shown) dll.setdisp(0);
        dll.init(kRate, kChannels, shown ? 1 : 0);
        dll.setiir(true);
        dll.setecho(true);
        pump_messages(200);
        Feed f;
        f.dll = &dll;
        f.signal = &signal;
        HANDLE thread = CreateThread(nullptr, 0, feed, &f, 0, nullptr);
        while (!f.done) pump_messages(10);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        (shown ? best_dll : best_hidden).keep_best(f.timing);
        if (!shown) continue;

        // The engine on a Win32 thread too, as the library's blocks are.
        struct CoreRun {
            const std::vector<int16_t>* signal;
            Timing timing;
            static DWORD WINAPI run(LPVOID p) {
                auto* r = static_cast<CoreRun*>(p);
                soundfx::Engine core;
                core.begin();
                core.init(kRate, kChannels);
                core.set_eq_on(true);
                core.set_echo_on(true);
                r->timing = time_blocks(*r->signal, [&](int16_t* pcm, int bytes) { core.process(pcm, bytes); });
                return 0;
            }
        } core_run{&signal, {}};
        HANDLE core_thread = CreateThread(nullptr, 0, CoreRun::run, &core_run, 0, nullptr);
        WaitForSingleObject(core_thread, INFINITE);
        CloseHandle(core_thread);
        best_core.keep_best(core_run.timing);
    }
    dll.close();
    pump_messages(100);
    FreeLibrary(dll.module);

    std::printf("60 s of 44.1 kHz stereo, 4096-byte blocks, equaliser and echo on, best of %d\n", kRuns);
    auto row = [](const char* name, const Timing& t) {
        std::printf("%-28s %7.3f s %6.0f x real time  (feeding thread's processor time %.3f s)\n", name, t.wall,
                    kSeconds / t.wall, t.cpu);
    };
    row("olumbra.dll, window shown", best_dll);
    row("olumbra.dll, window hidden", best_hidden);
    row("portable engine", best_core);
    const double ratio = best_dll.wall / best_core.wall;
    std::printf("time ratio dll / engine %.3f (%s 1.1), hidden %.3f\n", ratio, ratio <= 1.1 ? "within" : "above",
                best_hidden.wall / best_core.wall);
    return 0;
}
