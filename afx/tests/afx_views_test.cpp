// Scroll views created by their run-time name (sizes set before the window exists, bars, scrolling,
// the drawing origin, the initial update, self-deletion), the common dialogs answered through the
// seam in the process and from the environment, and the slider's and list's added wrappers.
#include "tests/support/gtest_winelib.h"
#include "afxwin.h"
#include "afxdlgs.h"
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "tests/support/message_pump.h"

namespace {

void pump() { pump_messages(); }

}  // namespace

int g_views_deleted = 0;

class CTestView : public CScrollView {
    DECLARE_DYNCREATE(CTestView)
public:
    ~CTestView() override { ++g_views_deleted; }
    int scrolls = 0, initial_updates = 0, draws = 0;
    CPoint drawn_origin;
    void OnDraw(CDC* dc) override {
        ++draws;
        drawn_origin = dc->GetViewportOrg();
    }
    void OnInitialUpdate() override {
        CScrollView::OnInitialUpdate();
        ++initial_updates;
        SetScrollSizes(MM_TEXT, CSize(100, 100));
    }
    BOOL OnScroll(UINT code, UINT pos, BOOL do_scroll) override {
        ++scrolls;
        return CScrollView::OnScroll(code, pos, do_scroll);
    }
};
IMPLEMENT_DYNCREATE(CTestView, CScrollView)

namespace {

class ViewTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_BTNFACE + 1)), "views",
                                   WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
    }
    void TearDown() override { frame.DestroyWindow(); }
    CWnd frame;
};

TEST_F(ViewTest, ScrollViewScrollsOverItsLogicalSize) {
    CRuntimeClass* cls = CRuntimeClass::FromName("CTestView");
    ASSERT_NE(nullptr, cls);
    CTestView* view = static_cast<CTestView*>(cls->CreateObject());
    ASSERT_NE(nullptr, view);
    // Sizes first, the window after, as an owner that creates its view itself does.
    view->SetScrollSizes(MM_TEXT, CSize(1000, 2000));
    ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 210, 160), &frame, 2006));
    EXPECT_EQ(2006, view->GetDlgCtrlID());
    EXPECT_TRUE(view->GetStyle() & WS_VSCROLL);
    EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(2000 - client.Height(), view->GetScrollLimit(SB_VERT));
    EXPECT_EQ(1000 - client.Width(), view->GetScrollLimit(SB_HORZ));
    // A line is a tenth of a page, a page a tenth of the size.
    view->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(CPoint(0, 20), view->GetScrollPosition());
    view->SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(CPoint(0, 220), view->GetScrollPosition());
    view->SendMessage(WM_HSCROLL, SB_LINEDOWN);
    EXPECT_EQ(CPoint(10, 220), view->GetScrollPosition());
    view->SendMessage(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(view->GetScrollLimit(SB_VERT), view->GetScrollPosition().y);
    view->SendMessage(WM_VSCROLL, SB_TOP);
    view->SendMessage(WM_VSCROLL, SB_LINEUP);  // already at the top: nothing moves
    EXPECT_EQ(0, view->GetScrollPosition().y);
    EXPECT_EQ(6, view->scrolls);
    view->ScrollToPosition(CPoint(30, 40));
    EXPECT_EQ(CPoint(30, 40), view->GetScrollPosition());
    // Painting draws through OnDraw with the origin moved by the scroll position.
    view->Invalidate();
    view->UpdateWindow();
    EXPECT_GE(view->draws, 1);
    EXPECT_EQ(CPoint(-30, -40), view->drawn_origin);
    // The initial update, and a size that fits: no bars, back at the origin.
    view->SendMessage(WM_INITIALUPDATE);
    EXPECT_EQ(1, view->initial_updates);
    EXPECT_EQ(CSize(100, 100), view->GetTotalSize());
    EXPECT_FALSE(view->GetStyle() & WS_VSCROLL);
    EXPECT_EQ(CPoint(0, 0), view->GetScrollPosition());
    // Destroying the window deletes the view.
    int deleted = g_views_deleted;
    view->DestroyWindow();
    EXPECT_EQ(deleted + 1, g_views_deleted);
}

struct Seen {
    std::vector<std::string> requests;
    int answer = IDOK;
};

int answer_dialog(HWND, AfxDialogKind kind, void* request, void* context) {
    Seen* seen = (Seen*)context;
    char line[1024];
    switch (kind) {
    case AfxFileOpenDialog:
    case AfxFileSaveDialog: {
        OPENFILENAMEA* ofn = (OPENFILENAMEA*)request;
        std::string filter;
        for (const char* p = ofn->lpstrFilter; p && *p; p += strlen(p) + 1) filter += std::string(p) + "|";
        snprintf(line, sizeof line, "%s %s|%s|%s|%s", kind == AfxFileSaveDialog ? "save" : "open", ofn->lpstrTitle,
                 ofn->lpstrFile, ofn->lpstrDefExt ? ofn->lpstrDefExt : "", filter.c_str());
        if (seen->answer == IDOK) lstrcpynA(ofn->lpstrFile, "C:\\out\\\x81\x5C" "name.3gp", ofn->nMaxFile);
        break;
    }
    case AfxColourDialog: {
        CHOOSECOLORA* cc = (CHOOSECOLORA*)request;
        snprintf(line, sizeof line, "colour %06X %d %d", (unsigned)cc->rgbResult, (cc->Flags & CC_RGBINIT) != 0,
                 cc->lpCustColors != nullptr);
        cc->rgbResult = 0x00FF00;
        break;
    }
    case AfxFontDialog: {
        CHOOSEFONTA* cf = (CHOOSEFONTA*)request;
        snprintf(line, sizeof line, "font %s %d %d", cf->lpLogFont->lfFaceName, (int)cf->lpLogFont->lfHeight,
                 (cf->Flags & CF_INITTOLOGFONTSTRUCT) != 0);
        lstrcpynA(cf->lpLogFont->lfFaceName, "黑体", LF_FACESIZE);
        cf->iPointSize = 120;
        break;
    }
    }
    seen->requests.push_back(line);
    return seen->answer;
}

TEST(AfxCommonDialogs, AnsweredThroughTheSeam) {
    Seen seen;
    AfxSetDialogHook(answer_dialog, &seen);
    CFileDialog save(FALSE, "*.3GP", "x.3gp", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "3GP File (*.3GP)|*.3GP|All files (*.*)|*.*||");
    save.m_ofn.lpstrTitle = "3GP 文件保存路径选择";
    ASSERT_EQ(IDOK, save.DoModal());
    ASSERT_EQ(1u, seen.requests.size());
    EXPECT_EQ("save 3GP 文件保存路径选择|x.3gp|*.3GP|3GP File (*.3GP)|*.3GP|All files (*.*)|*.*|", seen.requests[0]);
    EXPECT_STREQ("C:\\out\\\x81\x5C" "name.3gp", save.GetPathName());
    // The trail byte 0x5C of a double-byte character is no folder separator.
    EXPECT_STREQ("\x81\x5C" "name.3gp", save.GetFileName());
    EXPECT_STREQ("3gp", save.GetFileExt());
    EXPECT_STREQ("\x81\x5C" "name", save.GetFileTitle());
    seen.answer = IDCANCEL;
    CFileDialog open(TRUE);
    EXPECT_EQ(IDCANCEL, open.DoModal());
    seen.answer = IDOK;

    CColorDialog colour(0x123456);
    ASSERT_EQ(IDOK, colour.DoModal());
    EXPECT_EQ("colour 123456 1 1", seen.requests.back());
    EXPECT_EQ(0x00FF00u, colour.GetColor());

    LOGFONTA lf{};
    lf.lfHeight = -12;
    lstrcpynA(lf.lfFaceName, "宋体", LF_FACESIZE);
    CFontDialog font(&lf, CF_SCREENFONTS | CF_EFFECTS);
    ASSERT_EQ(IDOK, font.DoModal());
    EXPECT_EQ("font 宋体 -12 1", seen.requests.back());
    EXPECT_STREQ("黑体", font.GetFaceName());
    EXPECT_EQ(120, font.GetSize());
    AfxSetDialogHook(nullptr, nullptr);
}

TEST(AfxCommonDialogs, AnsweredFromTheEnvironment) {
    char log[MAX_PATH];
    snprintf(log, sizeof log, "/tmp/afx_dialog_log_%lu.txt", (unsigned long)GetCurrentProcessId());
    remove(log);
    setenv("TARMELO_MODAL_LOG", log, 1);
    setenv("TARMELO_DIALOG_VALUE", "C:\\media\\b.avi", 1);
    CFileDialog open(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "AVI|*.avi||");
    open.m_ofn.lpstrTitle = "打开";
    EXPECT_EQ(IDOK, open.DoModal());
    EXPECT_STREQ("C:\\media\\b.avi", open.GetPathName());
    EXPECT_STREQ("b.avi", open.GetFileName());
    setenv("TARMELO_DIALOG_VALUE", "0x0000FF", 1);
    CColorDialog colour(0x010203);
    EXPECT_EQ(IDOK, colour.DoModal());
    EXPECT_EQ(0x0000FFu, colour.GetColor());
    unsetenv("TARMELO_DIALOG_VALUE");
    CFileDialog cancelled(FALSE);
    EXPECT_EQ(IDCANCEL, cancelled.DoModal());
    unsetenv("TARMELO_MODAL_LOG");
    std::vector<std::string> lines;
    if (FILE* f = fopen(log, "r")) {
        char line[512];
        while (fgets(line, sizeof line, f)) lines.push_back(line);
        fclose(f);
    }
    remove(log);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("打开\tfile open: \n", lines[0]);
    EXPECT_EQ("\tcolour: 0x010203\n", lines[1]);
    EXPECT_EQ("\tfile save: \n", lines[2]);
}

// "@FILE" answers each dialog with the file's first line at that moment; no file cancels.
TEST(AfxCommonDialogs, AnsweredFromAFileEachTime) {
    char log[MAX_PATH], answers[MAX_PATH], value[MAX_PATH + 1];
    snprintf(log, sizeof log, "/tmp/afx_dialog_log_%lu.txt", (unsigned long)GetCurrentProcessId());
    snprintf(answers, sizeof answers, "/tmp/afx_dialog_answer_%lu.txt", (unsigned long)GetCurrentProcessId());
    snprintf(value, sizeof value, "@%s", answers);
    setenv("TARMELO_MODAL_LOG", log, 1);
    setenv("TARMELO_DIALOG_VALUE", value, 1);
    for (const char* path : {"C:\\media\\a.mpg", "C:\\media\\b.avi"}) {
        FILE* f = fopen(answers, "w");
        ASSERT_TRUE(f);
        fprintf(f, "%s\r\n", path);
        fclose(f);
        CFileDialog open(TRUE);
        EXPECT_EQ(IDOK, open.DoModal());
        EXPECT_STREQ(path, open.GetPathName());
    }
    remove(answers);
    CFileDialog cancelled(TRUE);
    EXPECT_EQ(IDCANCEL, cancelled.DoModal());
    unsetenv("TARMELO_DIALOG_VALUE");
    unsetenv("TARMELO_MODAL_LOG");
    remove(log);
}

TEST_F(ViewTest, SliderSizesAndListCheckBoxes) {
    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 150, 30), &frame, 10));
    slider.SetRange(0, 100);
    slider.SetPageSize(7);
    slider.SetLineSize(3);
    EXPECT_EQ(7, slider.GetPageSize());
    EXPECT_EQ(3, slider.GetLineSize());
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 40, 200, 200), &frame, 11));
    list.InsertColumn(0, "a", LVCFMT_LEFT, 80);
    list.InsertItem(0, "row");
    EXPECT_EQ(-1, list.GetCheck(0));  // no check boxes yet
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    EXPECT_EQ(0, list.GetCheck(0));
    EXPECT_TRUE(list.SetCheck(0));
    EXPECT_EQ(1, list.GetCheck(0));
    EXPECT_TRUE(list.SetCheck(0, FALSE));
    EXPECT_EQ(0, list.GetCheck(0));
    pump();
}

}  // namespace
