#include "base/fileio.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>

namespace {

std::string scratch_dir() {
    char tmpl[] = "/tmp/fileio_test.XXXXXX";
    const char* dir = mkdtemp(tmpl);
    return dir ? dir : "/tmp";
}

TEST(FileIo, CreateNewNeverOverwrites) {
    std::string path = scratch_dir() + "/out.dat";
    fileio::File f;
    ASSERT_TRUE(f.open(path.c_str(), fileio::File::Mode::CreateNew));
    ASSERT_TRUE(f.write_all("abc", 3));
    f.close();
    EXPECT_FALSE(f.open(path.c_str(), fileio::File::Mode::CreateNew));
    ASSERT_TRUE(f.open(path.c_str(), fileio::File::Mode::Read));
    EXPECT_EQ(3, f.size());
    char buf[8] = {};
    EXPECT_TRUE(f.read_exact(buf, 3));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ(0, f.read(buf, 8));
    EXPECT_FALSE(f.read_exact(buf, 1));
}

TEST(FileIo, UniqueNameSkipsExistingFiles) {
    std::string stem = scratch_dir() + "/movie";
    EXPECT_EQ(stem + ".mp4", fileio::unique_name(stem, ".mp4"));
    for (const char* name : {".mp4", "_2.mp4"}) {
        fileio::File f;
        ASSERT_TRUE(f.open((stem + name).c_str(), fileio::File::Mode::CreateNew));
    }
    EXPECT_EQ(stem + "_3.mp4", fileio::unique_name(stem, ".mp4"));
}

TEST(FileIo, FolderOfIsMultibyteSafe) {
    // "\x95\x5c" is one GBK character whose trail byte is a backslash.
    struct { const char* path; const char* folder; } cases[] = {
        {"C:\\media\\a.mpg", "C:\\media"},
        {"C:\\\x95\x5c\\a.mpg", "C:\\\x95\x5c"},
        {"C:\\dir\\\x95\x5c", "C:\\dir"},
        {"noslash.mpg", ""},
    };
    for (auto& c : cases) EXPECT_EQ(c.folder, fileio::folder_of(c.path)) << c.path;
}

TEST(FileIo, SeekAndTell) {
    std::string path = scratch_dir() + "/seek.dat";
    fileio::File f;
    ASSERT_TRUE(f.open(path.c_str(), fileio::File::Mode::CreateAlways));
    ASSERT_TRUE(f.write_all("0123456789", 10));
    ASSERT_TRUE(f.seek(4));
    EXPECT_EQ(4, f.tell());
    char c;
    ASSERT_TRUE(f.read_exact(&c, 1));
    EXPECT_EQ('4', c);
    EXPECT_FALSE(f.seek(-1));
}

TEST(FileIo, SetSizeCutsAndExtendsWithoutMovingThePosition) {
    std::string path = scratch_dir() + "/size.dat";
    fileio::File f;
    ASSERT_TRUE(f.open(path.c_str(), fileio::File::Mode::CreateNew));
    ASSERT_TRUE(f.write_all("0123456789", 10));
    ASSERT_TRUE(f.seek(7));
    ASSERT_TRUE(f.set_size(4));
    EXPECT_EQ(4, f.size());
    EXPECT_EQ(7, f.tell());
    // Writing past the end after a cut leaves a zero gap, not the old bytes.
    ASSERT_TRUE(f.write_all("x", 1));
    ASSERT_TRUE(f.set_size(9));
    EXPECT_EQ(9, f.size());
    ASSERT_TRUE(f.seek(0));
    char buf[9];
    ASSERT_TRUE(f.read_exact(buf, 9));
    EXPECT_EQ(std::string("0123\0\0\0x\0", 9), std::string(buf, 9));
    EXPECT_FALSE(f.set_size(-1));
    f.close();
    EXPECT_FALSE(f.set_size(0)) << "no file open";
}

TEST(FileIo, ReplacePutsOneFileInPlaceOfAnother) {
    const std::string dir = scratch_dir(), from = dir + "/new.dat", to = dir + "/list.dat";
    fileio::File f;
    ASSERT_TRUE(f.open(to.c_str(), fileio::File::Mode::CreateNew));
    ASSERT_TRUE(f.write_all("old", 3));
    ASSERT_TRUE(f.open(from.c_str(), fileio::File::Mode::CreateNew));
    ASSERT_TRUE(f.write_all("fresh", 5));
    f.close();
    ASSERT_TRUE(fileio::replace(from.c_str(), to.c_str()));
    EXPECT_FALSE(fileio::exists(from.c_str()));
    ASSERT_TRUE(f.open(to.c_str(), fileio::File::Mode::Read));
    EXPECT_EQ(5, f.size());
    EXPECT_FALSE(fileio::replace((dir + "/missing.dat").c_str(), to.c_str()));
    EXPECT_EQ(5, f.size()) << "a failed replace leaves the target alone";
}

TEST(FileIo, ReadAllWithinItsLimit) {
    const std::string path = scratch_dir() + "/whole.dat";
    fileio::File f;
    ASSERT_TRUE(f.open(path.c_str(), fileio::File::Mode::CreateNew));
    ASSERT_TRUE(f.write_all("12345", 5));
    f.close();
    std::vector<uint8_t> bytes{9};
    ASSERT_TRUE(fileio::read_all(path.c_str(), &bytes, 5));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'1', '2', '3', '4', '5'}));
    EXPECT_FALSE(fileio::read_all(path.c_str(), &bytes, 4));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(fileio::read_all((path + ".missing").c_str(), &bytes, 100));
}

TEST(FileIo, BrokenLastCharacterIsDropped) {
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"C:\\out\xD7", "C:\\out"},           // lone lead byte
        {"C:\\\xD7\xAA", "C:\\\xD7\xAA"},  // whole character
        {"C:\\\xD7\x5C", "C:\\\xD7\x5C"},  // trail byte equal to the separator
        {"\xD7\xAA\xD7", "\xD7\xAA"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(std::string(c.expected), fileio::without_broken_last_character(c.path));
}

}  // namespace
