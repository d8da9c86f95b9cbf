// Speed of olumbra.dll as the program drives it, beside the portable engine in the same run: 60 s of
// 44.1 kHz stereo in 4096-byte blocks with the equaliser and the echo on, the window shown and its
// level display live (this thread pumps the window's messages while a second thread feeds the blocks).
// Rounds alternate which of the two goes first; each round also runs the library with its window
// hidden. Every figure is the median over the rounds, the ratios taken round by round: wall time, and
// the feeding thread's own processor time (on a shared machine the gap between the two is time spent
// waiting for a processor). The window's thread's processor time is shown beside.
// Not a test: run it under Wine with a display (see CMakeLists.txt for the Release tree),
//   tools/wine-run.sh --x .../bin/olumbra_bench.exe [rounds]
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>
#include "soundfx/core/engine.h"
#include "tests/support/message_pump.h"
#include "tests/support/olumbra_calls.h"

namespace {

constexpr int kRate = 44100, kChannels = 2, kSeconds = 60, kBlockBytes = 4096;

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

std::string load_average() {
    char text[128] = "";
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(text, sizeof text, f)) text[0] = 0;
        std::fclose(f);
    }
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

// Wall time and the feeding thread's processor time of one run; ui: the window thread's meanwhile.
struct Timing {
    double wall = 0, cpu = 0, ui = 0;
};

template <class Process>
Timing time_blocks(std::vector<int16_t> pcm, Process&& process) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = thread_cpu_seconds();
    for (size_t at = 0; at < pcm.size(); at += kBlockBytes / 2) {
        const size_t n = std::min(size_t(kBlockBytes / 2), pcm.size() - at);
        process(pcm.data() + at, int(n * 2));
    }
    return {seconds_since(start), thread_cpu_seconds() - cpu_start, 0};
}

using Olumbra = OlumbraCalls;

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

// The library on a feeding thread while this thread pumps the window's messages.
Timing dll_run(Olumbra& dll, const std::vector<int16_t>& signal, bool shown) {
    // tolmmix_init with 0 leaves a shown window shown: a hidden run hides it first.
    if (!shown) dll.setdisp(0);
    dll.init(kRate, kChannels, shown ? 1 : 0);
    dll.setiir(true);
    dll.setecho(true);
    pump_messages(300);
    Feed f;
    f.dll = &dll;
    f.signal = &signal;
    const double ui_start = thread_cpu_seconds();
    HANDLE thread = CreateThread(nullptr, 0, feed, &f, 0, nullptr);
    while (!f.done) pump_messages(10);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    f.timing.ui = thread_cpu_seconds() - ui_start;
    return f.timing;
}

// The engine on a Win32 thread too, as the library's blocks are. One engine for every round, as the
// library keeps one: each run starts with init, on memory the earlier rounds have touched.
Timing core_run(soundfx::Engine& core, const std::vector<int16_t>& signal) {
    struct Run {
        soundfx::Engine* core;
        const std::vector<int16_t>* signal;
        Timing timing;
        static DWORD WINAPI run(LPVOID p) {
            auto* r = static_cast<Run*>(p);
            soundfx::Engine& core = *r->core;
            core.init(kRate, kChannels);
            core.set_eq_on(true);
            core.set_echo_on(true);
            r->timing = time_blocks(*r->signal, [&](int16_t* pcm, int bytes) { core.process(pcm, bytes); });
            return 0;
        }
    } run{&core, &signal, {}};
    HANDLE thread = CreateThread(nullptr, 0, Run::run, &run, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return run.timing;
}

bool window_visible() {
    HWND w = FindWindowA(nullptr, "Orvane音效器");
    return w && IsWindowVisible(w);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::vector<int16_t> signal = make_signal();
    Olumbra dll;
    if (!dll.load()) {
        std::printf("olumbra.dll not loaded (%lu)\n", (unsigned long)GetLastError());
        return 1;
    }
    dll.begin();
    pump_messages(100);
    static soundfx::Engine core_engine;
    core_engine.begin();

    std::printf("60 s of 44.1 kHz stereo, 4096-byte blocks, equaliser and echo on; load %s\n",
                load_average().c_str());
    std::printf("round  first   dll shown wall/cpu/ui     engine wall/cpu   ratio wall  cpu   dll hidden wall/cpu\n");
    std::vector<double> shown_wall, shown_cpu, shown_ui, core_wall, core_cpu, hidden_wall, hidden_cpu;
    std::vector<double> ratio_wall, ratio_cpu, hidden_ratio_wall;
    bool shown_seen = true;
    for (int round = 0; round < rounds; ++round) {
        const bool dll_first = round % 2 == 0;
        Timing shown, core;
        if (dll_first) {
            shown = dll_run(dll, signal, true);
            shown_seen = shown_seen && window_visible();
            core = core_run(core_engine, signal);
        } else {
            core = core_run(core_engine, signal);
            shown = dll_run(dll, signal, true);
            shown_seen = shown_seen && window_visible();
        }
        const Timing hidden = dll_run(dll, signal, false);
        shown_wall.push_back(shown.wall), shown_cpu.push_back(shown.cpu), shown_ui.push_back(shown.ui);
        core_wall.push_back(core.wall), core_cpu.push_back(core.cpu);
        hidden_wall.push_back(hidden.wall), hidden_cpu.push_back(hidden.cpu);
        ratio_wall.push_back(shown.wall / core.wall), ratio_cpu.push_back(shown.cpu / core.cpu);
        hidden_ratio_wall.push_back(hidden.wall / core.wall);
        std::printf("%5d  %-6s  %6.3f %6.3f %6.3f    %6.3f %6.3f      %5.3f %5.3f   %6.3f %6.3f\n", round + 1,
                    dll_first ? "dll" : "engine", shown.wall, shown.cpu, shown.ui, core.wall, core.cpu,
                    ratio_wall.back(), ratio_cpu.back(), hidden.wall, hidden.cpu);
        std::fflush(stdout);
    }
    dll.close();
    pump_messages(100);
    dll.unload();

    std::printf("median of %d rounds; load %s\n", rounds, load_average().c_str());
    auto row = [](const char* name, double wall, double cpu) {
        std::printf("%-28s %7.3f s %6.0f x real time  (feeding thread's processor time %.3f s)\n", name, wall,
                    kSeconds / wall, cpu);
    };
    row("olumbra.dll, window shown", median(shown_wall), median(shown_cpu));
    row("olumbra.dll, window hidden", median(hidden_wall), median(hidden_cpu));
    row("portable engine", median(core_wall), median(core_cpu));
    std::printf("window thread's processor time while shown: %.3f s\n", median(shown_ui));
    if (!shown_seen) std::printf("the window was not shown during every run\n");
    const double wall = median(ratio_wall), cpu = median(ratio_cpu);
    std::printf("time ratio dll / engine: wall %.3f (%s 1.1), processor %.3f; hidden wall %.3f\n", wall,
                wall <= 1.1 ? "within" : "above", cpu, median(hidden_ratio_wall));
    return 0;
}
