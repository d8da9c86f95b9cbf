// Index file names and places: the "dat" folder beside the program, the kind prefix and the second,
// and a suffix instead of overwriting a file of the same second.
#include <gtest/gtest.h>
#include <cstring>
#include "base/fileio.h"
#include "media/records/index_name.h"
#include "test_folder.h"

namespace {
const StampTime kTime{2024, 1, 31, 23, 5, 9};

IndexFile small_index(int entries) {
    IndexFile index;
    index.width = 176;
    index.height = 144;
    index.frame_rate = 15.0;
    index.segments.resize(size_t(entries));
    return index;
}
}  // namespace

TEST(IndexName, PrefixPerBranch) {
    EXPECT_STREQ(index_prefix(MediaBranch::Mtv), "MTV");
    EXPECT_STREQ(index_prefix(MediaBranch::Amv), "AMV");
    EXPECT_STREQ(index_prefix(MediaBranch::Swf), "SWF");
    EXPECT_STREQ(index_prefix(MediaBranch::Avi), "AVI");
    EXPECT_STREQ(index_prefix(MediaBranch::Flv), "flv");
    EXPECT_STREQ(index_prefix(MediaBranch::Mp4), "MP4");
    EXPECT_EQ(index_prefix(MediaBranch::DirectShow), nullptr);
    EXPECT_EQ(index_prefix(MediaBranch::Mpeg), nullptr);
}

TEST(IndexName, NameCarriesKindAndSecond) {
    EXPECT_EQ(dat_folder("/prog"), "/prog/dat");
    EXPECT_EQ(dat_folder("/prog/"), "/prog/dat");
    EXPECT_EQ(index_file_stem("/prog/dat", "MP4", kTime), "/prog/dat/MP420240131230509");
}

TEST(IndexName, SameSecondGetsSuffixAndKeepsTheFirstFile) {
    TempFolder dir;
    std::string first = create_index_file(dir.path(), MediaBranch::Mp4, kTime, small_index(3));
    std::string second = create_index_file(dir.path(), MediaBranch::Mp4, kTime, small_index(5));
    std::string third = create_index_file(dir.path(), MediaBranch::Mp4, kTime, small_index(0));
    EXPECT_EQ(first, dir.path() + "/dat/MP420240131230509.dat");
    EXPECT_EQ(second, dir.path() + "/dat/MP420240131230509_2.dat");
    EXPECT_EQ(third, dir.path() + "/dat/MP420240131230509_3.dat");
    IndexFile read;
    ASSERT_EQ(read_index_file(first.c_str(), read), IndexError::None);
    EXPECT_EQ(read.segments.size(), 3u);
    ASSERT_EQ(read_index_file(second.c_str(), read), IndexError::None);
    EXPECT_EQ(read.segments.size(), 5u);
    // Another kind in the same second has its own name.
    EXPECT_EQ(create_index_file(dir.path(), MediaBranch::Flv, kTime, small_index(1)),
              dir.path() + "/dat/flv20240131230509.dat");
}

TEST(IndexName, ProbeRecordsTheWrittenFile) {
    TempFolder dir;
    MediaFileRecord record{};
    record.index_reserved = 5;
    ASSERT_TRUE(write_probe_index(record, dir.path(), MediaBranch::Avi, kTime, small_index(2)));
    EXPECT_STREQ(record.index_path, (dir.path() + "/dat/AVI20240131230509.dat").c_str());
    EXPECT_EQ(record.index_written, 1);
    EXPECT_EQ(record.index_reserved, 0);
}

TEST(IndexName, UncreatableFileLeavesTheRecordWithoutIndex) {
    TempFolder dir;
    // The "dat" name is taken by a plain file, so the folder cannot be made.
    {
        fileio::File blocker;
        ASSERT_TRUE(blocker.open(dir.file("dat").c_str(), fileio::File::Mode::CreateNew));
    }
    MediaFileRecord record{};
    std::strcpy(record.index_path, "stale");
    EXPECT_FALSE(write_probe_index(record, dir.path(), MediaBranch::Mtv, kTime, small_index(2)));
    EXPECT_STREQ(record.index_path, "");
    EXPECT_EQ(record.index_written, 0);
    // Kinds without index files write nothing.
    TempFolder other;
    EXPECT_FALSE(write_probe_index(record, other.path(), MediaBranch::Mpeg, kTime, small_index(2)));
}
