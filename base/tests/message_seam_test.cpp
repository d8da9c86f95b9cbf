#include "base/message_seam.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct Recorder {
    std::string text, caption;
    bool caption_null = false;
    unsigned style = 0;
    static int record(const char* text, const char* caption, unsigned style, void* context) {
        auto* r = static_cast<Recorder*>(context);
        r->text = text;
        r->caption_null = caption == nullptr;
        r->caption = caption ? caption : "";
        r->style = style;
        return seam::kAnswerNo;
    }
};

TEST(MessageSeam, InstalledReporterGetsTextCaptionAndStyleAndAnswers) {
    Recorder r;
    seam::Reporter old = seam::set_reporter(Recorder::record, &r);
    EXPECT_EQ(seam::kAnswerNo, seam::report("text", nullptr, seam::kYesNo | seam::kIconQuestion));
    EXPECT_EQ("text", r.text);
    EXPECT_TRUE(r.caption_null);
    EXPECT_EQ(unsigned(seam::kYesNo | seam::kIconQuestion), r.style);
    seam::report("x", "Error", seam::kOk);
    EXPECT_EQ("Error", r.caption);
    seam::set_reporter(old, nullptr);
}

TEST(MessageSeam, WithoutReporterTheFirstButtonCounts) {
    seam::Reporter old = seam::set_reporter(nullptr, nullptr);
    EXPECT_EQ(seam::kAnswerOk, seam::report("a", "b", seam::kOkCancel));
    EXPECT_EQ(seam::kAnswerYes, seam::report("a", "b", seam::kYesNoCancel));
    EXPECT_EQ(seam::kAnswerRetry, seam::report("a", "b", seam::kRetryCancel));
    seam::set_reporter(old, nullptr);
}

}  // namespace
