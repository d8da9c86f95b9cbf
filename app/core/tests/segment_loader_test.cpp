// The segment loader against a good index file and a table of hostile ones: a refused file leaves
// the row and the file exactly as they were.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include "app/core/segment_loader.h"

namespace {

std::vector<uint8_t> slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

template <typename T>
void put(std::vector<uint8_t>& bytes, size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Six entries, a thumbnail of 5 bytes on entry 0 and 3, the FLV trailer with two short blocks.
IndexFile good_index(bool trailer = true) {
    IndexFile index;
    index.codec = 2;
    index.width = 320;
    index.height = 240;
    index.frame_rate = 25.0;
    index.segments.resize(6);
    for (int i = 0; i < 6; ++i) {
        index.segments[size_t(i)].entry.time_ms = i * 40;
        index.segments[size_t(i)].entry.is_key = i % 3 == 0;
    }
    index.segments[0].set_thumbnail({1, 2, 3, 4, 5});
    index.segments[3].set_thumbnail({6, 7, 8, 9, 10});
    index.has_blocks = trailer;
    if (trailer) {
        index.block1 = {0, 0, 0, 1, 0x67};
        index.block2 = {0x12, 0x10};
    }
    return index;
}

std::vector<uint8_t> encoded(const IndexFile& index) {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(IndexError::None, encode_index_file(index, bytes));
    return bytes;
}

class SegmentLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/segment_loader_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    MediaFile row(const std::string& index_path) const {
        MediaFile f;
        std::snprintf(f.record.path, sizeof f.record.path, "%s/clip.flv", dir_.c_str());
        std::snprintf(f.record.index_path, sizeof f.record.index_path, "%s", index_path.c_str());
        f.record.range_start = 2;
        f.record.range_end = 4;
        f.record.param_len1 = 0;
        return f;
    }
    std::string dir_;
};

}  // namespace

TEST_F(SegmentLoaderTest, RestoredRowGetsEntriesThumbnailsAndBlocksAndKeepsItsRange) {
    const std::string path = dir_ + "/a.idx";
    spit(path, encoded(good_index()));
    MediaFile f = row(path);
    ASSERT_EQ(SegmentLoad::Loaded, load_segments(f));
    ASSERT_EQ(6u, f.segments.size());
    EXPECT_EQ(6, f.record.segment_count);
    EXPECT_EQ((std::vector<uint8_t>{6, 7, 8, 9, 10}), f.segments[3].thumbnail);
    EXPECT_EQ(120, f.segments[3].entry.time_ms);
    EXPECT_EQ(5, f.record.param_len1);
    EXPECT_EQ(0x67, f.record.param_block1[4]);
    EXPECT_EQ(2, f.record.param_len2);
    EXPECT_EQ(2, f.record.range_start);
    EXPECT_EQ(4, f.record.range_end);
    int s = -1, e = -1;
    shown_range(f, s, e);
    EXPECT_EQ(2, s);
    EXPECT_EQ(4, e);
    // Loaded once: a second call reads nothing.
    std::remove(path.c_str());
    EXPECT_EQ(SegmentLoad::Present, load_segments(f));
    // A row never cut (range 0..0) shows, and is converted as, the whole list.
    f.record.range_end = 0;
    shown_range(f, s, e);
    EXPECT_EQ(0, s);
    EXPECT_EQ(5, e);
    // A saved range past the list is clamped.
    f.record.range_start = 3;
    f.record.range_end = 900;
    shown_range(f, s, e);
    EXPECT_EQ(3, s);
    EXPECT_EQ(5, e);
}

// An analysis ending replaces the list: a range cut meanwhile on the same entries stays; a list of
// another length, or a range that is empty or past the list, gives the whole new list.
TEST(RangeForNewList, KeepsARangeCutOnTheSameEntries) {
    const struct {
        int old_count, new_count, start, end, want_start, want_end;
    } cases[] = {
        {100, 100, 25, 75, 25, 75},  // cut while the analysis ran
        {100, 100, 0, 99, 0, 99},
        {0, 100, 0, 0, 0, 99},       // no list before
        {50, 100, 10, 20, 0, 99},    // another list
        {100, 100, 40, 40, 0, 99},   // empty range
        {100, 100, 60, 30, 0, 99},
        {100, 100, -1, 30, 0, 99},
        {100, 100, 10, 100, 0, 99},  // past the list
        {0, 0, 3, 7, 0, 0},
    };
    for (const auto& c : cases) {
        MediaFileRecord r{};
        r.range_start = c.start;
        r.range_end = c.end;
        range_for_new_list(r, c.old_count, c.new_count);
        EXPECT_EQ(c.want_start, r.range_start) << c.old_count << " " << c.new_count << " " << c.start << ".." << c.end;
        EXPECT_EQ(c.want_end, r.range_end) << c.old_count << " " << c.new_count << " " << c.start << ".." << c.end;
    }
}

TEST_F(SegmentLoaderTest, RowsWithoutAnIndexFileStayEmpty) {
    MediaFile f = row("");
    EXPECT_EQ(SegmentLoad::NoIndex, load_segments(f));
    MediaFile g = row(dir_ + "/missing.idx");
    EXPECT_EQ(SegmentLoad::Refused, load_segments(g));
    EXPECT_TRUE(g.segments.empty());
}

TEST_F(SegmentLoaderTest, HostileIndexFilesAreRefusedAndLeaveRowAndFileAlone) {
    const std::vector<uint8_t> good = encoded(good_index());
    const std::vector<uint8_t> plain = encoded(good_index(false));
    // Entry 0's thumbnail length sits at 24 + 20; the trailer starts after six entries and ten bytes.
    const size_t trailer_at = 24 + 6 * 28 + 10;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto with = [](std::vector<uint8_t> b, auto edit) {
        edit(b);
        return b;
    };
    cases.push_back({"huge count", with(good, [](auto& b) { put<int32_t>(b, 20, 0x7FFFFFFF); })});
    cases.push_back({"thumbnail past the end", with(plain, [](auto& b) { put<int32_t>(b, 24 + 20, 100000 - 65536); })});
    cases.push_back({"thumbnail above 64 KiB", with(plain, [](auto& b) {
                         put<int32_t>(b, 24 + 20, 70000);
                         b.insert(b.begin() + 24 + 28, 70000 - 5, 0);
                     })});
    cases.push_back({"1025-byte block", with(plain, [](auto& b) {
                         const int32_t length = 1025;
                         b.insert(b.end(), reinterpret_cast<const uint8_t*>(&length),
                                  reinterpret_cast<const uint8_t*>(&length) + 4);
                         b.insert(b.end(), 1025, 7);
                         b.insert(b.end(), 4, 0);
                     })});
    cases.push_back({"short header", std::vector<uint8_t>(good.begin(), good.begin() + 10)});
    cases.push_back({"width 0", with(good, [](auto& b) { put<int32_t>(b, 4, 0); })});
    cases.push_back({"width 100000", with(good, [](auto& b) { put<int32_t>(b, 4, 100000); })});
    cases.push_back({"trailing bytes", with(good, [](auto& b) { b.insert(b.end(), {1, 2, 3}); })});
    cases.push_back({"trailer cut short", std::vector<uint8_t>(good.begin(), good.begin() + trailer_at + 6)});
    cases.push_back({"empty list", with(plain, [](auto& b) {
                         put<int32_t>(b, 20, 0);
                         b.resize(24);
                     })});
    for (const Case& k : cases) {
        const std::string path = dir_ + "/hostile.idx";
        spit(path, k.bytes);
        MediaFile f = row(path);
        f.record.param_len1 = 3;
        f.record.param_block1[0] = 0x5A;
        const MediaFileRecord before = f.record;
        EXPECT_EQ(SegmentLoad::Refused, load_segments(f)) << k.name;
        EXPECT_TRUE(f.segments.empty()) << k.name;
        EXPECT_EQ(0, std::memcmp(&before, &f.record, sizeof before)) << k.name;
        EXPECT_EQ(k.bytes, slurp(path)) << k.name;
    }
}
