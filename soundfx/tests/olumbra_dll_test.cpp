// olumbra.dll as the program meets it: the program's binder loads it without a message, every export
// answers by name and by ordinal, a record with invert alone in the chain negates a block, and close
// twice is harmless.
#include "tests/support/gtest_winelib.h"
#include <cstring>
#include <string>
#include <vector>
#include "afxseam.h"
#include "media/binders/binders.h"

namespace {

int record_box(HWND, const char* text, const char*, UINT, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(text ? text : "");
    return IDOK;
}

template <class Fn>
Fn entry(const char* name) {
    Fn fn = nullptr;
    FARPROC address = GetProcAddress(codec::hmod_olumbra, name);
    std::memcpy(&fn, &address, sizeof fn);
    return fn;
}

class Olumbra : public ::testing::Test {
protected:
    std::vector<std::string> boxes;
    void SetUp() override {
        AfxInstallMessageSeam();
        AfxSetModalHook(record_box, &boxes);
        const int loaded = codec::load_olumbra();
        for (const std::string& box : boxes) ADD_FAILURE() << "message box: " << box;
        ASSERT_EQ(0, loaded);
    }
    void TearDown() override {
        codec::unload_olumbra();
        AfxSetModalHook(nullptr, nullptr);
    }
};

TEST_F(Olumbra, ExportsAnswerByNameAndByOrdinal) {
    const char* names[] = {"tolmmix_begin",       "tolmmix_close",   "tolmmix_change",       "tolmmix_init",
                           "tolmmix_setiir",      "tolmmix_setecho", "tolmmix_setlevel",     "tolmmix_setdisp",
                           "tolmmix_datarefresh", "tolmmix_get",     "tolmmix_set",          "tolmmix_get_dispstatus",
                           "tolmmix_set_dispmode", "tolmmix_set_mainwnd"};
    for (int ordinal = 1; ordinal <= 14; ++ordinal) {
        FARPROC by_name = GetProcAddress(codec::hmod_olumbra, names[ordinal - 1]);
        ASSERT_NE(nullptr, by_name) << names[ordinal - 1];
        EXPECT_EQ(by_name, GetProcAddress(codec::hmod_olumbra, MAKEINTRESOURCEA(ordinal))) << ordinal;
    }
    EXPECT_EQ(codec::tolmmix_begin, entry<tolmmix_begin_fn>("tolmmix_begin"));
}

TEST_F(Olumbra, InvertAloneSetByARecordNegatesABlock) {
    auto get = entry<tolmmix_get_fn>("tolmmix_get");
    auto set = entry<tolmmix_set_fn>("tolmmix_set");
    codec::tolmmix_begin();
    codec::tolmmix_init(44100, 2, 0);

    soundfx::MixSettings s;
    std::memset(&s, 0x5A, sizeof s);
    EXPECT_EQ(0, get(&s));
    EXPECT_EQ(1, s.chain[0]);
    EXPECT_EQ(16, s.chain[15]);
    EXPECT_EQ(0, s.chain[16]);
    s.invert_on = 1;
    std::memset(s.chain, 0, sizeof s.chain);
    s.chain[0] = 15;
    EXPECT_EQ(0, set(s));

    std::vector<short> pcm = {-32768, 32767, 0, 1, -1, 12345, -20000, 7};
    const std::vector<short> expected = {32767, -32767, 0, -1, 1, -12345, 20000, -7};
    EXPECT_EQ(16, codec::tolmmix_change(pcm.data(), 16));
    EXPECT_EQ(expected, pcm);

    soundfx::MixSettings back;
    std::memset(&back, 0xA5, sizeof back);
    get(&back);
    EXPECT_EQ(1, back.invert_on);
    EXPECT_EQ(15, back.chain[0]);
    EXPECT_EQ(0, back.chain[1]);

    // begin made the (hidden) window: the status byte follows setdisp at once.
    codec::tolmmix_setdisp(1);
    EXPECT_TRUE(codec::tolmmix_get_dispstatus());
    codec::tolmmix_setdisp(0);
    EXPECT_FALSE(codec::tolmmix_get_dispstatus());
    codec::tolmmix_setlevel();
    codec::tolmmix_setecho(false);
    codec::tolmmix_setiir(false);
    EXPECT_EQ(0, entry<tolmmix_set_dispmode_fn>("tolmmix_set_dispmode")(1));
    HWND host = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(host, entry<tolmmix_set_mainwnd_fn>("tolmmix_set_mainwnd")(host));

    codec::tolmmix_close();
    codec::tolmmix_close();
    std::vector<short> after = {100, -100};
    EXPECT_EQ(4, codec::tolmmix_change(after.data(), 4));
    EXPECT_EQ((std::vector<short>{100, -100}), after) << "a late block after close passes through";
    EXPECT_EQ(44100, codec::tolmmix_datarefresh()) << "after close a refresh does nothing";
}

TEST_F(Olumbra, LoadsAgainAfterItWasFreed) {
    // A library the loader cannot unload would come back without its exports.
    codec::unload_olumbra();
    EXPECT_EQ(nullptr, GetModuleHandleA("olumbra.dll"));
    ASSERT_EQ(0, codec::load_olumbra());
    EXPECT_NE(nullptr, GetProcAddress(codec::hmod_olumbra, "tolmmix_set"));
}

TEST_F(Olumbra, InitAt32000RefusesRecordsAndRefreshReturnsTheRate) {
    codec::tolmmix_begin();
    codec::tolmmix_init(32000, 1, 0);
    soundfx::MixSettings s{};
    s.invert_on = 1;
    s.chain[0] = 15;
    EXPECT_EQ(-1, entry<tolmmix_set_fn>("tolmmix_set")(s));
    EXPECT_EQ(32000, codec::tolmmix_datarefresh());
    std::vector<short> pcm = {5, 6};
    codec::tolmmix_change(pcm.data(), 4);
    EXPECT_EQ((std::vector<short>{5, 6}), pcm);
    codec::tolmmix_close();
}

}  // namespace
