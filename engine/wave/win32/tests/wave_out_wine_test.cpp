// The wave output through winmm under Wine. With the PulseAudio null sink (built with WAVE_SINK) two
// seconds of a 1 kHz tone take two seconds to write and close, and what the sink's monitor records is
// that tone; without a sound device the writes keep the same pace and closing returns at once.
#include "tests/support/gtest_winelib.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>
#include "engine/state/run_state.h"
#include "engine/wave/win32/wave_device_winmm.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"

namespace {

constexpr int kRate = 44100, kChannels = 2;

// Writes two seconds of 1 kHz in 4096-byte chunks as the audio path does; returns the seconds from the
// first write until the close returned, and the close's own share in *close_seconds.
double play_two_seconds(double* close_seconds) {
    std::vector<int16_t> tone = signal_check::tone(1000, 12000, kRate, kChannels, 2 * kRate);
    const int bytes = int(tone.size() * 2);
    const DWORD start = timeGetTime();
    for (int pos = 0; pos < bytes; pos += 4096)
        wave_out_write(reinterpret_cast<const uint8_t*>(tone.data()) + pos, std::min(4096, bytes - pos));
    const DWORD closing = timeGetTime();
    wave_out_close();
    const DWORD end = timeGetTime();
    *close_seconds = (end - closing) / 1000.0;
    return (end - start) / 1000.0;
}

#ifdef WAVE_SINK

TEST(WaveOutSink, TwoSecondsOfToneTakeTwoSecondsAndReachTheSink) {
    set_flag(g_busy, true);
    wave_out_set_device(winmm_wave_device());
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(kRate, kChannels)));

    // The sink's monitor, recorded by parec from before the first write until after the close.
    const std::string recording = media_test::fresh_path("wave_sink.raw");
    const std::string pid_file = media_test::out_path("wave_sink.pid");
    const char* server = std::getenv("PULSE_SERVER");
    ASSERT_NE(nullptr, server);
    int status = 0;
    media_test::run(std::string("PULSE_SERVER='") + server + "' parec -d nullsink.monitor --raw --format=s16le " +
                        "--rate=44100 --channels=1 > '" + recording + "' 2>/dev/null & echo $! > '" + pid_file + "'",
                    &status);
    ASSERT_EQ(0, status);
    Sleep(300);

    double close_seconds = 0;
    const double seconds = play_two_seconds(&close_seconds);
    Sleep(300);
    const std::vector<uint8_t> pid = media_test::read_file(pid_file);
    ASSERT_FALSE(pid.empty());
    media_test::run("kill " + std::string(pid.begin(), pid.end()));
    Sleep(200);
    set_flag(g_busy, false);

    printf("2 s of sound written and closed in %.3f s (close %.3f s)\n", seconds, close_seconds);
    // The device paces the writes: never faster than the sound (a null device without pacing plays 2 s
    // in half a second); a loaded machine may stretch it a little.
    EXPECT_GE(seconds, 1.9);
    EXPECT_LE(seconds, 2.6);
    const std::vector<uint8_t> raw = media_test::read_file(recording);
    std::vector<int16_t> pcm(raw.size() / 2);
    memcpy(pcm.data(), raw.data(), pcm.size() * 2);
    // The tone's stretch of the recording.
    size_t first = 0, last = 0;
    for (size_t i = 0; i < pcm.size(); ++i)
        if (std::abs(pcm[i]) > 3000) {
            if (!first) first = i;
            last = i;
        }
    ASSERT_GT(last, first);
    // Sound heard: the 10 ms windows of the recording that carry the tone. An underrun on a loaded
    // machine puts silence between them but loses nothing; a lost or doubled buffer changes the count.
    const size_t window = kRate / 100;
    size_t tone_windows = 0;
    for (size_t at = first; at + window <= last + 1; at += window) {
        double energy = 0;
        for (size_t i = at; i < at + window; ++i) energy += double(pcm[i]) * pcm[i];
        if (energy / window > 3000.0 * 3000.0) ++tone_windows;
    }
    const double heard = double(tone_windows * window) / kRate;
    std::vector<double> middle = signal_check::channel(
        std::vector<int16_t>(pcm.begin() + first + kRate / 4, pcm.begin() + last - kRate / 4), 1, 0);
    const double frequency = signal_check::dominant_frequency(middle, kRate);
    printf("the sink's monitor heard %.3f s of %.2f Hz\n", heard, frequency);
    EXPECT_NEAR(1000.0, frequency, 10.0);
    EXPECT_NEAR(2.0, heard, 0.05);
}

#else

TEST(WaveOutWithoutDevice, WritesKeepTheirPaceAndCloseReturnsAtOnce) {
    set_flag(g_busy, true);
    wave_out_set_device(winmm_wave_device());
    EXPECT_EQ(kWaveOpenFailed, wave_out_open(pcm_wave_format(kRate, kChannels)));
    double close_seconds = 0;
    const double seconds = play_two_seconds(&close_seconds);
    printf("2 s of sound without a device: %.3f s, close %.3f s\n", seconds, close_seconds);
    EXPECT_NEAR(2.0, seconds, 0.1);
    EXPECT_LT(close_seconds, 0.05);
    set_flag(g_busy, false);
}

#endif

}  // namespace
