// Message boxes pass through one seam: a hook in the process, or the environment for a test that
// drives the program from outside. Neither ever shows a window that waits for a person.
#include "tests/support/gtest_winelib.h"
#include "afxwin.h"
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Recorded {
    std::string text, caption;
    UINT type;
};

int record(HWND, const char* text, const char* caption, UINT type, void* context) {
    static_cast<std::vector<Recorded>*>(context)->push_back({text, caption, type});
    return IDNO;
}

TEST(ModalSeam, HookRecordsAndAnswers) {
    std::vector<Recorded> seen;
    AfxSetModalHook(record, &seen);
    EXPECT_EQ(IDNO, AfxMessageBox("确认是否退出", MB_YESNO));
    EXPECT_EQ(IDNO, AfxShowMessageBox(nullptr, "xvidcore.dll not found", "Error", MB_OK));
    AfxSetModalHook(nullptr, nullptr);
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("确认是否退出", seen[0].text);
    EXPECT_EQ("modal_seam_test", seen[0].caption);  // no application object: the module's name
    EXPECT_EQ((UINT)MB_YESNO, seen[0].type);
    EXPECT_EQ("Error", seen[1].caption);
}

std::string read_file(const char* path) {
    std::string out;
    if (FILE* f = fopen(path, "rb")) {
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        fclose(f);
    }
    return out;
}

TEST(ModalSeam, EnvironmentLogsAndAnswersFirstButtonByDefault) {
    char log[] = "/tmp/modal_seam.XXXXXX";
    int fd = mkstemp(log);
    ASSERT_GE(fd, 0);
    setenv("TARMELO_MODAL_LOG", log, 1);
    unsetenv("TARMELO_MODAL_ANSWER");
    EXPECT_EQ(IDYES, AfxShowMessageBox(nullptr, "正在转换", "Orvane", MB_YESNO));
    EXPECT_EQ(IDOK, AfxShowMessageBox(nullptr, "装载动态库错误", "", MB_OK));
    setenv("TARMELO_MODAL_ANSWER", "7", 1);
    EXPECT_EQ(IDNO, AfxShowMessageBox(nullptr, "again", "Orvane", MB_YESNO));
    unsetenv("TARMELO_MODAL_LOG");
    unsetenv("TARMELO_MODAL_ANSWER");
    EXPECT_EQ("Orvane\t正在转换\n\t装载动态库错误\nOrvane\tagain\n", read_file(log));
    remove(log);
}

}  // namespace
