// Two threads for 10 s: one feeds blocks through every effect while the other changes the format, refreshes,
// sets records, closes and begins again. Clean under ASan; every block's result is its byte count.
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include "reference.h"
#include "soundfx/core/engine.h"

using namespace soundfx;

TEST(Threads, ProcessingAgainstInitRefreshSetCloseAndBegin) {
    Engine e;
    e.begin();
    e.init(44100, 2);
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0}, changes{0};
    std::atomic<bool> wrong_result{false};

    std::thread sound([&] {
        std::vector<int16_t> pcm;
        long n = 0;
        while (!stop.load()) {
            const int bytes = int(1 + (n * 7919) % 16384);
            pcm = ref::to_pcm(ref::noise(30000, bytes / 2 + 1, uint32_t(n)));
            if (e.process(pcm.data(), bytes) != bytes) wrong_result = true;
            ++n;
            blocks = n;
        }
    });

    const int rates[] = {44100, 8000, 48000, 22050, 11025, 32000, 16000};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    long i = 0;
    while (std::chrono::steady_clock::now() < end) {
        const int rate = rates[i % 7], channels = 1 + int(i % 2);
        switch (i % 6) {
        case 0:
            e.init(rate, channels);
            break;
        case 1: {
            MixSettings s;
            e.get(&s);
            s.eq_on = s.echo_on = s.pitch_on = s.sweep_on = s.chorus_on = s.phaser_on = s.am_on = s.comp_on = 1;
            s.reverb_on = s.odrv_on = s.dist_on = s.gate_on = s.wah_on = s.bass_on = s.vibrato_on = s.invert_on = 1;
            s.eq_curve.band_count = i % 4 == 1 ? 31 : 15;
            s.pitch_frame = i % 3 == 0 ? 1024 : 4096;
            s.echo_delay = float(i % 16) * 0.1f;
            for (int id = 1; id <= 16; ++id) s.chain[id - 1] = uint8_t(id);
            e.set(s);
            break;
        }
        case 2:
            e.refresh();
            break;
        case 3:
            e.edit([&](EngineState& st) {
                for (int id = 1; id <= 16; ++id) st.effects.by_id(id)->on = 1;
                return 0;
            });
            e.set_display_shown(i % 2 == 0);
            break;
        case 4:
            e.close();
            break;
        case 5:
            e.begin();
            e.init(rate, channels);
            break;
        }
        ++i;
        changes = i;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop = true;
    sound.join();
    EXPECT_FALSE(wrong_result.load());
    EXPECT_GT(blocks.load(), 100);
    EXPECT_GT(changes.load(), 100);
}
