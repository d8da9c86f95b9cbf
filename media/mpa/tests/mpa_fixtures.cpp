#include "media/mpa/tests/mpa_fixtures.h"
#include <algorithm>
#include <cmath>
#include <random>
#include "tests/support/media_test_tools.h"

namespace mpa_fixtures {

std::vector<int16_t> test_signal(int rate, int channels, double seconds) {
    const int64_t frames = int64_t(seconds * rate);
    std::vector<int16_t> pcm(size_t(frames) * channels);
    std::mt19937 random(1234);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    const double third = seconds / 3;
    double phase = 0;
    for (int64_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        double left, right;
        if (t < third) {
            // exponential sweep from 40 Hz to 0.45 of the rate
            const double f = 40 * std::pow(0.45 * rate / 40, t / third);
            phase += 2 * M_PI * f / rate;
            left = 0.5 * std::sin(phase);
            right = 0.4 * std::sin(phase * 0.5 + 1);
        } else if (t < 2 * third) {
            left = 0.3 * noise(random);
            right = 0.6 * left + 0.2 * noise(random);
        } else {
            // 5 ms bursts every 100 ms on silence
            const double in_burst = std::fmod(t, 0.1);
            const double burst = in_burst < 0.005 ? 0.8 * std::sin(2 * M_PI * 3000 * t) : 0.0;
            left = burst;
            right = in_burst < 0.003 ? -burst : 0.0;
        }
        pcm[size_t(i) * channels] = int16_t(std::lround(left * 32767));
        if (channels == 2) pcm[size_t(i) * 2 + 1] = int16_t(std::lround(right * 32767));
    }
    return pcm;
}

std::vector<int16_t> tone(int rate, int channels, double seconds, double frequency, double amplitude) {
    const int64_t frames = int64_t(seconds * rate);
    std::vector<int16_t> pcm(size_t(frames) * channels);
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            pcm[size_t(i) * channels + c] =
                int16_t(std::lround(amplitude * 32767 * std::sin(2 * M_PI * frequency * double(i) / rate)));
    return pcm;
}

void write_wav(const std::string& path, const std::vector<int16_t>& pcm, int rate, int channels) {
    const uint32_t data = uint32_t(pcm.size() * 2);
    std::vector<uint8_t> out(44 + data);
    auto put16 = [&](size_t at, uint32_t v) { out[at] = uint8_t(v); out[at + 1] = uint8_t(v >> 8); };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
    std::copy_n("RIFF", 4, out.begin());
    put32(4, 36 + data);
    std::copy_n("WAVEfmt ", 8, out.begin() + 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, uint32_t(channels));
    put32(24, uint32_t(rate));
    put32(28, uint32_t(rate * channels * 2));
    put16(32, uint32_t(channels * 2));
    put16(34, 16);
    std::copy_n("data", 4, out.begin() + 36);
    put32(40, data);
    for (size_t i = 0; i < pcm.size(); ++i) put16(44 + 2 * i, uint16_t(pcm[i]));
    media_test::write_file(path, out);
}

std::vector<uint8_t> lame_encode(const std::vector<int16_t>& pcm, int rate, int channels, const std::string& options,
                                 const std::string& name) {
    const std::string wav = media_test::fresh_path(name + ".wav");
    const std::string mp3 = media_test::fresh_path(name + ".mp3");
    write_wav(wav, pcm, rate, channels);
    int status = 0;
    media_test::run("lame -t --quiet " + options + " '" + wav + "' '" + mp3 + "' 2>&1", &status);
    if (status != 0) return {};
    return media_test::read_file(mp3);
}

}  // namespace mpa_fixtures
