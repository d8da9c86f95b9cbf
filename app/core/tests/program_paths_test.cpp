#include <gtest/gtest.h>
#include "app/core/program_paths.h"

TEST(ProgramPaths, FilterBesideTheProgramEvenWhenAFolderNameHasA5CSecondByte) {
    struct Case {
        const char* module;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\tarmelo\\tarmelo.exe", "RealMediaSplitter.ax", "C:\\tarmelo\\RealMediaSplitter.ax"},
        // "\x95\x5C" is one GBK character whose second byte is a backslash: not a folder separator.
        {"C:\\a\x95\x5C\\tarmelo.exe", "RealMediaSplitter.ax", "C:\\a\x95\x5C\\RealMediaSplitter.ax"},
        {"C:\\b\\c\x95\x5C", "x.ax", "C:\\b\\x.ax"},
        {"C:\\tarmelo\\tarmelo.exe", "D:\\filters\\x.ax", "D:\\filters\\x.ax"},
    };
    for (const Case& c : cases) EXPECT_EQ(filter_dll_path(c.module, c.name), c.expected) << c.module;
}

TEST(ProgramPaths, ShortcutSkipRule) {
    struct Case {
        const char* program;
        const char* templates;
        const char* temp;
        bool skipped;
    };
    const Case cases[] = {
        {"C:\\Program Files\\t\\tarmelo.exe", "C:\\ProgramData\\Templates", "C:\\users\\me\\Temp", false},
        {"C:\\Program Files\\t\\tarmelo.exe", "C:\\", "C:\\users\\me\\Temp", true},
        {"C:\\ProgramData\\Templates\\tarmelo.exe", "C:\\ProgramData\\Templates", "C:\\users\\me\\Temp", true},
        {"C:\\users\\me\\Temp\\x\\tarmelo.exe", "C:\\ProgramData\\Templates", "C:\\users\\me\\Temp", true},
        {"C:\\t\\tarmelo.exe", "C:\\ProgramData\\Templates", "C:\\", false},  // a short temp folder is ignored
    };
    for (const Case& c : cases) EXPECT_EQ(shortcuts_skipped(c.program, c.templates, c.temp), c.skipped) << c.program;
}
