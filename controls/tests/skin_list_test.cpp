// The skinned list at the message level: sorting whole rows (long texts, cell colours, states, item
// data, images), the click order of sorts, deleting by state, colour setters, moving rows with their
// record, setting texts during an edit, grid lines, editing on and off, the editor's keys and clicks,
// the olumbra build's custom draw, the space key, and the skinned scroll bars' arrows, repeat, pages,
// drags and their thumb following the list.
#include "tests/support/gtest_winelib.h"
#include "controls/list/SkinListCtrl.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/list_rules.h"
#include "skinlib/variants/skinlib_variants.h"
#include "skin_controls_b_res.h"
#include "controls/res/list_res.h"
#include <string>
#include <utility>
#include <vector>
#include "tests/support/message_pump.h"

namespace {

void pump(DWORD ms = 0) { pump_messages(ms, AfxPreTranslateMessage); }

class CListDlg : public CDialog {
public:
    CListDlg() : CDialog(IDD_LIST_TEST) {}
    CSkinListCtrl list;
    std::vector<std::pair<WPARAM, LPARAM>> sorted, edited, row_clicks;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_T_LIST, list); }
    afx_msg LRESULT OnSorted(WPARAM wp, LPARAM lp) { sorted.push_back({wp, lp}); return 0; }
    afx_msg LRESULT OnEdited(WPARAM wp, LPARAM lp) { edited.push_back({wp, lp}); return 0; }
    afx_msg LRESULT OnRowClick(WPARAM wp, LPARAM lp) { row_clicks.push_back({wp, lp}); return 0; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListDlg, CDialog)
    ON_MESSAGE(WM_SKINLIST_SORTED, OnSorted)
    ON_MESSAGE(WM_SKINLIST_EDITED, OnEdited)
    ON_MESSAGE(WM_SKINLIST_ROWCLICK, OnRowClick)
END_MESSAGE_MAP()

class ListTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create(IDD_LIST_TEST));
        dlg.SetWindowPos(&CWnd::wndTop, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dlg.m_hWnd);
        records_before = skin::ListRowData::live();
        list().InsertColumn(0, "键", LVCFMT_LEFT, 60);
        list().InsertColumn(1, "路径", LVCFMT_LEFT, 120);
        list().InsertColumn(2, "其它", LVCFMT_LEFT, 80);
        pump();
    }
    void TearDown() override {
        dlg.DestroyWindow();
        pump();
        EXPECT_EQ(records_before, skin::ListRowData::live()) << "every record freed with the list";
    }
    CSkinListCtrl& list() { return dlg.list; }
    // Rows with keys in column 0, a long text in column 1 and a short one in column 2.
    void fill(const std::vector<std::string>& keys) {
        for (size_t i = 0; i < keys.size(); ++i) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = (int)i;
            item.pszText = const_cast<char*>(keys[i].c_str());
            item.lParam = 100 + (LPARAM)i;
            ASSERT_EQ((int)i, list().InsertItem(&item));
            list().SetItemText((int)i, 1, long_text((int)i).c_str());
            list().SetItemText((int)i, 2, ("短" + std::to_string(i)).c_str());
        }
    }
    static std::string long_text(int i) { return std::string(600, (char)('a' + i)) + "尾" + std::to_string(i); }
    CPoint cell_centre(int row, int column) {
        CRect r;
        list().GetSubItemRect(row, column, LVIR_LABEL, r);
        return r.CenterPoint();
    }
    // A click as the mouse gives it (the list view waits for the release while it looks for a drag).
    void click(int row, int column, UINT down = WM_LBUTTONDOWN) {
        CPoint p = cell_centre(row, column);
        list().PostMessage(down + 1, 0, MAKELPARAM(p.x, p.y));
        list().SendMessage(down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(p.x, p.y));
        pump();
    }
    CListDlg dlg;
    int records_before = 0;
};

struct RowView {
    std::vector<std::string> texts;
    std::vector<COLORREF> text_colours, back_colours;
    std::vector<int> images;
    int bits;
    LPARAM user;
    DWORD_PTR record;
};

RowView view(CSkinListCtrl& list, int row) {
    RowView v;
    for (int c = 0; c < 3; ++c) {
        v.texts.push_back(list.GetItemText(row, c).str());
        v.text_colours.push_back(list.GetItemTextColor(row, c));
        v.back_colours.push_back(list.GetItemBkColor(row, c));
        v.images.push_back(list.GetItemImage(row, c));
    }
    v.bits = list.GetItemStateImage(row);
    v.user = list.GetItemUserData(row);
    v.record = list.GetItemData(row);
    return v;
}

void expect_same(const RowView& a, const RowView& b, const std::string& what) {
    EXPECT_EQ(a.texts, b.texts) << what;
    EXPECT_EQ(a.text_colours, b.text_colours) << what;
    EXPECT_EQ(a.back_colours, b.back_colours) << what;
    EXPECT_EQ(a.images, b.images) << what;
    EXPECT_EQ(a.bits, b.bits) << what;
    EXPECT_EQ(a.user, b.user) << what;
    EXPECT_EQ(a.record, b.record) << what;
}

// Rows with every kind of content a sort or a move must carry: colours per cell, images, a check, a
// selection and the focus on different rows.
void decorate(CSkinListCtrl& list) {
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    for (int row = 0; row < list.GetItemCount(); ++row) {
        for (int c = 0; c < 3; ++c) {
            list.SetItemTextColor(row, c, RGB(row * 40, c * 60, 7), FALSE);
            list.SetItemBkColor(row, c, RGB(255 - row * 30, 200, c * 50), FALSE);
            list.SetItemImage(row, c, row * 3 + c);
        }
    }
    list.SetItemState(1, (int)skin::kRowSelected);
    list.SetItemState(2, (int)skin::kRowChecked);
    list.SetItemState(3, (int)skin::kRowFocused);
}

TEST_F(ListTest, SortBringsEveryRowBackWholeInItsNewPlace) {
    fill({"10", "9", "A", "5", "1F"});
    decorate(list());
    std::vector<RowView> before;
    for (int row = 0; row < 5; ++row) before.push_back(view(list(), row));
    const int records = skin::ListRowData::live();
    list().SortByColumn(0, TRUE);
    // Hexadecimal keys: 5, 9, A, 10, 1F.
    const int order[] = {3, 1, 2, 0, 4};
    for (int row = 0; row < 5; ++row) expect_same(before[order[row]], view(list(), row), "row " + std::to_string(row));
    EXPECT_EQ(long_text(3), list().GetItemText(0, 1).str());  // 600 characters and more, whole
    EXPECT_EQ(records, skin::ListRowData::live());
    ASSERT_EQ(1u, dlg.sorted.size());
    EXPECT_EQ(0u, dlg.sorted[0].first);
    EXPECT_EQ(1, dlg.sorted[0].second);
    // Descending by the long texts: bytes, 'e' first.
    list().SortByColumn(1, FALSE);
    EXPECT_EQ(100 + 4, list().GetItemUserData(0));
    EXPECT_EQ(100 + 0, list().GetItemUserData(4));
    EXPECT_EQ(0, dlg.sorted[1].second);
    // Out of range: nothing.
    list().SortByColumn(3, TRUE);
    EXPECT_EQ(2u, dlg.sorted.size());
}

TEST_F(ListTest, ClicksToggleTheOrderAndAnInsertStartsAscendingAgain) {
    fill({"2", "3", "1"});
    auto column_click = [&](int column) {
        NMLISTVIEW nm{};
        nm.hdr.hwndFrom = list().m_hWnd;
        nm.hdr.idFrom = IDC_T_LIST;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iItem = -1;
        nm.iSubItem = column;
        dlg.SendMessage(WM_NOTIFY, IDC_T_LIST, (LPARAM)&nm);
    };
    column_click(0);
    EXPECT_EQ(0, list().GetSortColumn());
    EXPECT_TRUE(list().IsSortAscending());
    EXPECT_EQ("1", list().GetItemText(0, 0).str());
    column_click(0);
    EXPECT_FALSE(list().IsSortAscending());
    EXPECT_EQ("3", list().GetItemText(0, 0).str());
    column_click(2);
    EXPECT_EQ(2, list().GetSortColumn());
    EXPECT_TRUE(list().IsSortAscending());
    column_click(2);
    EXPECT_FALSE(list().IsSortAscending());
    list().InsertItem(3, "0");
    EXPECT_EQ(-1, list().GetSortColumn());
    column_click(2);
    EXPECT_TRUE(list().IsSortAscending());
    const std::vector<std::pair<WPARAM, LPARAM>> want = {{0, 1}, {0, 0}, {2, 1}, {2, 0}, {2, 1}};
    EXPECT_EQ(want, dlg.sorted);
    // A click on the header itself sorts through the list view's own notification.
    CHeaderCtrl* header = list().GetHeaderCtrl();
    CRect item;
    header->GetItemRect(1, &item);
    CPoint p = item.CenterPoint();
    header->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    header->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    pump();
    EXPECT_EQ(1, list().GetSortColumn());
}

TEST_F(ListTest, DeleteItemsByStateFilter) {
    fill({"a", "b", "c", "d", "e"});
    const int records = skin::ListRowData::live();
    EXPECT_EQ(0, list().DeleteItems(0));  // filter 0 selects no row
    EXPECT_EQ(5, list().GetItemCount());
    list().SetItemState(1, (int)skin::kRowSelected);
    list().SetItemState(2, (int)skin::kRowSelected);  // two adjacent selected rows
    EXPECT_EQ(2, list().GetItemCountByState((int)skin::kRowSelected));
    EXPECT_EQ(1, list().FindNextItemByState((int)skin::kRowSelected));
    EXPECT_EQ(2, list().FindNextItemByState((int)skin::kRowSelected, 1));
    EXPECT_EQ(2, list().DeleteItems((int)skin::kRowSelected));
    ASSERT_EQ(3, list().GetItemCount());
    EXPECT_EQ("a", list().GetItemText(0, 0).str());
    EXPECT_EQ("d", list().GetItemText(1, 0).str());
    EXPECT_EQ("e", list().GetItemText(2, 0).str());
    EXPECT_EQ(records - 2, skin::ListRowData::live());
    EXPECT_EQ(3, list().DeleteItems(1));
    EXPECT_EQ(0, list().GetItemCount());
    EXPECT_EQ(records - 5, skin::ListRowData::live());
    EXPECT_EQ(0, list().DeleteItems(1));  // an empty list
}

TEST_F(ListTest, ColourSettersReachCellsRowsColumnsAndAll) {
    fill({"a", "b", "c"});
    list().SetItemTextColor(1, 2, 0x112233, FALSE);
    EXPECT_EQ(0x112233u, list().GetItemTextColor(1, 2));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), list().GetItemTextColor(1, 1));
    list().SetItemTextColor(0, -1, 0x445566, FALSE);  // the row
    for (int c = 0; c < 3; ++c) EXPECT_EQ(0x445566u, list().GetItemTextColor(0, c));
    list().SetItemBkColor(-1, 1, 0x778899, FALSE);  // the column
    for (int r = 0; r < 3; ++r) EXPECT_EQ(0x778899u, list().GetItemBkColor(r, 1));
    list().SetItemTextColor(-1, -1, (COLORREF)-1, TRUE);  // every cell back to the system colour
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), list().GetItemTextColor(r, c)) << r << c;
    // A column inserted later gives every row a default pair at its place.
    list().SetItemBkColor(0, 2, 0x010203, FALSE);
    EXPECT_EQ(1, list().InsertColumn(1, "新", LVCFMT_LEFT, 40));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), list().GetItemBkColor(0, 1));
    EXPECT_EQ(0x010203u, list().GetItemBkColor(0, 3));
}

TEST_F(ListTest, MoveItemKeepsEverythingAndTheSameRecord) {
    fill({"a", "b", "c", "d"});
    decorate(list());
    list().SetItemState(2, (int)(skin::kRowSelected | skin::kRowFocused));
    RowView moved = view(list(), 2), first = view(list(), 0);
    const int records = skin::ListRowData::live();
    EXPECT_EQ(0, list().MoveItem(2, 0));
    expect_same(moved, view(list(), 0), "moved row");
    expect_same(first, view(list(), 1), "the row it pushed down");
    EXPECT_EQ(records, skin::ListRowData::live());  // no record made or freed
    EXPECT_EQ(0, list().MoveUp(0, 1));              // the first row stays
    expect_same(moved, view(list(), 0), "after MoveUp(0, 1)");
    EXPECT_EQ(3, list().MoveDown(3, 1));            // the last row stays
    EXPECT_EQ(3, list().MoveDown(1, 5));            // clamped to the last place
    expect_same(first, view(list(), 3), "after MoveDown(1, 5)");
    EXPECT_EQ(-1, list().MoveItem(9, 0));
    EXPECT_EQ(-1, list().GetSortColumn());
}

TEST_F(ListTest, SetItemTextDuringAnEditKeepsTheEditedTextFirst) {
    fill({"a", "b", "c"});
    list().EnableEdit(TRUE);
    ASSERT_TRUE(list().EditSubItem(1, 1));
    ASSERT_NE(nullptr, list().Editor()->m_hWnd);
    EXPECT_TRUE(list().Editor()->IsWindowVisible());
    CString shown;
    list().Editor()->GetWindowText(shown);
    EXPECT_EQ(long_text(1), shown.str());
    list().Editor()->SetWindowText("已改");
    list().SortByColumn(0, TRUE);  // a sort ends the edit too; start again
    ASSERT_EQ(1u, dlg.edited.size());
    dlg.edited.clear();
    ASSERT_TRUE(list().EditSubItem(1, 1));
    list().Editor()->SetWindowText("edited");
    EXPECT_TRUE(list().SetItemText(1, 2, "new"));
    EXPECT_EQ("edited", list().GetItemText(1, 1).str());
    EXPECT_EQ("new", list().GetItemText(1, 2).str());
    ASSERT_EQ(1u, dlg.edited.size());  // 0xA712 once
    EXPECT_EQ((std::pair<WPARAM, LPARAM>{1, 1}), dlg.edited[0]);
    EXPECT_EQ(-1, list().GetEditRow());
    EXPECT_FALSE(list().Editor()->IsWindowVisible());
    // An unchanged text sends nothing.
    ASSERT_TRUE(list().EditSubItem(0, 0));
    EXPECT_FALSE(list().EndEdit(TRUE));
    EXPECT_EQ(1u, dlg.edited.size());
}

TEST_F(ListTest, GridLinesChangeOneBitAndEditingSwitchesOff) {
    fill({"a", "b"});
    const DWORD before = list().GetExtendedStyle();
    EXPECT_EQ(0u, before & LVS_EX_GRIDLINES);
    list().SetGridLines(TRUE);
    EXPECT_EQ(before | LVS_EX_GRIDLINES, list().GetExtendedStyle());
    list().SetGridLines(FALSE);
    EXPECT_EQ(before, list().GetExtendedStyle());
    list().EnableEdit(TRUE);
    ASSERT_TRUE(list().EditSubItem(0, 2));
    list().Editor()->SetWindowText("kept");
    list().EnableEdit(FALSE);  // ends the edit keeping its text
    EXPECT_EQ("kept", list().GetItemText(0, 2).str());
    EXPECT_FALSE(list().IsEditEnabled());
    EXPECT_FALSE(list().EditSubItem(0, 2));
    EXPECT_FALSE(list().EndEdit(TRUE));
}

TEST_F(ListTest, SmallImageListIsNewAndShared) {
    fill({"a"});
    // A 26-pixel strip holds one 16-pixel image.
    CImageList* first = list().CreateSmallImageList(IDB_LIST_HBAR_LEFT, 0xFF00FF);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(1, first->GetImageCount());
    EXPECT_EQ((LRESULT)first->m_hImageList, list().SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    EXPECT_TRUE(list().GetStyle() & LVS_SHAREIMAGELISTS);  // destroyed once, by the list object
    CImageList* second = list().CreateSmallImageList(IDB_LIST_VBAR_THUMB, 0xFF00FF);  // 12 wide: none
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(0, second->GetImageCount());
    EXPECT_EQ((LRESULT)second->m_hImageList, list().SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    EXPECT_EQ(nullptr, list().CreateSmallImageList(4242, 0xFF00FF));  // no such bitmap
}

TEST_F(ListTest, EditorKeysMoveEndAndDiscard) {
    fill({"a", "b", "c"});
    list().EnableEdit(TRUE);
    auto key = [&](UINT vk) {
        list().Editor()->PostMessage(WM_KEYDOWN, vk, 0);
        pump();
    };
    ASSERT_TRUE(list().EditSubItem(0, 1));
    key(VK_TAB);
    EXPECT_EQ(0, list().GetEditRow());
    EXPECT_EQ(2, list().GetEditColumn());
    key(VK_TAB);  // after the last column, the first
    EXPECT_EQ(0, list().GetEditColumn());
    key(VK_DOWN);
    EXPECT_EQ(1, list().GetEditRow());
    list().Editor()->SetWindowText("discarded");
    key(VK_ESCAPE);
    EXPECT_EQ(-1, list().GetEditRow());
    EXPECT_EQ("b", list().GetItemText(1, 0).str());
    ASSERT_TRUE(list().EditSubItem(2, 0));
    list().Editor()->SetWindowText("kept");
    key(VK_RETURN);
    EXPECT_EQ(-1, list().GetEditRow());
    EXPECT_EQ("kept", list().GetItemText(2, 0).str());
}

TEST_F(ListTest, ClickOnASelectedFocusedRowEditsAndACheckBoxClickReports) {
    fill({"a", "b", "c"});
    list().EnableEdit(TRUE);
    click(1, 2);  // selects and focuses the row
    EXPECT_EQ(-1, list().GetEditRow());
    EXPECT_TRUE(list().ItemMatchesState(1, (int)(skin::kRowSelected | skin::kRowFocused)));
    click(1, 2);  // a second click on it opens the editor on the cell
    EXPECT_EQ(1, list().GetEditRow());
    EXPECT_EQ(2, list().GetEditColumn());
    click(0, 1, WM_RBUTTONDOWN);  // any click ends the edit; the right button never starts one
    EXPECT_EQ(-1, list().GetEditRow());
    // A click on a check box: the row is checked, selected and focused alone, the parent told.
    list().SetExtendedStyle(list().GetExtendedStyle() | LVS_EX_CHECKBOXES);
    list().m_nCheckMode = 2;
    list().SetItemState(0, (int)skin::kRowChecked);
    CRect icon;
    list().GetItemRect(2, &icon, LVIR_ICON);
    CRect bounds;
    list().GetItemRect(2, &bounds, LVIR_BOUNDS);
    LVHITTESTINFO hit{};
    CPoint p;
    for (p = CPoint(bounds.left + 1, bounds.CenterPoint().y); p.x < bounds.left + 30; ++p.x) {
        hit.pt = p;
        list().HitTest(&hit);
        if (hit.flags & LVHT_ONITEMSTATEICON) break;
    }
    ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
    list().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    list().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    pump();
    EXPECT_EQ(1, list().GetCheck(2));
    EXPECT_EQ(0, list().GetCheck(0));  // check mode 2: one checked row
    ASSERT_EQ(1u, dlg.row_clicks.size());
    EXPECT_EQ((std::pair<WPARAM, LPARAM>{2, WM_LBUTTONDOWN}), dlg.row_clicks[0]);
    EXPECT_EQ(1, list().GetItemCountByState((int)skin::kRowSelected));
    EXPECT_TRUE(list().ItemMatchesState(2, (int)(skin::kRowSelected | skin::kRowFocused)));
    EXPECT_EQ(-1, list().GetEditRow());
    // In check mode 2 SetItemState's check leaves one row checked too, before or after it.
    list().SetItemState(0, (int)skin::kRowChecked);
    EXPECT_EQ(1, list().GetItemCountByState((int)skin::kRowChecked));
    EXPECT_EQ(1, list().GetCheck(0));
}

TEST_F(ListTest, SpaceNeverTogglesACheckBox) {
    fill({"a", "b"});
    list().SetExtendedStyle(list().GetExtendedStyle() | LVS_EX_CHECKBOXES);
    list().SetItemState(0, (int)(skin::kRowSelected | skin::kRowFocused));
    list().SetFocus();
    list().PostMessage(WM_KEYDOWN, VK_SPACE, 0);
    list().PostMessage(WM_KEYUP, VK_SPACE, 0);
    pump();
    EXPECT_EQ(0, list().GetCheck(0));
    // Past the list's own key handling the list view would have checked it.
    list().SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(1, list().GetCheck(0));
}

TEST_F(ListTest, CustomDrawOfEachBuild) {
    fill({"a", "b"});
    list().SetItemBkColor(1, 2, 0x00FF00, FALSE);
    list().SetItemTextColor(1, 2, 0x0000FF, FALSE);
    list().m_nBandStyle = 21;
    list().m_crBand = 0xC08040;
    CRect client;
    list().GetClientRect(&client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.Width(), client.Height());
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto stage = [&](DWORD draw_stage, int row, int column) {
        NMLVCUSTOMDRAW cd{};
        cd.nmcd.hdr.hwndFrom = list().m_hWnd;
        cd.nmcd.hdr.idFrom = IDC_T_LIST;
        cd.nmcd.hdr.code = NM_CUSTOMDRAW;
        cd.nmcd.dwDrawStage = draw_stage;
        cd.nmcd.hdc = dc;
        cd.nmcd.rc = client;
        cd.nmcd.dwItemSpec = (DWORD_PTR)row;
        cd.nmcd.lItemlParam = row >= 0 ? (LPARAM)list().GetItemData(row) : 0;
        cd.iSubItem = column;
        LRESULT r = dlg.SendMessage(WM_NOTIFY, IDC_T_LIST, (LPARAM)&cd);
        return std::make_pair(r, cd);
    };
    const int y = 16 + 13 + 2;  // the second band's third row
    for (const skin::ListVariant* v : {&skin::kTarmeloList, &skinlib::kBrisvaneList, &skinlib::kOlumbraList}) {
        list().SetVariant(v);
        CDC::FromHandle(dc)->FillSolidRect(&client, 0xFF00FF);
        auto pre = stage(CDDS_PREPAINT, -1, 0);
        EXPECT_EQ(CDRF_NOTIFYITEMDRAW, pre.first) << v->name;
        skin::FillPlan plan = skin::plan_shaded_fill(skin::kListTarmelo, 0xC08040, 0, 0, client.Width(), 13, 21);
        const COLORREF band = plan.bands[2].colour;
        EXPECT_EQ(v->paints_bands ? band : (COLORREF)0xFF00FF, GetPixel(dc, 20, y)) << v->name;
        EXPECT_EQ(CDRF_NOTIFYITEMDRAW, stage(CDDS_ITEMPREPAINT, 1, 0).first) << v->name;
        auto cell = stage(CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1, 2);
        EXPECT_EQ(CDRF_DODEFAULT, cell.first) << v->name;
        EXPECT_EQ(0x0000FFu, cell.second.clrText) << v->name;
        EXPECT_EQ(0x00FF00u, cell.second.clrTextBk) << v->name;
        EXPECT_EQ(CDRF_DODEFAULT, stage(CDDS_POSTPAINT, -1, 0).first) << v->name;
    }
    // Band style 0 paints no bands.
    list().SetVariant(&skin::kTarmeloList);
    list().m_nBandStyle = 0;
    CDC::FromHandle(dc)->FillSolidRect(&client, 0xFF00FF);
    stage(CDDS_PREPAINT, -1, 0);
    EXPECT_EQ(0xFF00FFu, GetPixel(dc, 20, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// ---- the skinned scroll bars ----

class ScrollTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame.Create(IDD_LIST_TEST));
        frame.SetWindowPos(&CWnd::wndTop, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        // A list made by Create (the dialog's own stays empty behind it).
        frame.list.ShowWindow(SW_HIDE);
        CRect r(20, 20, 320, 220);
        ASSERT_TRUE(list.Create(&frame, IDC_T_SCROLL_LIST, &r));
        EXPECT_EQ((DWORD)LVS_REPORT, list.GetStyle() & LVS_TYPEMASK);
        EXPECT_EQ((DWORD)(LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES),
                  list.GetExtendedStyle() & (LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES));
        EXPECT_NE(nullptr, list.m_header.m_hWnd);  // the header subclassed once the list exists
        for (int c = 0; c < 3; ++c) list.InsertColumn(c, "列", LVCFMT_LEFT, 250);
        for (int i = 0; i < 60; ++i) list.InsertItem(i, std::to_string(i).c_str());
        list.CreateSkinScrollBars();
        pump();
    }
    void TearDown() override {
        list.DestroyWindow();
        frame.DestroyWindow();
        pump();
    }
    // Presses at (x, y) of a bar and releases after `hold` milliseconds at (ux, uy).
    void press(CSkinScrollBar& bar, CPoint down, DWORD hold, CPoint up) {
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        if (hold) pump(hold);
        bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
        pump();
    }
    int height(CWnd& w) {
        CRect r;
        w.GetClientRect(&r);
        return r.Height();
    }
    CListDlg frame;
    CSkinListCtrl list;
};

TEST_F(ScrollTest, ArrowClickScrollsALineAHoldRepeatsATrackClickPages) {
    ASSERT_NE(nullptr, list.m_vbar.m_hWnd);
    ASSERT_NE(nullptr, list.m_hbar.m_hWnd);
    const int h = height(list.m_vbar);
    const CPoint down_arrow(6, h - 20);
    EXPECT_EQ(0, list.GetTopIndex());
    press(list.m_vbar, down_arrow, 0, down_arrow);  // well under 250 ms
    EXPECT_EQ(1, list.GetTopIndex());
    press(list.m_vbar, down_arrow, 700, down_arrow);
    const int held = list.GetTopIndex() - 1;
    EXPECT_GE(held, 4) << "the repeat after 250 ms, every 50 ms, and the release";
    EXPECT_LE(held, 14);
    // The thumb follows; a click in the track below it pages down.
    const int page = list.GetCountPerPage();
    const int top = list.GetTopIndex();
    const int thumb = list.m_vbar.ThumbPosition();
    EXPECT_GT(thumb, 36);
    press(list.m_vbar, CPoint(6, thumb + 40), 0, CPoint(6, thumb + 40));
    EXPECT_EQ(top + page, list.GetTopIndex());
    press(list.m_vbar, CPoint(6, 38 + 1), 0, CPoint(6, thumb - 2));  // released above the thumb: a page up
    EXPECT_EQ(top, list.GetTopIndex());
    // The vertical bar's down arrow does nothing for a release after a press elsewhere.
    press(list.m_vbar, CPoint(6, 5), 0, down_arrow);
    EXPECT_EQ(top, list.GetTopIndex());
    // The horizontal bar: a click right of the thumb pages right; its arrows take any release.
    EXPECT_EQ(0, list.GetScrollPos(SB_HORZ));
    const int w = [&] { CRect r; list.m_hbar.GetClientRect(&r); return r.Width(); }();
    press(list.m_hbar, CPoint(w - 40, 5), 0, CPoint(w - 40, 5));
    const int paged = list.GetScrollPos(SB_HORZ);
    EXPECT_GT(paged, 0);
    press(list.m_hbar, CPoint(w - 40, 5), 0, CPoint(8, 5));  // released over the left arrow: a line left
    EXPECT_LT(list.GetScrollPos(SB_HORZ), paged);
}

TEST_F(ScrollTest, ThumbDragsScrollAndFollowTheListsOwnScrolling) {
    const int h = height(list.m_vbar);
    const int limit = list.GetScrollLimit(SB_VERT);
    ASSERT_GT(limit, 0);
    const double scale = (double)(h - 98) / limit;
    // Press on the thumb and drag it down by 60 pixels: the list follows by whole rows.
    list.m_vbar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 36 + 13));
    list.m_vbar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 36 + 13 + 60));
    list.m_vbar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(6, 36 + 13 + 60));
    pump();
    EXPECT_NEAR((int)(60 / scale), list.GetTopIndex(), 1);
    EXPECT_NEAR(36 + 60, list.m_vbar.ThumbPosition(), scale + 1);
    // Keys scroll the list; the thumb goes with it.
    list.SetFocus();
    list.SendMessage(WM_KEYDOWN, VK_END, 0);
    pump();
    EXPECT_EQ(limit, list.GetScrollPos(SB_VERT));
    EXPECT_EQ(skin::bar_thumb(skin::BarAxis::Vertical, h, limit, limit).position, list.m_vbar.ThumbPosition());
    list.SendMessage(WM_KEYDOWN, VK_HOME, 0);
    pump();
    EXPECT_EQ(36, list.m_vbar.ThumbPosition());
}

TEST_F(ScrollTest, NothingToScrollKeepsTheThumbAtItsStart) {
    list.DeleteItems(1);
    for (int c = 2; c >= 1; --c) list.DeleteColumn(c);
    list.SetColumnWidth(0, 50);
    list.InsertItem(0, "one");
    pump();
    EXPECT_EQ(0, list.GetScrollLimit(SB_VERT) > 0 ? 1 : 0);
    const int h = height(list.m_vbar);
    EXPECT_EQ(36, list.m_vbar.ThumbPosition());
    EXPECT_EQ(0.0, list.m_vbar.Scale());
    // A drag and a track click change nothing and divide by nothing.
    list.m_vbar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 40));
    list.m_vbar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, h - 50));
    list.m_vbar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(6, h - 50));
    press(list.m_hbar, CPoint(150, 5), 0, CPoint(150, 5));
    pump();
    EXPECT_EQ(0, list.GetTopIndex());
    EXPECT_EQ(36, list.m_vbar.ThumbPosition());
    EXPECT_EQ(25, list.m_hbar.ThumbPosition());
}

}  // namespace
