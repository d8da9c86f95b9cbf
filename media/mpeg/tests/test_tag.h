// A name for the files the running test makes, so that tests run side by side never share one.
#pragma once
#include <string>
#include "media/mpeg/tests/mpeg_fixtures.h"

namespace mpeg_fixtures {

// Include after GoogleTest (or tests/support/gtest_winelib.h).
inline std::string test_tag() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string tag = test ? std::string(test->test_suite_name()) + "." + test->name() : std::string("test");
    for (char& c : tag)
        if (c == '/') c = '_';
    return tag;
}

// The fixtures and files of mpeg_fixtures under names of the running test.
inline Fixture fixture(const std::string& name) { return make(name, test_tag()); }
inline std::vector<uint8_t> file(const std::string& arguments, const std::string& name, std::string* path = nullptr) {
    return ffmpeg_file(arguments, test_tag() + "." + name, path);
}

}  // namespace mpeg_fixtures
