#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <utility>
#include <functional>
#include <string>
#include <vector>
#include "engine/state/run_state.h"
#include "engine/wave/wave_out.h"

namespace {

// A wave device in memory: queued buffers wait in order until the test (or the clock) plays them.
struct FakeDevice {
    bool opens = true;
    bool writes = true;
    bool allocates = true;
    bool plays_while_sleeping = false;  // each 10 ms of sleep plays one queued buffer
    std::deque<int> queued;
    std::vector<int> written;           // buffer indexes in the order queued
    std::vector<int> lengths;
    std::vector<std::string> calls;
    uint32_t now = 0;
    int sleeps = 0;
    std::function<void()> on_sleep;
    int live_blocks = 0;

    void play_one() {
        if (queued.empty()) return;
        queued.pop_front();
        wave_out_buffer_done();
    }
};
FakeDevice* g_fake = nullptr;

WaveDevice fake_device(FakeDevice& fake) {
    g_fake = &fake;
    WaveDevice d;
    d.open = [](const WaveFormat&) {
        g_fake->calls.push_back("open");
        return g_fake->opens;
    };
    d.write = [](int index, uint8_t*, int length) {
        g_fake->calls.push_back("write");
        if (!g_fake->writes) return false;
        g_fake->queued.push_back(index);
        g_fake->written.push_back(index);
        g_fake->lengths.push_back(length);
        return true;
    };
    d.unprepare = [](int) { g_fake->calls.push_back("unprepare"); };
    d.reset = [] {
        g_fake->calls.push_back("reset");
        while (!g_fake->queued.empty()) g_fake->play_one();
    };
    d.close = [] { g_fake->calls.push_back("close"); };
    d.pause = [](bool hold) { g_fake->calls.push_back(hold ? "pause" : "restart"); };
    d.allocate = [](size_t bytes) -> void* {
        if (!g_fake->allocates) return nullptr;
        ++g_fake->live_blocks;
        return std::calloc(bytes, 1);
    };
    d.release = [](void* p) {
        --g_fake->live_blocks;
        std::free(p);
    };
    d.clock.now_ms = [] { return g_fake->now; };
    d.clock.sleep_ms = [](int ms) {
        g_fake->now += uint32_t(ms);
        ++g_fake->sleeps;
        if (g_fake->plays_while_sleeping) g_fake->play_one();
        if (g_fake->on_sleep) g_fake->on_sleep();
    };
    return d;
}

class WaveOut : public ::testing::Test {
protected:
    void SetUp() override {
        set_flag(g_busy, true);
        wave_out_set_device(fake_device(fake));
    }
    void TearDown() override {
        fake.plays_while_sleeping = true;
        wave_out_close();
        EXPECT_EQ(0, fake.live_blocks) << "the ring is released";
        set_flag(g_busy, false);
        g_fake = nullptr;
    }
    FakeDevice fake;
};

TEST_F(WaveOut, RingSizeFollowsChannelsTimesRate) {
    struct Case {
        int rate, channels, size, count;
    } cases[] = {{8000, 1, 1024, 10}, {22050, 1, 2048, 10}, {44100, 2, 4096, 20}, {8000, 2, 2048, 10}, {11025, 2, 2048, 10}, {16000, 2, 4096, 20}};
    for (const Case& c : cases) {
        ASSERT_EQ(0, wave_out_open(pcm_wave_format(c.rate, c.channels)));
        const WaveOutState s = wave_out_state();
        EXPECT_EQ(c.size, s.buffer_size) << c.rate << " x " << c.channels;
        EXPECT_EQ(c.count, s.buffer_count);
        EXPECT_EQ(c.count, s.free_count);
        wave_out_close();
    }
}

TEST_F(WaveOut, ShortWriteQueuesNothingAndFullBuffersGoOutInOrder) {
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(8000, 1)));
    std::vector<uint8_t> pcm(5000, 1);
    wave_out_write(pcm.data(), 1000);
    EXPECT_TRUE(fake.written.empty()) << "1000 bytes fit in the first 1024-byte buffer";
    EXPECT_EQ(1000, wave_out_state().current_fill);
    wave_out_write(pcm.data(), 3000);  // 4000 in all: three full buffers, 928 bytes in the fourth
    EXPECT_EQ((std::vector<int>{0, 1, 2}), fake.written);
    EXPECT_EQ((std::vector<int>{1024, 1024, 1024}), fake.lengths);
    EXPECT_EQ(3, wave_out_state().current);
    EXPECT_EQ(4000 - 3 * 1024, wave_out_state().current_fill);
    EXPECT_EQ(7, wave_out_state().free_count);
}

TEST_F(WaveOut, WriterWaitsForFreeBuffersWhichPacesTheRun) {
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(8000, 1)));
    fake.plays_while_sleeping = true;
    std::vector<uint8_t> pcm(1024 * 30, 0);
    wave_out_write(pcm.data(), int(pcm.size()));
    EXPECT_EQ(30u, fake.written.size());
    EXPECT_GT(fake.sleeps, 0);
    EXPECT_GE(wave_out_state().free_count, 2) << "the writer leaves at least two buffers free";
}

TEST_F(WaveOut, ClearingBusyFreesAWaitingWriterAndTheIndexAdvances) {
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(44100, 2)));
    fake.on_sleep = [this] {
        if (fake.sleeps == 3) set_flag(g_busy, false);
    };
    std::vector<uint8_t> pcm(4096 * 25, 0);
    wave_out_write(pcm.data(), int(pcm.size()));
    // 19 buffers queued leave one free: the writer waited, was let go by Stop, moved on to buffer 19
    // and queued nothing more.
    EXPECT_EQ(19u, fake.written.size());
    EXPECT_EQ(3, fake.sleeps);
    EXPECT_EQ(19, wave_out_state().current);
    EXPECT_EQ(0, wave_out_state().current_fill);
}

TEST_F(WaveOut, CloseWaitsForEveryQueuedBuffer) {
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(22050, 1)));
    std::vector<uint8_t> pcm(2048 * 5 + 100, 0);
    wave_out_write(pcm.data(), int(pcm.size()));
    ASSERT_EQ(5u, fake.queued.size());
    fake.plays_while_sleeping = true;
    wave_out_close();
    EXPECT_TRUE(fake.queued.empty());
    EXPECT_EQ(5, fake.sleeps) << "one buffer played per 10 ms slept";
    ASSERT_FALSE(fake.calls.empty());
    EXPECT_EQ("close", fake.calls.back());
    EXPECT_EQ(std::find(fake.calls.begin(), fake.calls.end(), "reset"), fake.calls.end()) << "no reset needed";
    EXPECT_FALSE(wave_out_state().open);
}

TEST_F(WaveOut, CloseGivesUpAfterThePlayTimeAndASecondAndResets) {
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(8000, 1)));  // 16000 bytes a second
    std::vector<uint8_t> pcm(1024 * 4, 0);
    wave_out_write(pcm.data(), int(pcm.size()));
    const uint32_t start = fake.now;
    wave_out_close();  // the device never hands a buffer back
    const uint32_t waited = fake.now - start;
    EXPECT_GE(waited, 1000u + 4 * 1024 * 1000 / 16000);
    EXPECT_LE(waited, 1000u + 4 * 1024 * 1000 / 16000 + 20);
    EXPECT_NE(std::find(fake.calls.begin(), fake.calls.end(), "reset"), fake.calls.end());
}

TEST_F(WaveOut, RefusedWriteUsesUpNoBuffer) {
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(8000, 1)));
    fake.writes = false;
    std::vector<uint8_t> pcm(1024 * 15, 0);
    wave_out_write(pcm.data(), int(pcm.size()));
    EXPECT_EQ(10, wave_out_state().free_count);
    EXPECT_EQ(0, fake.sleeps) << "nothing queued, nothing to wait for";
}

// Without a device, or without memory for the ring, nothing hangs and nothing exits: a write takes the
// play time of its data and a close returns at once.
TEST_F(WaveOut, FailedOpenOrRingKeepsThePaceAndClosesAtOnce) {
    for (bool ring_fails : {false, true}) {
        SCOPED_TRACE(ring_fails ? "ring" : "device");
        fake.opens = ring_fails;
        fake.allocates = !ring_fails;
        EXPECT_EQ(ring_fails ? kWaveRingFailed : kWaveOpenFailed, wave_out_open(pcm_wave_format(22050, 2)));
        EXPECT_TRUE(wave_out_state().silent);
        const uint32_t start = fake.now;
        std::vector<uint8_t> pcm(22050 * 4 / 10, 0);  // 100 ms
        for (int i = 0; i < 20; ++i) wave_out_write(pcm.data(), int(pcm.size()));
        EXPECT_EQ(2000u, fake.now - start);
        EXPECT_TRUE(fake.written.empty());
        const int sleeps = fake.sleeps;
        EXPECT_EQ(0, wave_out_close());
        EXPECT_EQ(sleeps, fake.sleeps);
        EXPECT_EQ(0, fake.live_blocks);
    }
}

TEST_F(WaveOut, StopEndsASilentWriteEarly) {
    fake.opens = false;
    wave_out_open(pcm_wave_format(8000, 1));
    fake.on_sleep = [this] {
        if (fake.sleeps == 2) set_flag(g_busy, false);
    };
    std::vector<uint8_t> pcm(16000, 0);
    wave_out_write(pcm.data(), int(pcm.size()));
    EXPECT_EQ(2, fake.sleeps);
}

// The sound's clock with a device: played is what the device gave back, queued what it still holds;
// a pause holds the device, Stop resets it so the close does not wait for the held sound.
TEST_F(WaveOut, ClockFollowsTheDeviceAndPauseAndStopReachIt) {
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(8000, 1)));  // 10 x 1024 bytes, 64 ms each
    std::vector<uint8_t> pcm(1024 * 4, 0);
    wave_out_write(pcm.data(), int(pcm.size()));
    WaveClock c = wave_out_clock();
    EXPECT_EQ(0, c.played_ms);
    EXPECT_EQ(256, c.queued_ms);
    fake.play_one();
    c = wave_out_clock();
    EXPECT_EQ(64, c.played_ms);
    EXPECT_EQ(192, c.queued_ms);
    wave_out_pause(true);
    wave_out_pause(true);
    wave_out_pause(false);
    const int calls_before_stop = int(fake.calls.size());
    EXPECT_EQ(0, wave_out_stop());
    std::vector<std::string> tail(fake.calls.begin() + calls_before_stop, fake.calls.end());
    ASSERT_FALSE(tail.empty());
    EXPECT_EQ("reset", tail.front());
    EXPECT_EQ("close", tail.back());
    EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "pause"), 1);
    EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "restart"), 1);
    EXPECT_EQ(0, wave_out_clock().played_ms);
}

// Without a device the clock is the time the writes have taken; a pause stops it, and the writes after
// the pause keep the pace instead of making up the paused time at once.
TEST_F(WaveOut, SilentClockStopsDuringPause) {
    fake.opens = false;
    ASSERT_EQ(kWaveOpenFailed, wave_out_open(pcm_wave_format(8000, 1)));
    std::vector<uint8_t> pcm(1600, 0);  // 100 ms
    wave_out_write(pcm.data(), int(pcm.size()));
    EXPECT_EQ(100, wave_out_clock().played_ms);
    wave_out_write(pcm.data(), int(pcm.size()));
    EXPECT_EQ(200, wave_out_clock().played_ms);
    wave_out_pause(true);
    fake.now += 5000;
    EXPECT_EQ(200, wave_out_clock().played_ms);
    wave_out_pause(false);
    EXPECT_EQ(200, wave_out_clock().played_ms);
    const uint32_t before = fake.now;
    wave_out_write(pcm.data(), int(pcm.size()));
    EXPECT_EQ(100u, fake.now - before);
    EXPECT_EQ(300, wave_out_clock().played_ms);
    EXPECT_EQ(0, wave_out_clock().queued_ms);
}

// What playback relies on: a waiting write gives the hook its turn every poll (the pictures due
// meanwhile are shown), a silent output's time starts with its first write (as a device starts with
// its first buffer), and a device position ahead of the buffers given back (Wine counts what it has
// copied into its own buffer) counts at most one buffer more.
TEST_F(WaveOut, WaitingWritesCallTheHookAndTheClockStartsWithTheSound) {
    int calls = 0;
    wave_out_set_wait_hook([](void* n) { ++*static_cast<int*>(n); }, &calls);
    {
        SCOPED_TRACE("device");
        ASSERT_EQ(0, wave_out_open(pcm_wave_format(8000, 1)));  // 10 x 1024 bytes
        fake.plays_while_sleeping = true;
        std::vector<uint8_t> pcm(1024 * 12, 0);
        wave_out_write(pcm.data(), int(pcm.size()));
        EXPECT_EQ(fake.sleeps, calls) << "every poll of the waiting write";
        EXPECT_GT(calls, 0);
        wave_out_close();
    }
    {
        SCOPED_TRACE("no device");
        fake.opens = false;
        calls = 0;
        const int sleeps = fake.sleeps;
        ASSERT_EQ(kWaveOpenFailed, wave_out_open(pcm_wave_format(8000, 1)));
        fake.now += 700;  // the first sound comes late: the clock has not run meanwhile
        EXPECT_EQ(0, wave_out_clock().played_ms);
        const uint32_t before = fake.now;
        std::vector<uint8_t> pcm(1600, 0);  // 100 ms
        wave_out_write(pcm.data(), int(pcm.size()));
        EXPECT_EQ(100u, fake.now - before) << "the first write takes its whole play time";
        EXPECT_EQ(fake.sleeps - sleeps, calls);
        EXPECT_EQ(100, wave_out_clock().played_ms);
        wave_out_close();
        fake.opens = true;
    }
    wave_out_set_wait_hook(nullptr, nullptr);
    {
        SCOPED_TRACE("position ahead");
        int64_t position = 0;
        static int64_t* at = nullptr;
        at = &position;
        WaveDevice d = fake_device(fake);
        d.played_bytes = [] { return *at; };
        wave_out_set_device(d);
        ASSERT_EQ(0, wave_out_open(pcm_wave_format(8000, 1)));  // 1024 bytes = 64 ms
        std::vector<uint8_t> pcm(1024 * 4, 0);
        wave_out_write(pcm.data(), int(pcm.size()));
        position = 500;  // within the first buffer: finer than whole buffers
        EXPECT_EQ(31, wave_out_clock().played_ms);
        position = 3000;  // nothing given back yet: one buffer at most
        EXPECT_EQ(64, wave_out_clock().played_ms);
        fake.play_one();
        EXPECT_EQ(128, wave_out_clock().played_ms);
        position = 100000;  // never past what was handed over
        fake.play_one();
        fake.play_one();
        fake.play_one();
        EXPECT_EQ(256, wave_out_clock().played_ms);
        EXPECT_EQ(0, wave_out_clock().queued_ms);
    }
}

// Whatever the device plays is sound that was written, each sample once and in order: never the ring's
// unwritten part, never a buffer the device still holds written over, never a previous play's rest.
// The device here checks each buffer when it plays it against what the buffer held when it was queued,
// and the sound is a running count, so a stale, repeated, skipped or zero-filled sample shows.
struct PlayedSound {
    std::vector<std::vector<int16_t>> at_queue;  // by queue order
    std::vector<int16_t> played;
    int overwritten = 0;  // buffers whose bytes changed between queueing and playing
};
PlayedSound* g_played = nullptr;
std::deque<std::pair<const int16_t*, size_t>> g_in_device;  // the queued buffers' data, oldest first

WaveDevice checking_device(FakeDevice& fake, PlayedSound& played) {
    g_played = &played;
    g_in_device.clear();
    WaveDevice d = fake_device(fake);
    d.write = [](int index, uint8_t* data, int length) {
        g_fake->queued.push_back(index);
        g_fake->written.push_back(index);
        const auto* samples = reinterpret_cast<const int16_t*>(data);
        g_played->at_queue.emplace_back(samples, samples + length / 2);
        g_in_device.emplace_back(samples, size_t(length / 2));
        return true;
    };
    d.reset = [] {
        // Given back unplayed.
        while (!g_fake->queued.empty()) {
            g_fake->queued.pop_front();
            g_in_device.pop_front();
            wave_out_buffer_done();
        }
    };
    d.clock.sleep_ms = [](int ms) {
        g_fake->now += uint32_t(ms);
        ++g_fake->sleeps;
        if (g_fake->plays_while_sleeping && !g_fake->queued.empty()) {
            const size_t n = g_played->played.size();
            const auto [samples, count] = g_in_device.front();
            g_played->played.insert(g_played->played.end(), samples, samples + count);
            // The buffer this is (queue order = order of plays so far).
            size_t which = 0, total = 0;
            while (which < g_played->at_queue.size() && total < n) total += g_played->at_queue[which++].size();
            if (which < g_played->at_queue.size() &&
                !std::equal(samples, samples + count, g_played->at_queue[which].begin()))
                ++g_played->overwritten;
            g_in_device.pop_front();
            g_fake->queued.pop_front();
            wave_out_buffer_done();
        }
        if (g_fake->on_sleep) g_fake->on_sleep();
    };
    return d;
}

std::vector<int16_t> count_from(int first, int samples) {
    std::vector<int16_t> pcm(static_cast<size_t>(samples));
    for (int i = 0; i < samples; ++i) pcm[size_t(i)] = int16_t(first + i);
    return pcm;
}

TEST_F(WaveOut, TheDevicePlaysOnlyWrittenSoundThroughHoldStopAndReopen) {
    PlayedSound played;
    wave_out_set_device(checking_device(fake, played));
    const int buffer = 4096 / 2;  // samples a buffer at 44100 Hz stereo
    {
        SCOPED_TRACE("held at the start, released by the waiting write's hook");
        ASSERT_EQ(0, wave_out_open(pcm_wave_format(44100, 2)));
        wave_out_pause(true);
        static bool* held = nullptr;
        bool hold = true;
        held = &hold;
        wave_out_set_wait_hook([](void*) {
            if (*held) wave_out_pause(false), *held = false;
        }, nullptr);
        fake.plays_while_sleeping = true;
        // Pieces of odd sizes, as decoders hand them over: 30 buffers and a part.
        const auto pcm = count_from(0, buffer * 30 + 700);
        for (size_t at = 0; at < pcm.size();) {
            const size_t n = std::min<size_t>(1153, pcm.size() - at);
            wave_out_write(pcm.data() + at, int(n * 2));
            at += n;
        }
        wave_out_set_wait_hook(nullptr, nullptr);
        wave_out_close();
        // Whole buffers only: the part at the end is dropped with the ring.
        ASSERT_EQ(size_t(buffer) * 30, played.played.size());
        EXPECT_EQ(std::vector<int16_t>(pcm.begin(), pcm.begin() + buffer * 30), played.played);
        EXPECT_EQ(0, played.overwritten);
    }
    {
        SCOPED_TRACE("Stop while the writer waits, then the next play");
        played = PlayedSound{};
        fake.plays_while_sleeping = false;
        ASSERT_EQ(0, wave_out_open(pcm_wave_format(44100, 2)));
        fake.on_sleep = [this] {
            if (fake.sleeps == 2) set_flag(g_busy, false);
        };
        fake.sleeps = 0;
        const auto first = count_from(-30000, buffer * 25 + 333);
        wave_out_write(first.data(), int(first.size() * 2));
        EXPECT_TRUE(played.played.empty());
        wave_out_stop();
        EXPECT_TRUE(played.played.empty()) << "Stop gives the queued sound back unplayed";
        fake.on_sleep = nullptr;
        set_flag(g_busy, true);

        played = PlayedSound{};
        ASSERT_EQ(0, wave_out_open(pcm_wave_format(44100, 2)));
        fake.plays_while_sleeping = true;
        const auto second = count_from(1000, buffer * 22 + 100);
        wave_out_write(second.data(), 300);  // a part buffer first
        wave_out_write(second.data() + 150, int(second.size() * 2) - 300);
        wave_out_close();
        ASSERT_EQ(size_t(buffer) * 22, played.played.size()) << "none of the stopped play's sound";
        EXPECT_EQ(std::vector<int16_t>(second.begin(), second.begin() + buffer * 22), played.played);
        EXPECT_EQ(0, played.overwritten);
    }
}

}  // namespace
