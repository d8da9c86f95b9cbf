#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include "app/core/file_table.h"

namespace {

class FileTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/file_table_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    // A file of `size` bytes in the test folder; its path.
    std::string file(const std::string& name, size_t size) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        return path;
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    static MediaFileRecord record(const std::string& media, const std::string& index = "") {
        MediaFileRecord r{};
        std::snprintf(r.path, sizeof r.path, "%s", media.c_str());
        std::snprintf(r.index_path, sizeof r.index_path, "%s", index.c_str());
        r.index_written = index.empty() ? 0 : 1;
        r.width = 320;
        r.height = 240;
        return r;
    }

    std::string dir_;
};

TEST_F(FileTableTest, RemovingRowsTwoAndFourOfFiveKeepsTheOthersInOrderWithTheirNumbers) {
    FileTable table;
    for (int i = 0; i < 5; ++i) {
        const std::string p = "C:\\media\\f" + std::to_string(i) + ".mpg";
        ASSERT_EQ(table.add(record(p), p.c_str()), i);
    }
    EXPECT_EQ(table.running_number(), 5);
    // The list removes from the last selected row to the first, by running number.
    EXPECT_EQ(table.remove_running_number(3), 3);
    EXPECT_EQ(table.remove_running_number(1), 1);
    EXPECT_EQ(table.remove_running_number(1), -1);  // nothing carries it any more
    ASSERT_EQ(table.count(), 3);
    const int kept[] = {0, 2, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(table.row(i).record.running_number, kept[i]);
        EXPECT_EQ(std::string(table.row(i).record.path), "C:\\media\\f" + std::to_string(kept[i]) + ".mpg");
    }
    EXPECT_EQ(table.row(3).record.index_path[0], '\0');  // the freed slot is empty again
}

TEST(FileTableIndex, AnIndexNamingTheRemovedRecordBecomesMinusOneAndLaterOnesMoveDown) {
    struct Case {
        int index, removed, expected;
    };
    const Case cases[] = {{2, 2, -1}, {3, 2, 2}, {1, 2, 1}, {-1, 2, -1}, {0, 0, -1}, {5, -1, 5}};
    for (const Case& c : cases) EXPECT_EQ(index_after_removal(c.index, c.removed), c.expected) << c.index;
}

TEST_F(FileTableTest, RelistDropsFilesOfAThousandBytesOrLessAndRenumbers) {
    FileTable table;
    const std::string big1 = file("a.mpg", 1001), small = file("b.mpg", 1000), big2 = file("c.mpg", 5000);
    for (const std::string& p : {big1, small, path("gone.mpg"), big2}) table.add(record(p), p.c_str());
    table.reset_running_number();
    table.take_running_number();  // a disc row took number 0
    table.relist();
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(std::string(table.row(0).record.path), big1);
    EXPECT_EQ(std::string(table.row(1).record.path), big2);
    EXPECT_EQ(table.row(0).record.running_number, 1);
    EXPECT_EQ(table.row(1).record.running_number, 2);
}

TEST_F(FileTableTest, LoadKeepsRecordsWithoutIndexAndDropsVanishedOrTinyIndexFiles) {
    const std::string media = file("m.avi", 2000), tiny_media = file("t.avi", 1000);
    const std::string index11 = file("i11.dat", 11), index10 = file("i10.dat", 10);
    MediaFileRecord saved[] = {
        record(media),                       // no index file: kept
        record(media, index10),              // index of 10 bytes: dropped
        record(media, index11),              // kept
        record(tiny_media),                  // media of 1000 bytes: dropped
        record(media, path("vanished.dat")), // index gone: dropped
        record(path("gone.avi")),            // media gone: dropped
        record(media, "ab"),                 // an index path of 3 characters or fewer counts as none: kept
    };
    saved[2].segment_count = 7;
    saved[2].running_number = 42;
    ASSERT_EQ(write_media_list(path("list.dat").c_str(), saved, 7), MediaListError::None);
    FileTable table;
    EXPECT_EQ(table.load(path("list.dat").c_str()), MediaListError::None);
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(std::string(table.row(0).record.index_path), "");
    EXPECT_EQ(std::string(table.row(1).record.index_path), index11);
    EXPECT_EQ(std::string(table.row(2).record.index_path), "ab");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(table.row(i).record.running_number, i);
        EXPECT_EQ(table.row(i).record.segment_count, 0);
    }
}

TEST_F(FileTableTest, DamagedListsLoadWhatIsWhole) {
    const std::string media = file("m.avi", 2000);
    const MediaFileRecord two[] = {record(media), record(media)};
    struct Case {
        const char* name;
        int32_t count;
        size_t keep_bytes;  // of the two records written after the count
        int expected;
    };
    const Case cases[] = {
        {"negative count", -5, 2 * sizeof(MediaFileRecord), 0},
        {"count far beyond the file", 100000, 2 * sizeof(MediaFileRecord), 2},
        {"cut inside the second record", 2, sizeof(MediaFileRecord) + 100, 1},
        {"only the count", 3, 0, 0},
    };
    for (const Case& c : cases) {
        const std::string list = path("damaged.dat");
        {
            std::ofstream out(list, std::ios::binary);
            out.write(reinterpret_cast<const char*>(&c.count), 4);
            out.write(reinterpret_cast<const char*>(two), std::streamsize(c.keep_bytes));
        }
        FileTable table;
        table.load(list.c_str());
        EXPECT_EQ(table.count(), c.expected) << c.name;
    }
    FileTable table;
    EXPECT_EQ(table.load(path("missing.dat").c_str()), MediaListError::CannotOpen);
    EXPECT_EQ(table.count(), 0);
}

TEST_F(FileTableTest, TheTableHoldsTwoHundredFiftySixFiles) {
    const std::string media = file("m.avi", 2000);
    FileTable table;
    for (int i = 0; i < kFileTableSlots; ++i) ASSERT_EQ(table.add(record(media), media.c_str()), i);
    EXPECT_TRUE(table.full());
    EXPECT_EQ(table.add(record(media), media.c_str()), -1);
    EXPECT_EQ(table.count(), kFileTableSlots);
    // A saved list longer than the table loads its first 256 records.
    std::vector<MediaFileRecord> many(300, record(media));
    ASSERT_EQ(write_media_list(path("many.dat").c_str(), many.data(), 300), MediaListError::None);
    table.reset_running_number();  // as a rebuild of the list does before it loads
    EXPECT_EQ(table.load(path("many.dat").c_str()), MediaListError::None);
    EXPECT_EQ(table.count(), kFileTableSlots);
    EXPECT_EQ(table.row(255).record.running_number, 255);
}

TEST_F(FileTableTest, TheDeletionListEmptiesOnlyOnAGoodSave) {
    const std::string media = file("m.avi", 2000);
    FileTable table;
    const std::string index_a = file("a.dat", 100), index_b = file("b.dat", 100);
    table.add(record(media, index_a), media.c_str());
    table.add(record(media), media.c_str());  // no index file: nothing to delete
    ASSERT_EQ(table.pending_index_files().size(), 1u);
    EXPECT_FALSE(table.save(path("no/such/folder/list.dat").c_str()));
    EXPECT_EQ(table.pending_index_files().size(), 1u);
    EXPECT_TRUE(table.save(path("list.dat").c_str()));
    EXPECT_TRUE(table.pending_index_files().empty());
    // Added after the save: deleted at exit; the saved one's index file stays.
    table.add(record(media, index_b), media.c_str());
    table.delete_pending_index_files();
    EXPECT_EQ(check_media_file(index_a.c_str()), 1);
    EXPECT_EQ(check_media_file(index_b.c_str()), -1);
    // The saved list reads back in order.
    FileTable again;
    again.load(path("list.dat").c_str());
    ASSERT_EQ(again.count(), 2);
    EXPECT_EQ(std::string(again.row(0).record.index_path), index_a);
}

TEST_F(FileTableTest, CheckMediaFile) {
    struct Case {
        std::string path;
        int expected;
    };
    const Case cases[] = {{"", 0}, {"abc", 0}, {path("none.dat"), -1}, {file("ten.dat", 10), -2},
                          {file("eleven.dat", 11), 1}};
    for (const Case& c : cases) EXPECT_EQ(check_media_file(c.path.c_str()), c.expected) << c.path;
}

}  // namespace
