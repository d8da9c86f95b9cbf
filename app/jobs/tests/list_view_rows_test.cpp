// The job builder over a real list view: selected rows become jobs, and the "nothing selected"
// message goes through the message-box seam.
#include "tests/support/gtest_winelib.h"
#include <commctrl.h>
#include <string>
#include <vector>
#include "afxseam.h"
#include "app/jobs/list_view_rows.h"
#include "engine/state/run_state.h"

namespace {

struct Recorded {
    std::vector<std::string> texts;
};

int record_box(HWND, const char* text, const char*, UINT, void* context) {
    static_cast<Recorded*>(context)->texts.push_back(text);
    return IDOK;
}

class ListViewJobs : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&init);
        list_ = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 400, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(list_, nullptr);
        for (int c = 0; c < 11; ++c) {
            LVCOLUMNA column{};
            column.mask = LVCF_WIDTH;
            column.cx = 50;
            SendMessageA(list_, LVM_INSERTCOLUMNA, c, LPARAM(&column));
        }
        AfxSetModalHook(record_box, &recorded_);
        set_flag(g_busy, false);
    }
    void TearDown() override {
        AfxSetModalHook(nullptr, nullptr);
        DestroyWindow(list_);
    }
    void add_row(const std::vector<std::string>& cells) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = int(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<char*>(cells[0].c_str());
        int index = int(SendMessageA(list_, LVM_INSERTITEMA, 0, LPARAM(&item)));
        for (int c = 1; c < int(cells.size()); ++c) {
            LVITEMA sub{};
            sub.iSubItem = c;
            sub.pszText = const_cast<char*>(cells[size_t(c)].c_str());
            SendMessageA(list_, LVM_SETITEMTEXTA, index, LPARAM(&sub));
        }
    }
    void select(int row) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageA(list_, LVM_SETITEMSTATE, row, LPARAM(&state));
    }

    HWND list_ = nullptr;
    Recorded recorded_;
    JobTable table_;
};

std::vector<std::string> row(const std::string& path) {
    return {"0", path, "2048", "FLV", "12", "352", "288", "29.97", "22050", "6", "5803"};
}

}  // namespace

TEST_F(ListViewJobs, SelectedRowsBecomeJobs) {
    std::string long_path = "Z:\\media\\" + std::string(400, 'v') + ".flv";
    add_row(row("Z:\\media\\a.flv"));
    add_row(row(long_path));
    add_row(row("Z:\\media\\c.flv"));
    select(1);
    select(2);
    ListViewRows rows(list_, nullptr);
    ASSERT_EQ(build_jobs(JobCommand::Convert, rows, nullptr, 0, table_), 2);
    EXPECT_EQ(std::string(table_.jobs[0].path), long_path);
    EXPECT_STREQ(table_.jobs[1].path, "Z:\\media\\c.flv");
    EXPECT_DOUBLE_EQ(table_.jobs[1].frame_rate, 29.97);
    EXPECT_EQ(table_.jobs[1].channels, 2);
    EXPECT_EQ(table_.jobs[1].file_kind, 5803);
    EXPECT_TRUE(recorded_.texts.empty());
}

TEST_F(ListViewJobs, NothingSelectedAsksThroughTheSeam) {
    add_row(row("Z:\\media\\a.flv"));
    ListViewRows rows(list_, nullptr);
    EXPECT_EQ(build_jobs(JobCommand::Play, rows, nullptr, 0, table_), 0);
    ASSERT_EQ(recorded_.texts.size(), 1u);
    EXPECT_EQ(recorded_.texts[0], kNothingToPlay);
}
