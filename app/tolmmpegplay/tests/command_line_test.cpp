// The player's command line as the converter starts it (the path quoted) and as a person may type
// it, and the name its window shows.
#include "app/tolmmpegplay/command_line.h"
#include <gtest/gtest.h>

namespace {

TEST(MpegPlayCommandLine, ThePathIsTheQuotedTextOrTheWholeLine) {
    struct Row {
        const char* line;
        const char* path;
    } rows[] = {
        {"\"C:\\my clips\\out 1.mp4\"", "C:\\my clips\\out 1.mp4"},    // quoted, blanks inside
        {"  \"C:\\my clips\\a.3gp\"  ", "C:\\my clips\\a.3gp"},        // blanks around
        {"\"C:\\a.avi\" extra", "C:\\a.avi"},                           // text after the quote ignored
        {"\"C:\\open ended.avi", "C:\\open ended.avi"},                 // no closing quote
        {"C:\\clips\\a.avi", "C:\\clips\\a.avi"},                       // unquoted
        {"C:\\my clips\\a b.avi \t", "C:\\my clips\\a b.avi"},          // unquoted with blanks: the whole line
        {"\"\xCA\xD3\xC6\xB5\\\xB2\xE2.mp4\"", "\xCA\xD3\xC6\xB5\\\xB2\xE2.mp4"},  // GBK
        {"", ""},
        {"   ", ""},
        {"\"\"", ""},
        {"\" \"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(row.path, mpegplay::path_argument(row.line)) << "[" << row.line << "]";
    EXPECT_EQ("", mpegplay::path_argument(nullptr));
}

TEST(MpegPlayCommandLine, TheNameIsThePartAfterTheLastSeparatorGbkSafe) {
    struct Row {
        const char* path;
        const char* name;
    } rows[] = {
        {"C:\\my clips\\out 1.mp4", "out 1.mp4"},
        {"Z:/tmp/a.avi", "a.avi"},
        {"a.avi", "a.avi"},
        {"C:\\folder\\", ""},
        {"", ""},
        // GBK names; the character 95 5C has "\" as its trail byte.
        {"C:\\\xCA\xD3\xC6\xB5\\\xD0\xC2.mp4", "\xD0\xC2.mp4"},
        {"C:\\clips\\\x95\x5C.avi", "\x95\x5C.avi"},
        {"C:\\\x95\x5C\\a.avi", "a.avi"},
    };
    for (const Row& row : rows) EXPECT_EQ(row.name, mpegplay::file_name_part(row.path)) << row.path;
}

}  // namespace
