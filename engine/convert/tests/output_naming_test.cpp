// Output names and sizes of the conversion: the name table (folders, dots, GBK names whose trail byte
// is '\\', the three formats), names kept apart within one run and from files on disk, and the size
// table with choices outside it.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <unistd.h>
#include "base/fileio.h"
#include "engine/convert/output_naming.h"
#include "engine/convert/output_size.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"

namespace {

const StampTime kTime{2026, 3, 7, 9, 5, 1};

// GBK "乗" is 0x81 0x5C: its second byte is the backslash.
#define SLASH_TRAIL "\x81\x5C"

TEST(OutputNaming, NameTable) {
    struct Case {
        const char* why;
        const char* source;
        int format;
        const char* expected;
    };
    const Case cases[] = {
        {"folder and extension", "D:\\video\\clip.mpg", kOut3gp, "C:\\out\\20260307090501clip.3gp"},
        {"MP4", "D:\\video\\clip.mpg", kOutMp4, "C:\\out\\20260307090501clip.mp4"},
        {"AVI", "D:\\video\\clip.mpg", kOutAvi, "C:\\out\\20260307090501clip.avi"},
        {"no dot: the stamp and extension only", "D:\\video\\clip", kOutMp4, "C:\\out\\20260307090501.mp4"},
        {"no backslash: the whole path is the name", "clip.vob", kOutAvi, "C:\\out\\20260307090501clip.avi"},
        {"the last dot only", "D:\\a.b\\x.y.z.avi", kOut3gp, "C:\\out\\20260307090501x.y.z.3gp"},
        {"a dot in the folder only", "D:\\a.b\\clip", kOut3gp, "C:\\out\\20260307090501.3gp"},
        {"GBK trail byte 0x5C in the name", "D:\\v\\" SLASH_TRAIL "1.mpg", kOutMp4,
         "C:\\out\\20260307090501" SLASH_TRAIL "1.mp4"},
        {"GBK trail byte 0x5C ending the folder", "D:\\" SLASH_TRAIL "\\" SLASH_TRAIL ".mpg", kOutMp4,
         "C:\\out\\20260307090501" SLASH_TRAIL ".mp4"},
        {"GBK trail byte 0x5C without a folder", SLASH_TRAIL "ab.dat", kOutAvi,
         "C:\\out\\20260307090501" SLASH_TRAIL "ab.avi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.expected, output_stem("C:\\out\\", kTime, c.source) + output_extension(c.format));
        // No such file natively: the namer gives the plain name first.
        OutputNamer namer;
        EXPECT_EQ(c.expected, namer.next("C:\\out\\", kTime, c.source, c.format));
    }
}

TEST(OutputNaming, OneNameInOneSecondGetsSuffixes) {
    OutputNamer namer;
    // Two jobs of one name (from two folders) started within one second, then a third.
    EXPECT_EQ("C:\\out\\20260307090501clip.mp4", namer.next("C:\\out\\", kTime, "D:\\a\\clip.mpg", kOutMp4));
    EXPECT_EQ("C:\\out\\20260307090501clip_2.mp4", namer.next("C:\\out\\", kTime, "E:\\b\\clip.mpg", kOutMp4));
    EXPECT_EQ("C:\\out\\20260307090501clip_3.mp4", namer.next("C:\\out\\", kTime, "E:\\b\\clip.vob", kOutMp4));
    // Another extension is another name; a new run forgets what it gave out.
    EXPECT_EQ("C:\\out\\20260307090501clip.avi", namer.next("C:\\out\\", kTime, "D:\\a\\clip.mpg", kOutAvi));
    namer.reset();
    EXPECT_EQ("C:\\out\\20260307090501clip.mp4", namer.next("C:\\out\\", kTime, "D:\\a\\clip.mpg", kOutMp4));
}

TEST(OutputNaming, ExistingFilesAreNeverReused) {
    char folder[] = "/tmp/naming_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string dir = std::string(folder) + "/";
    const std::string taken = dir + "20260307090501clip.3gp";
    const std::string taken2 = dir + "20260307090501clip_2.3gp";
    for (const std::string& p : {taken, taken2}) {
        FILE* f = std::fopen(p.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        std::fputs("user data", f);
        std::fclose(f);
    }
    OutputNamer namer;
    EXPECT_EQ(dir + "20260307090501clip_3.3gp", namer.next(dir, kTime, "/m/clip.mpg", kOut3gp));
    EXPECT_EQ(dir + "20260307090501clip_4.3gp", namer.next(dir, kTime, "/m/clip.mpg", kOut3gp));
    for (const std::string& p : {taken, taken2}) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(fileio::read_all(p.c_str(), &bytes, 100));
        EXPECT_EQ("user data", std::string(bytes.begin(), bytes.end()));
        std::remove(p.c_str());
    }
    rmdir(folder);
}

TEST(OutputSize, SizeTable) {
    struct Case {
        int format, choice;
        int width, height;  // expected; the size before is 111 x 77
        bool chosen;
    };
    const Case cases[] = {
        {kOut3gp, 0, 176, 144, true}, {kOut3gp, 1, 352, 288, true}, {kOut3gp, 2, 704, 576, true},
        {kOut3gp, 3, 128, 96, true},  {kOut3gp, 4, 320, 240, true}, {kOut3gp, 5, 160, 120, true},
        // 3GP knows no source or custom size; nobody knows 8 or -1.
        {kOut3gp, 6, 111, 77, false}, {kOut3gp, 7, 111, 77, false}, {kOut3gp, -1, 111, 77, false},
        {kOutMp4, 5, 160, 120, true}, {kOutMp4, 6, 350, 262, true}, {kOutMp4, 7, 400, 300, true},
        {kOutMp4, 8, 111, 77, false}, {kOutAvi, 4, 320, 240, true}, {kOutAvi, 6, 350, 262, true},
        // AVI has no custom size of its own: the MP4 one.
        {kOutAvi, 7, 400, 300, true}, {kOutAvi, 99, 111, 77, false},
    };
    cfg_mp4_width = 400;
    cfg_mp4_height = 300;
    MediaJob first{};
    first.width = 350;
    first.height = 262;
    for (const Case& c : cases) {
        SCOPED_TRACE("format " + std::to_string(c.format) + " choice " + std::to_string(c.choice));
        int w = 111, h = 77;
        EXPECT_EQ(c.chosen, output_size_for(c.format, c.choice, first, &w, &h));
        EXPECT_EQ(c.width, w);
        EXPECT_EQ(c.height, h);
    }
    // From the settings, into the output size.
    g_out_width = 111;
    g_out_height = 77;
    cfg_avi_size_choice = 42;
    EXPECT_FALSE(choose_output_size(kOutAvi, first));
    EXPECT_EQ(111, g_out_width);
    cfg_avi_size_choice = 6;
    EXPECT_TRUE(choose_output_size(kOutAvi, first));
    EXPECT_EQ(350, g_out_width);
    EXPECT_EQ(262, g_out_height);
}

}  // namespace
