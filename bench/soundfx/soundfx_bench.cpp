// 60 s of 44.1 kHz stereo (tones and noise, about -12 dBFS) in 4096-byte blocks, as the program feeds
// them: through all sixteen effects at their defaults, through each effect alone, and the 10-band
// equaliser and the reverb beside sox doing the same kind of work on the same file (sox's algorithms
// differ: its equalizer is ten peaking biquads, its reverb a freeverb). Each figure is the best of
// three runs on one core; sox's time includes reading the file, which its plain read shows. The pitch
// shifter is timed once more away from its default offset.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "soundfx/core/engine.h"

namespace {

constexpr int kRate = 44100, kChannels = 2, kSeconds = 60, kBlockBytes = 4096;
constexpr int kRuns = 3;

std::vector<int16_t> make_signal() {
    const size_t frames = size_t(kRate) * kSeconds;
    std::vector<int16_t> pcm(frames * kChannels);
    uint32_t seed = 12345;
    const double pi = 3.14159265358979323846;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        for (int c = 0; c < kChannels; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double noise = (double(seed >> 8) / double(1 << 24) - 0.5) * 1500;
            const double tones = 3000 * std::sin(2 * pi * (110 + 30 * c) * t) + 2000 * std::sin(2 * pi * 440 * t) +
                                 1200 * std::sin(2 * pi * 2500 * t + c) + 600 * std::sin(2 * pi * 9000 * t);
            pcm[i * kChannels + c] = int16_t(std::lround(std::clamp(tones + noise, -32768.0, 32767.0)));
        }
    }
    return pcm;
}

bool write_wav(const std::string& path, const std::vector<int16_t>& pcm) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const uint32_t data = uint32_t(pcm.size() * 2), rate = kRate, byte_rate = kRate * kChannels * 2;
    const uint16_t format = 1, channels = kChannels, align = kChannels * 2, bits = 16;
    const uint32_t riff = 36 + data, fmt = 16;
    std::fwrite("RIFF", 1, 4, f);
    std::fwrite(&riff, 4, 1, f);
    std::fwrite("WAVEfmt ", 1, 8, f);
    std::fwrite(&fmt, 4, 1, f);
    std::fwrite(&format, 2, 1, f);
    std::fwrite(&channels, 2, 1, f);
    std::fwrite(&rate, 4, 1, f);
    std::fwrite(&byte_rate, 4, 1, f);
    std::fwrite(&align, 2, 1, f);
    std::fwrite(&bits, 2, 1, f);
    std::fwrite("data", 1, 4, f);
    std::fwrite(&data, 4, 1, f);
    const bool ok = std::fwrite(pcm.data(), 2, pcm.size(), f) == pcm.size();
    return std::fclose(f) == 0 && ok;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best time of the effects with these ids, on in chain order 1..16, after tweak (if any) on the state.
double time_chain(const std::vector<int16_t>& signal, const std::vector<int>& ids,
                  void (*tweak)(soundfx::EngineState&) = nullptr) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        soundfx::Engine engine;
        engine.begin();
        engine.init(kRate, kChannels);
        engine.edit([&](soundfx::EngineState& s) {
            for (int id : ids) s.effects.by_id(id)->on = 1;
            if (tweak) tweak(s);
            return 0;
        });
        std::vector<int16_t> pcm = signal;
        const auto start = std::chrono::steady_clock::now();
        for (size_t at = 0; at < pcm.size(); at += kBlockBytes / 2) {
            const size_t n = std::min(size_t(kBlockBytes / 2), pcm.size() - at);
            engine.process(pcm.data() + at, int(n * 2));
        }
        best = std::min(best, seconds_since(start));
    }
    return best;
}

double time_command(const std::string& command) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) return -1;
        best = std::min(best, seconds_since(start));
    }
    return best;
}

void row(const char* what, double seconds) {
    std::printf("%-28s %8.3f s %9.0f x real time\n", what, seconds, kSeconds / seconds);
}

}  // namespace

int main() {
    const std::vector<int16_t> signal = make_signal();
    std::printf("60 s of 44.1 kHz stereo, 4096-byte blocks, best of %d\n\n", kRuns);

    std::vector<int> all;
    for (int id = 1; id <= soundfx::kEffectCount; ++id) all.push_back(id);
    const double chain = time_chain(signal, all);
    row("all sixteen effects", chain);
    std::printf("%-28s %s\n\n", "", kSeconds / chain >= 200 ? "meets 200 x real time" : "below 200 x real time");

    double eq = 0, reverb = 0;
    for (int id = 1; id <= soundfx::kEffectCount; ++id) {
        const double t = time_chain(signal, {id});
        if (id == 1) eq = t;
        if (id == 12) reverb = t;
        static const char* names[] = {"", "equaliser (10 bands)", "compressor", "pitch shifter", "distortion",
                                      "overdrive", "amplitude modulation", "echo", "sweep", "phaser", "noise gate",
                                      "chorus", "reverb", "wah", "super bass", "invert", "vibrato"};
        char name[64];
        std::snprintf(name, sizeof name, "%2d %s", id, names[id]);
        row(name, t);
    }

    // At its default offset of 0 the pitch shifter needs no transforms (its resynthesis gives the
    // frame back); any other offset runs the whole vocoder.
    row(" 3 pitch shifter, +0.5 octave", time_chain(signal, {3}, [](soundfx::EngineState& s) {
            s.effects.pitch.set_params({0.5f, 2048, 4});
        }));

    const std::string wav = std::string(BENCH_BINARY_DIR) + "/soundfx_bench.wav";
    if (!write_wav(wav, signal)) {
        std::printf("\ncannot write %s\n", wav.c_str());
        return 1;
    }
    const std::string sox = "sox -V0 '" + wav + "' -n";
    std::string bands;
    for (int f : {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000}) bands += " equalizer " + std::to_string(f) + " 1o 3";
    const double read = time_command(sox);
    const double sox_eq = time_command(sox + bands);
    const double sox_reverb = time_command(sox + " reverb");
    if (read < 0 || sox_eq < 0 || sox_reverb < 0) {
        std::printf("\nsox did not run\n");
        return 1;
    }
    std::printf("\nsox on the same file (its time includes reading it: %.3f s alone)\n", read);
    row("sox equalizer x 10", sox_eq);
    row("sox reverb", sox_reverb);
    std::printf("equaliser: ours %.3f s, sox %.3f s (%.3f s without the read): sox / ours = %.2f (%.2f)\n", eq, sox_eq,
                sox_eq - read, sox_eq / eq, (sox_eq - read) / eq);
    std::printf("reverb:    ours %.3f s, sox %.3f s (%.3f s without the read): sox / ours = %.2f (%.2f)\n", reverb,
                sox_reverb, sox_reverb - read, sox_reverb / reverb, (sox_reverb - read) / reverb);
    std::remove(wav.c_str());
    return 0;
}
