// The chain walk over whole blocks through the engine: the order, skipped rows, rates, pieces,
// write-back and level capture.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "reference.h"
#include "soundfx/core/engine.h"
#include "soundfx/core/float_mode.h"
#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

using namespace soundfx;

namespace {

// Rows given as the window's list would hold them: text, read with atoi.
class TextRows : public ChainOrder {
public:
    explicit TextRows(std::vector<std::string> rows) : rows_(std::move(rows)) {}
    int read(int* ids, int capacity) override {
        int n = 0;
        for (const std::string& r : rows_) {
            if (n == capacity) break;
            ids[n++] = chain_id_from_text(r.c_str());
        }
        return n;
    }
    void replace(const int*, int) override {}

private:
    std::vector<std::string> rows_;
};

std::vector<int16_t> process(Engine& e, std::vector<int16_t> pcm) {
    EXPECT_EQ(int(pcm.size() * 2), e.process(pcm.data(), int(pcm.size() * 2)));
    return pcm;
}

void process_block(Engine& e, int16_t* pcm, int samples) { EXPECT_EQ(samples * 2, e.process(pcm, samples * 2)); }

std::vector<int16_t> negated(std::vector<int16_t> v) {
    for (int16_t& s : v) s = s == -32768 ? 32767 : int16_t(-s);
    return v;
}

void switch_on(Engine& e, std::initializer_list<int> ids) {
    e.edit([&](EngineState& s) {
        for (int id : ids) s.effects.by_id(id)->on = 1;
        return 0;
    });
}

}  // namespace

TEST(Chain, NothingOnLeavesTheBlockAndZeroBytesChangeNothing) {
    Engine e;
    e.begin();
    e.init(44100, 2);
    const auto in = ref::interleave({ref::noise(20000, 3000, 1), ref::noise(20000, 3000, 2)});
    EXPECT_EQ(in, process(e, in));
    int16_t one = 1234;
    EXPECT_EQ(0, e.process(&one, 0));
    EXPECT_EQ(-5, e.process(&one, -5));
    EXPECT_EQ(8, e.process(nullptr, 8));
    EXPECT_EQ(1234, one);
}

TEST(Chain, BlocksPassUnchangedBeforeAValidInitAndAfterClose) {
    Engine e;
    const auto in = ref::to_pcm(ref::noise(20000, 500, 3));
    switch_on(e, {15});
    EXPECT_EQ(in, process(e, in)) << "before init";
    for (auto [rate, channels] : {std::pair{44100, 3}, {44100, 0}, {3999, 1}, {192001, 2}, {-44100, 1}}) {
        e.init(rate, channels);
        switch_on(e, {15});
        EXPECT_EQ(in, process(e, in)) << rate << " " << channels;
    }
    e.init(44100, 1);
    switch_on(e, {15});
    EXPECT_EQ(negated(in), process(e, in));
    e.close();
    switch_on(e, {15});
    EXPECT_EQ(in, process(e, in)) << "after close";
}

TEST(Chain, RowsThatAreNotEffectIdsAreSkipped) {
    Engine e;
    e.init(44100, 1);
    switch_on(e, {3, 15});
    const auto in = ref::to_pcm(ref::noise(20000, 500, 4));
    for (const char* row : {"0", "", "17", "-3", "abc", "99999999999"}) {
        TextRows rows({row});
        e.set_chain_order(&rows);
        EXPECT_EQ(in, process(e, in)) << '"' << row << '"';
    }
    TextRows rows({"", "15", "17"});
    e.set_chain_order(&rows);
    EXPECT_EQ(negated(in), process(e, in));
    e.set_chain_order(nullptr);
}

TEST(Chain, RowThreeRunsThePitchShifterWhenItIsOn) {
    Engine e;
    e.init(44100, 1);
    TextRows rows({"3"});
    e.set_chain_order(&rows);
    const auto in = ref::to_pcm(ref::sine(8000, 441, 44100, 4096));
    EXPECT_EQ(in, process(e, in)) << "off";
    switch_on(e, {3});
    const auto out = process(e, in);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(0, out[i]) << "the shifter's first step comes from empty frames " << i;
    EXPECT_GT(ref::rms(ref::channel(out, 1, 0), 2048), 4000);
    e.set_chain_order(nullptr);
}

TEST(Chain, AnIdTwiceRunsTwice) {
    Engine e;
    e.init(22050, 2);
    TextRows rows({"15", "15"});
    e.set_chain_order(&rows);
    switch_on(e, {15});
    const auto in = ref::interleave({ref::noise(30000, 500, 5), ref::noise(30000, 500, 6)});
    EXPECT_EQ(in, process(e, in));
    e.set_chain_order(nullptr);
}

TEST(Chain, OrderOfEchoAndInvertShowsAtFullScale) {
    // The echo saturates at +32767 before an invert gives -32767; inverted first, it saturates at -32768.
    auto run = [](std::vector<std::string> order) {
        Engine e;
        e.init(44100, 1);
        e.edit([](EngineState& s) {
            s.effects.echo.set_params({0.1f, 1.0f});
            return 0;
        });
        switch_on(e, {7, 15});
        TextRows rows(std::move(order));
        e.set_chain_order(&rows);
        std::vector<int16_t> pcm;
        for (int i = 0; i < 12; ++i) pcm = process(e, std::vector<int16_t>(4096, 30000));
        e.set_chain_order(nullptr);
        return pcm;
    };
    const auto echo_first = run({"7", "15"}), invert_first = run({"15", "7"});
    EXPECT_EQ(-32767, echo_first.back());
    EXPECT_EQ(-32768, invert_first.back());
}

TEST(Chain, NoEqualiserAt32000WhileOtherEffectsRun) {
    Engine e;
    e.init(32000, 2);
    switch_on(e, {1});
    const auto in = ref::interleave({ref::noise(20000, 1000, 7), ref::noise(20000, 1000, 8)});
    EXPECT_EQ(in, process(e, in));
    switch_on(e, {15});
    EXPECT_EQ(negated(in), process(e, in));
}

TEST(Chain, LongBlocksGoThroughInPieces) {
    Engine e;
    e.init(8000, 1);
    switch_on(e, {15});
    const auto in = ref::to_pcm(ref::noise(30000, 20000, 9));  // 40000 bytes
    EXPECT_EQ(negated(in), process(e, in));
    std::vector<int16_t> odd = {100, -200, 300};  // 3 bytes of a stereo block: no whole frame
    e.init(8000, 2);
    switch_on(e, {15});
    EXPECT_EQ(3, e.process(odd.data(), 3));
    EXPECT_EQ(100, odd[0]);
}

TEST(Chain, EachEffectSeesTheSixteenBitSamplesTheOneBeforeLeft) {
    // The chain hands float copies from one effect to the next; effect by effect on the 16-bit
    // samples, as each effect alone writes them back, the result must be the same.
    for (int channels : {1, 2}) {
        Engine chain, single;
        for (Engine* e : {&chain, &single}) {
            e->begin();
            e->init(44100, channels);
            e->edit([](EngineState& s) {
                for (int id = 1; id <= kEffectCount; ++id) s.effects.by_id(id)->on = 1;
                s.effects.pitch.set_params({0.3f, 1024, 4});
                return 0;
            });
        }
        const int order[] = {5, 2, 15, 4, 1, 9, 3, 7, 12, 6, 13, 8, 14, 10, 11, 16};
        ChainList list;
        list.replace(order, kEffectCount);
        chain.set_chain_order(&list);
        const int frames = 20000;
        std::vector<int16_t> pcm = ref::to_pcm(ref::noise(12000, frames * channels, 31));
        std::vector<int16_t> expected = pcm;
        Work work;
        for (int start = 0; start < frames; start += 2000) {
            process_block(chain, pcm.data() + start * channels, 2000 * channels);
            single.edit([&](EngineState& s) {
                FlushToZero flush;  // as the chain runs
                SoundBlock b = sound::block(expected.data() + start * channels, 4000 * channels, channels, 44100);
                for (int id : order) s.effects.by_id(id)->process(b, work);
                return 0;
            });
        }
        EXPECT_EQ(expected, pcm) << channels << " channels";
        chain.set_chain_order(nullptr);
    }
}

TEST(Chain, LevelsAreCapturedOnlyWhileShown) {
    Engine e;
    e.init(44100, 2);
    std::vector<int16_t> pcm(2 * 10000);
    for (size_t i = 0; i < pcm.size(); i += 2) {
        pcm[i] = -32768;
        pcm[i + 1] = 1000;
    }
    process(e, pcm);
    EXPECT_EQ(0, e.levels().count);
    e.set_display_shown(true);
    process(e, pcm);
    LevelCapture levels = e.levels();
    EXPECT_EQ(8190, levels.count) << "a block of more than 8190 frames gives its first 8190";
    EXPECT_EQ(128, levels.left[0]) << "full scale";
    EXPECT_EQ(3, levels.right[0]);
    e.init(44100, 1);
    process(e, std::vector<int16_t>(300, 32767));
    levels = e.levels();
    EXPECT_EQ(300, levels.count);
    EXPECT_EQ(127, levels.left[299]);
    EXPECT_EQ(0, levels.right[299]) << "one channel: no right level";
}

TEST(Chain, LevelColumnsAverageAndGuardTheWidth) {
    LevelCapture levels;
    std::vector<int16_t> pcm(2 * 1000);
    for (int i = 0; i < 1000; ++i) pcm[2 * i] = int16_t(256 * (i % 4));  // levels 0, 1, 2, 3
    levels.capture(pcm.data(), int(pcm.size() * 2), 2);
    uint8_t l[1400], r[1400];
    EXPECT_FALSE(levels.columns(0, l, r));
    EXPECT_FALSE(levels.columns(1001, l, r)) << "fewer levels than columns";
    ASSERT_TRUE(levels.columns(250, l, r));
    EXPECT_EQ(1, l[0]) << "(0 + 1 + 2 + 3) / 4";
    EXPECT_EQ(0, r[0]);
    EXPECT_EQ(0, levels.count);
}

TEST(Chain, ProcessingFlushesSubnormalsAndRestoresTheCallersMode) {
#if defined(__x86_64__)
    const unsigned before = _mm_getcsr();
    _mm_setcsr((before & ~0x6000u) | 0x6000u);  // round toward zero
    const unsigned caller = _mm_getcsr();
    Engine e;
    e.init(44100, 1);
    switch_on(e, {12});
    process(e, ref::to_pcm(ref::noise(30000, 4410, 1)));
    process(e, std::vector<int16_t>(44100 * 2, 0));
    // The control bits come back; the status flags are the caller's own business.
    EXPECT_EQ(caller & ~0x3Fu, _mm_getcsr() & ~0x3Fu);
    _mm_setcsr(before);
    StateCheck check;
    e.edit([&](EngineState& s) {
        s.effects.reverb.check_state(check);
        return 0;
    });
    EXPECT_EQ(0, check.subnormal);
#endif
}
