// Building jobs from media-list rows: selection handling, the busy flag, column conversions, the
// analysed-file lookup and the job table's limit.
#include <gtest/gtest.h>
#include <cstring>
#include <set>
#include <vector>
#include "app/jobs/build_jobs.h"
#include "engine/state/run_state.h"

namespace {

using Row = std::vector<std::string>;

// Columns: number, path, size, type, duration, width, height, frame rate, sample rate, channels, kind.
Row row(const std::string& path, const std::string& rate = "25.00", const std::string& channels = "2") {
    return {"0", path, "1048576", "MP4", "61", "320", "240", rate, "44100", channels, "10771"};
}

class TableRows : public JobRowSource {
public:
    std::vector<Row> rows;
    std::set<int> selected;
    std::vector<std::pair<std::string, std::string>> messages;

    int row_count() const override { return int(rows.size()); }
    int selected_count() const override { return int(selected.size()); }
    bool is_selected(int r) const override { return selected.count(r) != 0; }
    std::string cell_text(int r, int column) const override { return rows[size_t(r)][size_t(column)]; }
    void show_message(const char* text, const char* caption) override { messages.emplace_back(text, caption); }
};

MediaFile file(const std::string& path, const std::string& index_path, int segments) {
    MediaFile f;
    std::strncpy(f.record.path, path.c_str(), sizeof f.record.path - 1);
    std::strncpy(f.record.index_path, index_path.c_str(), sizeof f.record.index_path - 1);
    f.record.segment_count = segments;
    return f;
}

class BuildJobs : public ::testing::Test {
protected:
    void SetUp() override {
        set_flag(g_busy, false);
        set_flag(g_write_output, true);
    }
    void TearDown() override { set_flag(g_busy, false); }
    TableRows list;
    JobTable table;
};

}  // namespace

TEST_F(BuildJobs, NothingSelectedTellsTheUserAndChangesNothing) {
    list.rows = {row("C:\\a.mp4")};
    table.count = 7;
    EXPECT_EQ(build_jobs(JobCommand::Play, list, nullptr, 0, table), 0);
    EXPECT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 0);
    ASSERT_EQ(list.messages.size(), 2u);
    EXPECT_EQ(list.messages[0].first, kNothingToPlay);
    EXPECT_EQ(list.messages[1].first, kNothingToConvert);
    EXPECT_EQ(list.messages[0].second, "Orvane多媒体MP4转换器");
    EXPECT_EQ(table.count, 7);
    EXPECT_TRUE(flag_on(g_write_output));
}

TEST_F(BuildJobs, BusyReturnsSilentlyAndKeepsTheTable) {
    list.rows = {row("C:\\a.mp4")};
    list.selected = {0};
    table.count = 3;
    std::strcpy(table.jobs[0].path, "previous");
    set_flag(g_busy, true);
    EXPECT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 0);
    EXPECT_TRUE(list.messages.empty());
    EXPECT_EQ(table.count, 3);
    EXPECT_STREQ(table.jobs[0].path, "previous");
}

TEST_F(BuildJobs, PlayTakesTheFirstSelectedRowConvertAllInOrder) {
    list.rows = {row("C:\\a.mp4"), row("C:\\b.mp4"), row("C:\\c.mp4"), row("C:\\d.mp4")};
    list.selected = {1, 2, 3};
    EXPECT_EQ(build_jobs(JobCommand::Play, list, nullptr, 0, table), 1);
    EXPECT_STREQ(table.jobs[0].path, "C:\\b.mp4");
    EXPECT_FALSE(flag_on(g_write_output));
    EXPECT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 3);
    EXPECT_STREQ(table.jobs[0].path, "C:\\b.mp4");
    EXPECT_STREQ(table.jobs[1].path, "C:\\c.mp4");
    EXPECT_STREQ(table.jobs[2].path, "C:\\d.mp4");
}

TEST_F(BuildJobs, MergedOutputHasSoundWhenAnyJobHasSound) {
    list.rows = {row("C:\\silent.mp4", "25.00", "0"), row("C:\\tone.mp4"), row("C:\\mute.mp4", "25.00", "0")};
    list.selected = {0, 2};
    ASSERT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 2);
    EXPECT_FALSE(jobs_have_sound(table));
    list.selected = {0, 1, 2};
    ASSERT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 3);
    EXPECT_EQ(table.jobs[0].channels, 0);
    EXPECT_TRUE(jobs_have_sound(table));
}

TEST_F(BuildJobs, ColumnsBecomeJobFields) {
    list.rows = {row("C:\\a.mp4", "29.97", "6"), row("C:\\b.mp4", "abc", "0"), row("C:\\c.mp4", "  15", "1")};
    list.selected = {0, 1, 2};
    ASSERT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 3);
    const MediaJob& j = table.jobs[0];
    EXPECT_DOUBLE_EQ(j.frame_rate, 29.97);  // the fraction stays
    EXPECT_EQ(j.channels, 2);               // 6 channels are mixed to 2
    EXPECT_EQ(j.width, 320);
    EXPECT_EQ(j.height, 240);
    EXPECT_EQ(j.file_size, 1048576);
    EXPECT_EQ(j.duration_s, 61);
    EXPECT_EQ(j.sample_rate, 44100);
    EXPECT_EQ(j.file_kind, 10771);
    EXPECT_EQ(j.file_kind_copy, 10771);
    EXPECT_EQ(j.file_index, -1);
    EXPECT_EQ(table.jobs[1].frame_rate, 0.0);  // no number
    EXPECT_EQ(table.jobs[1].channels, 0);
    EXPECT_EQ(table.jobs[2].frame_rate, 15.0);
    EXPECT_EQ(table.jobs[2].channels, 1);
}

TEST_F(BuildJobs, AnalysedRecordIsFoundOnlyWithIndexAndSegments) {
    std::vector<MediaFile> files = {
        file("C:\\plain.avi", "", 50),                     // no index file
        file("C:\\short.avi", "C:\\dat\\x.dat", 1),        // one segment only
        file("C:\\none.avi", "C:\\dat\\y.dat", 0),
        file("C:\\cut.avi", "C:\\dat\\AVI20240101000000.dat", 40),
        file("C:\\tiny.avi", "C:\\", 40),                  // index path of 3 characters
    };
    list.rows = {row("C:\\plain.avi"), row("C:\\short.avi"), row("C:\\none.avi"), row("C:\\cut.avi"),
                 row("C:\\CUT.avi"), row("C:\\tiny.avi"), row("C:\\absent.avi")};
    list.selected = {0, 1, 2, 3, 4, 5, 6};
    ASSERT_EQ(build_jobs(JobCommand::Convert, list, files.data(), int(files.size()), table), 7);
    const int expected[] = {-1, -1, -1, 3, -1, -1, -1};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(table.jobs[i].file_index, expected[i]) << table.jobs[i].path;
}

TEST_F(BuildJobs, LongPathsKeep511Characters) {
    std::string long_path = "C:\\" + std::string(300, 'p') + ".mp4";  // beyond the old 254-character read
    std::string too_long = "C:\\" + std::string(600, 'q');
    list.rows = {row(long_path), row(too_long)};
    list.selected = {0, 1};
    ASSERT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 2);
    EXPECT_EQ(std::string(table.jobs[0].path), long_path);
    EXPECT_EQ(std::strlen(table.jobs[1].path), 511u);
    ASSERT_EQ(build_jobs(JobCommand::Play, list, nullptr, 0, table), 1);
    EXPECT_EQ(std::string(table.jobs[0].path), long_path);
}

TEST_F(BuildJobs, MoreThan255RowsBuild255AndTellTheUser) {
    for (int i = 0; i < 300; ++i) {
        list.rows.push_back(row("C:\\clip" + std::to_string(i) + ".mp4"));
        list.selected.insert(i);
    }
    EXPECT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 255);
    EXPECT_STREQ(table.jobs[254].path, "C:\\clip254.mp4");
    ASSERT_EQ(list.messages.size(), 1u);
    EXPECT_EQ(list.messages[0].first, kTooManyJobs);

    list.messages.clear();
    list.selected.clear();
    for (int i = 0; i < 255; ++i) list.selected.insert(i + 45);
    EXPECT_EQ(build_jobs(JobCommand::Convert, list, nullptr, 0, table), 255);
    EXPECT_TRUE(list.messages.empty());
}

TEST(CellNumbers, ParseLikeTheListPrintsThem) {
    struct {
        const char* text;
        int whole;
        double rate;
    } cases[] = {
        {"42", 42, 42.0},         {"  7", 7, 7.0},          {"-3", -3, -3.0},          {"29.97", 29, 29.97},
        {"23.976", 23, 23.976},   {"abc", 0, 0.0},          {"", 0, 0.0},              {"12abc", 12, 12.0},
        {"99999999999", 2147483647, 99999999999.0},         {"-99999999999", -2147483647 - 1, -99999999999.0},
        {"nan", 0, 0.0},          {"inf", 0, 0.0},          {"1e999", 1, 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_cell_int(c.text), c.whole) << c.text;
        EXPECT_DOUBLE_EQ(parse_cell_rate(c.text), c.rate) << c.text;
    }
}
