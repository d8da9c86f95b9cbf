// A fresh folder under the build tree for one test, removed at the end.
#pragma once
#include <cstdlib>
#include <string>
#include <gtest/gtest.h>

class TempFolder {
public:
    TempFolder() {
        std::string pattern = std::string(TEST_BINARY_DIR) + "/records_XXXXXX";
        path_ = pattern;
        if (!mkdtemp(path_.data())) ADD_FAILURE() << "mkdtemp " << pattern;
    }
    ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
