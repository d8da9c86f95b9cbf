// The saved media list: records come back whole; a damaged list is refused or made harmless.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include "tests/support/file_size_limit.h"
#include "media/records/media_list.h"
#include "test_folder.h"

namespace {
MediaFileRecord record(int n) {
    MediaFileRecord r{};
    r.running_number = n;
    std::snprintf(r.path, sizeof r.path, "C:\\video\\clip%d.mp4", n);
    r.file_kind = file_kind::mp4(2, 3);
    r.file_kind_copy = r.file_kind;
    r.frame_rate = 25.0;
    r.segments = 0xABCD;
    r.segment_count = 40;
    r.param_len1 = 3;
    r.param_block1[0] = 0x42;
    return r;
}

void append_raw(const std::string& path, const void* data, size_t n) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(static_cast<const char*>(data), std::streamsize(n));
}
}  // namespace

TEST(MediaList, RoundTrip) {
    TempFolder dir;
    std::string path = dir.file(kMediaListFileName);
    MediaFileRecord records[3] = {record(0), record(1), record(2)};
    ASSERT_EQ(write_media_list(path.c_str(), records, 3), MediaListError::None);
    std::vector<MediaFileRecord> read;
    ASSERT_EQ(read_media_list(path.c_str(), read), MediaListError::None);
    ASSERT_EQ(read.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(read[i].path, records[i].path);
        EXPECT_EQ(read[i].file_kind, records[i].file_kind);
        EXPECT_EQ(read[i].segments, 0u);       // pointer slot stored as 0
        EXPECT_EQ(read[i].segment_count, 0);   // segment lists are not saved
        EXPECT_EQ(read[i].param_len1, 3);
        EXPECT_EQ(read[i].param_block1[0], 0x42);
    }
}

TEST(MediaList, SaveThatFailsKeepsTheEarlierList) {
    TempFolder dir;
    std::string path = dir.file(kMediaListFileName);
    MediaFileRecord records[3] = {record(0), record(1), record(2)};
    ASSERT_EQ(write_media_list(path.c_str(), records, 2), MediaListError::None);
    {
        FileSizeLimit limit(4 + sizeof(MediaFileRecord) * 2 + 100);  // the disk fills during the save
        ASSERT_TRUE(limit.ok());
        EXPECT_EQ(write_media_list(path.c_str(), records, 3), MediaListError::CannotWrite);
    }
    std::vector<MediaFileRecord> read;
    ASSERT_EQ(read_media_list(path.c_str(), read), MediaListError::None);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_STREQ(read[1].path, records[1].path);
    EXPECT_EQ(std::system(("test $(ls -A '" + dir.path() + "' | wc -l) -eq 1").c_str()), 0)
        << "no half-written file is left beside the list";
}

TEST(MediaList, DamagedListsAreRefusedOrMadeHarmless) {
    TempFolder dir;
    std::string path = dir.file(kMediaListFileName);
    std::vector<MediaFileRecord> read;
    EXPECT_EQ(read_media_list(path.c_str(), read), MediaListError::CannotOpen);

    int32_t huge = 0x7FFFFFFF;
    append_raw(path, &huge, 4);
    EXPECT_EQ(read_media_list(path.c_str(), read), MediaListError::BadCount);

    std::remove(path.c_str());
    int32_t two = 2;
    MediaFileRecord r = record(0);
    append_raw(path, &two, 4);
    append_raw(path, &r, sizeof r);
    EXPECT_EQ(read_media_list(path.c_str(), read), MediaListError::BadCount);
    EXPECT_TRUE(read.empty());

    // Unterminated texts and block lengths beyond the blocks.
    std::remove(path.c_str());
    int32_t one = 1;
    std::memset(r.path, 'x', sizeof r.path);
    std::memset(r.index_path, 'y', sizeof r.index_path);
    std::memset(r.type_name, 'z', sizeof r.type_name);
    r.param_len1 = 513;
    r.param_len2 = -4;
    append_raw(path, &one, 4);
    append_raw(path, &r, sizeof r);
    ASSERT_EQ(read_media_list(path.c_str(), read), MediaListError::None);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(std::strlen(read[0].path), sizeof r.path - 1);
    EXPECT_EQ(std::strlen(read[0].index_path), sizeof r.index_path - 1);
    EXPECT_EQ(std::strlen(read[0].type_name), sizeof r.type_name - 1);
    EXPECT_EQ(read[0].param_len1, 0);
    EXPECT_EQ(read[0].param_len2, 0);
}
