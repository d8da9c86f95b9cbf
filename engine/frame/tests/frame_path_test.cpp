// The frame path's per-picture step over recording fakes: progress texts and notices, preview only
// while frames are not written, counters, pacing of silent jobs on a fake clock, bars.
#include <gtest/gtest.h>
#include <cstring>
#include "engine/frame/frame_path.h"
#include "engine/output/output_session.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/testing/conversion_driver.h"
#include "engine/testing/recording_calls.h"
#include "engine/testing/recording_ui.h"
#include "tests/support/signal_check.h"

namespace {

constexpr int kW = 176, kH = 144;

class FramePathStep : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::install(g_outside);
        g_out_width = kW;
        g_out_height = kH;
        g_out_format = kOut3gp;
        cfg_merge_mode = 0;
        cfg_keyframe_interval = 20;
        g_output.begin_run(kOut3gp, VideoCodec::kH263, false);
        ASSERT_TRUE(g_output.set_up_sound(false));
        set_flag(g_busy, true);
        set_flag(g_write_output, true);
        set_flag(g_show_video, true);
    }
    void TearDown() override {
        set_flag(g_busy, false);
        g_output.close_at_end();
        g_output.end_run();
        set_flag(g_write_output, false);
        g_outside = OutsideCalls{};
    }
    void start(const MediaJob& job, bool normal_speed, int job_index = 0, int job_count = 1) {
        ASSERT_TRUE(g_output.set_up_video(job));
        ASSERT_TRUE(g_output.create("out.3gp", job, false));
        g_frame_path.begin_run(ui, g_outside.clock, normal_speed, job_count);
        g_frame_path.begin_job(job, job_index);
    }
    bool step(int i, FrameProgress progress = {}) {
        picture_ = signal_check::moving_picture(kW, kH, i);
        return g_frame_path.step(picture::bgr24(picture_.data(), kW, kH), progress);
    }
    RecordingUi ui;
    std::vector<uint8_t> picture_;
};

TEST_F(FramePathStep, ProgressTextAndClockNoticeFollowTheTrimState) {
    start(test_job("C:\\v\\a.mpg", kW, kH, 25, 8000, 1), false);
    FrameProgress report;
    report.report = true;
    for (int i = 0; i < 50; ++i) step(i, FrameProgress{i % 5 == 0, false, -1});
    ASSERT_EQ(10u, ui.statuses.size());
    EXPECT_EQ("正在转换C:\\v\\a.mpg [1.80]秒", ui.statuses.back()) << "45 decoded pictures / 25";
    EXPECT_EQ(kNoticeClock, ui.notices.back().code);
    EXPECT_EQ(1, ui.notices.back().argument);
    EXPECT_EQ(50, g_output.frame_counter());
    EXPECT_EQ(50, fakes::count("h263encode_encode"));
    // Trim off: shown, not written, not counted.
    set_flag(g_write_output, false);
    const int previews = ui.previews;
    step(50, report);
    EXPECT_EQ("正在播放没有转换C:\\v\\a.mpg [2.00]秒", ui.statuses.back());
    EXPECT_EQ(50, g_output.frame_counter());
    EXPECT_EQ(50, fakes::count("h263encode_encode"));
    EXPECT_EQ(previews + 1, ui.previews);
    EXPECT_EQ(51, g_frame_path.decoded_pictures());
    set_flag(g_show_video, false);
    step(51);
    EXPECT_EQ(previews + 1, ui.previews) << "nothing drawn with Video off";
    // Stop: the step reports and tells the branch to end.
    set_flag(g_busy, false);
    EXPECT_FALSE(step(52, report));
    EXPECT_EQ(52, g_frame_path.decoded_pictures());
}

// A picture of another size than the job's is taken at its own size, read where the decoder left it
// (at its own stride): written, it is scaled to the output size (the preview shows what is coded);
// not written, the preview shows it as decoded.
TEST_F(FramePathStep, PictureOfAnotherSizeIsTakenAtItsOwnSize) {
    start(test_job("x.avi", 320, 240, 25, 0, 0), false);
    std::vector<uint8_t> odd = signal_check::moving_picture(350, 262, 0);
    EXPECT_TRUE(g_frame_path.step(picture::bgr24(odd.data(), 350, 262), {}));
    EXPECT_EQ(1, fakes::count("h263encode_encode"));
    ASSERT_EQ(kW, ui.preview_width);
    ASSERT_EQ(kH, ui.preview_height);
    CRgbImage scaled(0, 0);
    ASSERT_TRUE(CRgbImage::ScaleFrom(scaled, picture::bgr24(odd.data(), 350, 262), kW, kH));
    for (int y : {0, 77, kH - 1})
        EXPECT_EQ(0, std::memcmp(scaled.row(y), ui.last_preview.data() + size_t(kW) * 3 * y, kW * 3)) << y;
    set_flag(g_write_output, false);
    EXPECT_TRUE(g_frame_path.step(picture::bgr24(odd.data(), 350, 262), {}));
    ASSERT_EQ(350, ui.preview_width);
    ASSERT_EQ(262, ui.preview_height);
    EXPECT_EQ(0, std::memcmp(odd.data() + 1052 * 261, ui.last_preview.data() + 350 * 3 * 261, 350 * 3));
    EXPECT_EQ(1, fakes::count("h263encode_encode"));
}

// A decoder may hand pictures at the output size only while the output picture is the whole decoded
// picture stretched to it: written in stretch mode. Boxed or cropped pictures need their own size, and
// with Trim off the preview shows the picture as decoded.
TEST_F(FramePathStep, ScaleHintIsTheOutputSizeOnlyWhileStretchedPicturesAreWritten) {
    start(test_job("x.mpg", 720, 576, 25, 0, 0), false);
    struct Case {
        int adjust;
        bool written;
        int width, height;
    };
    const Case cases[] = {{0, true, kW, kH}, {1, true, 0, 0}, {2, true, 0, 0}, {0, false, 0, 0}};
    const int kept = cfg_3gp_size_adjust;
    for (const Case& c : cases) {
        cfg_3gp_size_adjust = c.adjust;
        set_flag(g_write_output, c.written);
        int w = -1, h = -1;
        g_frame_path.scale_hint(&w, &h);
        EXPECT_EQ(c.width, w) << "mode " << c.adjust << (c.written ? " written" : " not written");
        EXPECT_EQ(c.height, h) << "mode " << c.adjust << (c.written ? " written" : " not written");
    }
    cfg_3gp_size_adjust = kept;
    // A picture already of the output size is coded as it is: the stretch it stands for is not redone.
    set_flag(g_write_output, true);
    step(0);
    EXPECT_EQ(0, std::memcmp(picture_.data(), ui.last_preview.data(), picture_.size()));
}

TEST_F(FramePathStep, SilentJobAtNormalSpeedIsPacedByTheExactRate) {
    start(test_job("x.mpg", kW, kH, 29.97, 0, 0), true);
    const uint32_t t0 = fakes::now();
    for (int i = 0; i < 300; ++i) step(i);
    EXPECT_EQ(t0 + 10010, fakes::now()) << "300 pictures at 30000/1001";
}

TEST_F(FramePathStep, JobsWithSoundOrInFastModeAreNotPaced) {
    start(test_job("x.mpg", kW, kH, 25, 8000, 1), true);
    for (int i = 0; i < 50; ++i) step(i);
    EXPECT_EQ(0, fakes::count("sleep")) << "the wave output paces a job with sound";
    start(test_job("x.mpg", kW, kH, 25, 0, 0), false);
    for (int i = 0; i < 50; ++i) step(i);
    EXPECT_EQ(0, fakes::count("sleep"));
    // Rate x channels below 10 counts as silent.
    start(test_job("x.mpg", kW, kH, 25, 9, 1), true);
    for (int i = 0; i < 25; ++i) step(i);
    EXPECT_GT(fakes::count("sleep"), 0);
}

TEST_F(FramePathStep, BarsMoveOnlyWhenTheyGrowWithTheOverallRule) {
    start(test_job("x.avi", kW, kH, 25, 0, 0), false, 1, 3);
    for (double f : {0.0005, 0.1, 0.1004, 0.05, 0.5, 1.0}) step(0, FrameProgress{false, false, f});
    // q = 1000 / 3 = 333: overall (int)(333 f) + 333.
    // The first value (0) is above the -1 a branch starts with; 0.1004 and 0.05 are not above 100.
    const std::vector<std::pair<int, int>> expected = {{0, 333}, {100, 366}, {500, 499}, {1000, 666}};
    EXPECT_EQ(expected, ui.bars);
    // The AVI branch also sets them with its progress text, without the growth test.
    step(0, FrameProgress{true, true, 0.2});
    EXPECT_EQ((std::pair<int, int>{200, 399}), ui.bars.back());
    EXPECT_EQ(0, overall_bar_value(0.5, 0, 0));
    EXPECT_EQ(999, overall_bar_value(1.0, 2, 3));
}

}  // namespace
