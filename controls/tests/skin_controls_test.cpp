// The skinned controls at the message level, in the program's variant: buttons (check mode, checks,
// double clicks, hover, tips, styles, links, a worker's SetPressed), the combo box's drawing by
// reflection, the label's notifications, links, font and flashing, the tab control's pages, and the
// owner-drawn menu's loading, keyboard answer and destruction.
#include "tests/support/gtest_winelib.h"
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/menu/GlintMenu.h"
#include "controls/skin_core/skin_colour.h"
#include "controls/skin_core/tip_logic.h"
#include "controls/tab/BaseTabCtrl.h"
#include "skinlib/variants/skinlib_variants.h"
#include "controls/res/skin_res.h"
#include "skin_controls_res.h"
#include <string>
#include <vector>
#include "tests/support/message_pump.h"

namespace {

void pump(DWORD ms = 0) { pump_messages(ms, AfxPreTranslateMessage); }

struct Launches {
    std::vector<std::string> targets;
};

BOOL record_launch(const char* verb, const char* target, const char*, void* context) {
    static_cast<Launches*>(context)->targets.push_back(std::string(verb) + " " + target);
    return TRUE;
}

class CPage : public CDialog {
public:
    int saved = 0, loaded = 0;
protected:
    void DoDataExchange(CDataExchange* dx) override {
        if (dx->m_bSaveAndValidate) ++saved;
        else ++loaded;
    }
};

class CControlsDlg : public CDialog {
public:
    CControlsDlg() : CDialog(IDD_CONTROLS) {}
    CSkinButton push, check, def, menu_button;
    CSkinComboBox combo;
    CSkinLabel label, link;
    CBaseTabCtrl tab;
    CPage pages[17];
    int push_clicks = 0, check_clicks = 0;
    std::vector<UINT> label_notes;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_PUSH, push);
        DDX_Control(dx, IDC_CHECK, check);
        DDX_Control(dx, IDC_DEFBUTTON, def);
        DDX_Control(dx, IDC_MENU_BUTTON, menu_button);
        DDX_Control(dx, IDC_COMBO, combo);
        DDX_Control(dx, IDC_LABEL, label);
        DDX_Control(dx, IDC_LINK_LABEL, link);
        DDX_Control(dx, IDC_TAB, tab);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        combo.AddString("第一项");
        combo.AddString("第二项");
        tab.AddPage("一", &pages[0], IDD_PAGE);
        tab.AddPage("二", &pages[1], IDD_PAGE);
        return TRUE;
    }
    afx_msg void OnPush() { ++push_clicks; }
    afx_msg void OnCheck() { ++check_clicks; }
    afx_msg void OnLabelClick(NMHDR* hdr, LRESULT*) { label_notes.push_back(hdr->code); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CControlsDlg, CDialog)
    ON_BN_CLICKED(IDC_PUSH, OnPush)
    ON_BN_CLICKED(IDC_CHECK, OnCheck)
    ON_NOTIFY(NM_LABELCLICK, IDC_LABEL, OnLabelClick)
END_MESSAGE_MAP()

// One dialog for every test, shown at the top left of the screen.
class ControlsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create(IDD_CONTROLS));
        dlg.SetWindowPos(&CWnd::wndTop, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dlg.m_hWnd);
        pump();
    }
    void TearDown() override {
        AfxSetShellHook(nullptr, nullptr);
        dlg.DestroyWindow();
        pump();
    }
    CPoint centre(CWnd& wnd) {
        CRect r;
        wnd.GetWindowRect(&r);
        return r.CenterPoint();
    }
    CControlsDlg dlg;
};

TEST_F(ControlsTest, SubclassingMapsTheStyle) {
    EXPECT_FALSE(dlg.push.IsCheckMode());
    EXPECT_TRUE(dlg.check.IsCheckMode());  // authored BS_AUTOCHECKBOX
    EXPECT_TRUE(dlg.def.IsDefaultButton());
    EXPECT_EQ(0, dlg.def.ButtonType());
    for (CSkinButton* b : {&dlg.push, &dlg.check, &dlg.def}) EXPECT_EQ((DWORD)BS_OWNERDRAW, b->GetStyle() & 0x1F);
    EXPECT_EQ((UINT)DLGC_DEFPUSHBUTTON, (UINT)dlg.def.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    EXPECT_EQ((UINT)DLGC_UNDEFPUSHBUTTON, (UINT)dlg.push.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    // BM_SETSTYLE: a default push button sets the flag and the style stays owner-drawn.
    dlg.push.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(dlg.push.IsDefaultButton());
    EXPECT_EQ((DWORD)BS_OWNERDRAW, dlg.push.GetStyle() & 0x1F);
    dlg.push.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(dlg.push.IsDefaultButton());
}

TEST_F(ControlsTest, CheckModeClickTogglesAndNeverOpensMenuOrUrl) {
    Launches launches;
    AfxSetShellHook(record_launch, &launches);
    dlg.check.SetUrl("http://www.delmora.example/");
    ASSERT_TRUE(dlg.check.m_menu.LoadMenu(IDR_TEST_MENU));
    dlg.check.SendMessage(BM_CLICK);
    EXPECT_TRUE(dlg.check.IsPressed());
    dlg.check.SendMessage(BM_CLICK);
    EXPECT_FALSE(dlg.check.IsPressed());
    EXPECT_EQ(2, dlg.check_clicks);  // the parent gets every click too
    EXPECT_TRUE(launches.targets.empty());
    // A push button with a link opens it through the seam.
    dlg.push.SetUrl("http://www.delmora.example/");
    dlg.push.SendMessage(BM_CLICK);
    ASSERT_EQ(1u, launches.targets.size());
    EXPECT_EQ("open http://www.delmora.example/", launches.targets[0]);
}

TEST_F(ControlsTest, SetCheckLatchesWithOneAndTwo) {
    dlg.check.SendMessage(BM_SETCHECK, 1);
    EXPECT_EQ(1, (int)dlg.check.SendMessage(BM_GETCHECK));
    dlg.check.SendMessage(BM_SETCHECK, 0);
    EXPECT_EQ(0, (int)dlg.check.SendMessage(BM_GETCHECK));
    dlg.check.SendMessage(BM_SETCHECK, 2);
    EXPECT_EQ(1, (int)dlg.check.SendMessage(BM_GETCHECK));
    // A push button ignores it.
    dlg.push.SendMessage(BM_SETCHECK, 1);
    EXPECT_FALSE(dlg.push.IsPressed());
    dlg.push.SetPressed(TRUE);
    EXPECT_FALSE(dlg.push.IsPressed());
}

TEST_F(ControlsTest, DoubleClickGivesTwoClicks) {
    CRect client;
    dlg.push.GetClientRect(&client);
    LPARAM at = MAKELPARAM(client.Width() / 2, client.Height() / 2);
    dlg.push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    dlg.push.SendMessage(WM_LBUTTONUP, 0, at);
    dlg.push.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    dlg.push.SendMessage(WM_LBUTTONUP, 0, at);
    pump();
    EXPECT_EQ(2, dlg.push_clicks);
}

TEST_F(ControlsTest, HoverEndsOnLeaveDisableAndDeactivation) {
    CPoint c = centre(dlg.push);
    SetCursorPos(c.x, c.y);
    CRect client;
    dlg.push.GetClientRect(&client);
    auto hover = [&] {
        dlg.push.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(client.Width() / 2, client.Height() / 2));
        return dlg.push.IsHovered();
    };
    ASSERT_TRUE(hover());
    dlg.push.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(dlg.push.IsHovered());
    ASSERT_TRUE(hover());
    dlg.push.EnableWindow(FALSE);
    EXPECT_FALSE(dlg.push.IsHovered());
    EXPECT_NE(dlg.push.m_hWnd, ::GetFocus());  // the focus moved on
    dlg.push.EnableWindow(TRUE);
    ASSERT_TRUE(hover());
    dlg.push.SendMessage(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_FALSE(dlg.push.IsHovered());
    ASSERT_TRUE(hover());
    dlg.push.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(dlg.push.IsHovered());
    // Pointing at another window ends it too.
    ASSERT_TRUE(hover());
    CPoint other = centre(*dlg.GetDlgItem(IDC_OTHER));
    CPoint in_push = other;
    dlg.push.ScreenToClient(&in_push);
    dlg.push.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(in_push.x, in_push.y));
    EXPECT_FALSE(dlg.push.IsHovered());
}

TEST_F(ControlsTest, TipShowsAfterRestingWithItsTailOnTheCursorAndHidesOnAClick) {
    dlg.push.SetTooltipText("提示文字");
    ASSERT_NE(nullptr, dlg.push.m_tip.m_hWnd);
    CPoint c = centre(dlg.push);
    SetCursorPos(c.x, c.y);
    CPoint in_button = c;
    dlg.push.ScreenToClient(&in_button);
    dlg.push.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(in_button.x, in_button.y));
    pump(300);
    EXPECT_FALSE(IsWindowVisible(dlg.push.m_tip.m_hWnd));  // still resting
    pump(600);
    ASSERT_TRUE(IsWindowVisible(dlg.push.m_tip.m_hWnd));
    EXPECT_TRUE(dlg.push.m_tip.IsShowing());
    CRect tip;
    dlg.push.m_tip.GetWindowRect(&tip);
    skin::TipShape shape = dlg.push.m_tip.TipShape();
    EXPECT_EQ(shape.window_width, tip.Width());
    EXPECT_EQ(shape.window_height, tip.Height());
    EXPECT_EQ(c.x, tip.left + shape.tail[1].x);  // the tail's point on the cursor
    EXPECT_EQ(c.y, tip.top + shape.tail[1].y);
    EXPECT_TRUE(PtInRegion([&] {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(dlg.push.m_tip.m_hWnd, r);
        return r;
    }(), shape.width / 2, shape.height / 2));
    dlg.push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(in_button.x, in_button.y));
    dlg.push.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(in_button.x, in_button.y));
    pump();
    EXPECT_FALSE(IsWindowVisible(dlg.push.m_tip.m_hWnd));
    EXPECT_FALSE(dlg.push.m_tip.IsShowing());
}

TEST_F(ControlsTest, ColourSettersReportBadIndexAndShade) {
    EXPECT_EQ(3, dlg.push.SetColour(6, 0x123456));
    EXPECT_EQ(3, dlg.push.OffsetColour(6, 10));
    EXPECT_EQ(5, dlg.push.OffsetColour(2, 300));
    EXPECT_EQ(0x969600u, dlg.push.GetColour(2));
    EXPECT_EQ(0, dlg.push.OffsetColour(2, 30));
    EXPECT_EQ(0xB4B41Eu, dlg.push.GetColour(2));
}

TEST_F(ControlsTest, UrlAndFontNamesAreCutAtWholeCharacters) {
    std::string url = "http://www.delmora.example/";
    while (url.size() < 300) url += "视";  // two bytes each
    dlg.push.SetUrl(url.c_str());
    size_t n = strlen(dlg.push.GetUrl());
    EXPECT_LE(n, 259u);
    EXPECT_GE(n, 258u);
    EXPECT_EQ(0, url.compare(0, n, dlg.push.GetUrl()));
    EXPECT_EQ(0u, (n - 27) % 2);  // "http://www.delmora.example/" then whole two-byte characters
    std::string face = "ABC";
    for (int i = 0; i < 20; ++i) face += "宋";
    dlg.label.SetFontName(face.c_str());
    size_t f = strlen(dlg.label.GetLogFont().lfFaceName);
    EXPECT_EQ(31u, f);  // "ABC" and 14 whole characters
    EXPECT_EQ(0, face.compare(0, f, dlg.label.GetLogFont().lfFaceName));
    dlg.label.SetRotationAngle(90, TRUE);
    EXPECT_EQ(900, dlg.label.GetLogFont().lfEscapement);
    EXPECT_EQ(900, dlg.label.GetLogFont().lfOrientation);
    dlg.label.SetFontSize(14).SetFontBold(TRUE);
    EXPECT_EQ(-14, dlg.label.GetLogFont().lfHeight);
    EXPECT_EQ(700, dlg.label.GetLogFont().lfWeight);
}

// Draws one combo item through the parent's WM_DRAWITEM into a bitmap and counts the text pixels.
struct DrawnItem {
    int text_pixels = 0;
    COLORREF corner = 0, inside = 0;
};

// Text pixels are those in the combo's text colour.
DrawnItem draw_combo_item(CControlsDlg& dlg, int item, UINT state) {
    const int w = 120, h = 18;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = IDC_COMBO;
    dis.itemID = (UINT)item;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = dlg.combo.m_hWnd;
    dis.hDC = dc;
    dis.rcItem = {0, 0, w, h};
    dlg.SendMessage(WM_DRAWITEM, IDC_COMBO, (LPARAM)&dis);
    DrawnItem d;
    d.corner = GetPixel(dc, 0, 0);
    d.inside = GetPixel(dc, w - 4, h / 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (GetPixel(dc, x, y) == dlg.combo.GetTextColour()) ++d.text_pixels;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return d;
}

TEST_F(ControlsTest, ComboItemsDrawnByReflectionWithoutTextPastTheStoredOnes) {
    DrawnItem valid = draw_combo_item(dlg, 0, 0);
    EXPECT_GT(valid.text_pixels, 10);
    EXPECT_EQ(RGB(0, 0, 0), valid.corner);  // the black frame
    DrawnItem edit = draw_combo_item(dlg, -1, 0);
    EXPECT_EQ(0, edit.text_pixels);
    EXPECT_EQ(RGB(0, 0, 0), edit.corner);
    DrawnItem past = draw_combo_item(dlg, 5, 0);
    EXPECT_EQ(0, past.text_pixels);
    EXPECT_EQ(edit.inside, past.inside);
    // ClearItems without resetting the list: the items are past the texts now.
    dlg.combo.ClearItems();
    EXPECT_EQ(0, draw_combo_item(dlg, 0, 0).text_pixels);
    EXPECT_EQ(0, dlg.combo.TextCount());
}

TEST_F(ControlsTest, LabelClicksNotifyTheParentUntilTheLinkIsOff) {
    dlg.label.SetLink(TRUE, FALSE);
    EXPECT_TRUE(dlg.label.GetStyle() & SS_NOTIFY);
    dlg.label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ASSERT_EQ(1u, dlg.label_notes.size());
    EXPECT_EQ((UINT)0x8200, dlg.label_notes[0]);
    EXPECT_EQ((LRESULT)HTCLIENT, dlg.label.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(centre(dlg.label).x, centre(dlg.label).y)));
    dlg.label.SetLink(FALSE, FALSE);
    EXPECT_FALSE(dlg.label.GetStyle() & SS_NOTIFY);
    // Without SS_NOTIFY a static lets the clicks through to its parent.
    EXPECT_EQ((LRESULT)HTTRANSPARENT,
              dlg.label.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(centre(dlg.label).x, centre(dlg.label).y)));
}

TEST_F(ControlsTest, OpenLinkClicksReachTheSeam) {
    Launches launches;
    AfxSetShellHook(record_launch, &launches);
    // The program's labels open the maker's page; the libraries' their own text.
    dlg.link.SetLink(TRUE, TRUE);
    dlg.link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    dlg.link.SetVariant(&skinlib::kBrisvaneLabel);
    dlg.link.SetText("http://www.delmora.example/brisvane.htm");
    dlg.link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ASSERT_EQ(2u, launches.targets.size());
    EXPECT_EQ("open http://www.delmora.example/index.asp?p_id=555&ver=300", launches.targets[0]);
    EXPECT_EQ("open http://www.delmora.example/brisvane.htm", launches.targets[1]);
    EXPECT_TRUE(dlg.label_notes.empty());
}

TEST_F(ControlsTest, FlashingTogglesOnTheTimer) {
    dlg.label.SetBkColor(RGB(10, 20, 30));
    dlg.label.FlashText(TRUE);
    EXPECT_TRUE(dlg.label.Flash().text_hidden());
    dlg.label.SendMessage(WM_TIMER, 1);
    EXPECT_FALSE(dlg.label.Flash().text_hidden());
    dlg.label.FlashBackground(FALSE);  // leaves the kind
    EXPECT_EQ(skin::LabelFlash::kText, dlg.label.Flash().kind);
    dlg.label.FlashText(FALSE);
    EXPECT_EQ(skin::LabelFlash::kNone, dlg.label.Flash().kind);
}

TEST_F(ControlsTest, BitmapsByIdReportAMissingResource) {
    EXPECT_EQ(1, dlg.tab.SetBitmap(IDB_SKIN_BACKGROUND));
    EXPECT_NE(nullptr, dlg.tab.m_hBackBitmap);
    EXPECT_EQ(0, dlg.tab.SetBitmap(4242));
    EXPECT_EQ(nullptr, dlg.tab.m_hBackBitmap);  // the old one is gone all the same
    EXPECT_TRUE(dlg.label.SetBackBitmap(IDB_SKIN_BACKGROUND));
    EXPECT_FALSE(dlg.label.SetBackBitmap(4242));
    EXPECT_EQ(nullptr, dlg.label.GetBackBitmap());
    HBRUSH brush = CreateSolidBrush(1);
    EXPECT_EQ(0, dlg.tab.SetBitmapHandle((HBITMAP)brush));
    EXPECT_EQ(0u, GetObjectType(brush));  // taken over and deleted
}

TEST_F(ControlsTest, SeventeenthPageIsRefusedAndPagesSwitchOnRepaint) {
    EXPECT_EQ(2, dlg.tab.GetItemCount());
    dlg.tab.RedrawWindow();
    EXPECT_TRUE(dlg.pages[0].IsWindowVisible());
    EXPECT_FALSE(dlg.pages[1].IsWindowVisible());
    // A new selection shows its page only when the tabs are painted again.
    dlg.tab.SetCurSel(1);
    EXPECT_FALSE(dlg.pages[1].IsWindowVisible());
    dlg.tab.RedrawWindow();
    EXPECT_TRUE(dlg.pages[1].IsWindowVisible());
    EXPECT_FALSE(dlg.pages[0].IsWindowVisible());
    for (int i = 2; i < 16; ++i) EXPECT_EQ(1, dlg.tab.AddPage("页", &dlg.pages[i], IDD_PAGE));
    EXPECT_EQ(0, dlg.tab.AddPage("十七", &dlg.pages[16], IDD_PAGE));
    EXPECT_EQ(16, dlg.tab.GetItemCount());
    EXPECT_EQ(nullptr, dlg.pages[16].m_hWnd);
    // Pages sit below the tabs inside the control.
    CRect first, page, client;
    dlg.tab.GetItemRect(0, &first);
    dlg.tab.GetClientRect(&client);
    dlg.pages[0].GetWindowRect(&page);
    dlg.tab.ScreenToClient(&page);
    EXPECT_EQ(first.left, page.left);
    EXPECT_EQ(client.right - first.left - 2, page.Width());
}

TEST_F(ControlsTest, SetActivePageSavesTheOldPageAndSelectsTheNew) {
    dlg.tab.SetVariant(&skinlib::kOlumbraTab);
    EXPECT_EQ(0, dlg.tab.SetActivePage(2));
    EXPECT_EQ(0, dlg.tab.SetActivePage(-1));
    int saved = dlg.pages[0].saved, loaded = dlg.pages[1].loaded;
    EXPECT_EQ(1, dlg.tab.SetActivePage(1));
    EXPECT_EQ(saved + 1, dlg.pages[0].saved);
    EXPECT_EQ(loaded + 1, dlg.pages[1].loaded);
    EXPECT_EQ(1, dlg.tab.GetCurFocus());
    EXPECT_TRUE(dlg.pages[1].IsWindowVisible());
    EXPECT_FALSE(dlg.pages[0].IsWindowVisible());
    EXPECT_EQ(1, dlg.tab.m_nActivePage);
}

// A tab chosen by the keyboard after a click must not swallow the next click: the common control
// leaves the clicked tab's pressed mark behind on a keyboard change.
TEST_F(ControlsTest, ClickAfterAKeyboardTabChangeSelectsTheClickedTab) {
    dlg.tab.SetCurSel(1);  // as a click selects: tab 1 marked pressed
    dlg.tab.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    ASSERT_EQ(0, dlg.tab.GetCurSel());
    CRect second;
    dlg.tab.GetItemRect(1, &second);
    const LPARAM at = MAKELPARAM(second.CenterPoint().x, second.CenterPoint().y);
    dlg.tab.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    dlg.tab.SendMessage(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(1, dlg.tab.GetCurSel());
    dlg.tab.RedrawWindow();
    EXPECT_TRUE(dlg.pages[1].IsWindowVisible());
    EXPECT_FALSE(dlg.pages[0].IsWindowVisible());
}

struct Worker {
    HWND wnd = nullptr;
    CSkinButton* button = nullptr;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD thread_id = 0;
};

LRESULT CALLBACK worker_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
        // While the UI thread waits in SendMessage to this window, the worker sets the button.
        Worker* w = (Worker*)GetWindowLongPtrA(wnd, GWLP_USERDATA);
        w->button->SetPressed(TRUE);
        return 1;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

DWORD WINAPI worker_main(LPVOID param) {
    Worker* w = (Worker*)param;
    w->wnd = CreateWindowA("STATIC", "worker", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(w->wnd, GWLP_USERDATA, (LONG_PTR)w);
    SetWindowLongPtrA(w->wnd, GWLP_WNDPROC, (LONG_PTR)worker_proc);
    SetEvent(w->ready);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(w->wnd);
    return 0;
}

TEST_F(ControlsTest, SetPressedFromAWorkerWhileTheUiThreadWaitsForIt) {
    Worker w;
    w.button = &dlg.check;
    HANDLE thread = CreateThread(nullptr, 0, worker_main, &w, 0, &w.thread_id);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(w.ready, 5000));
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(w.wnd, WM_APP, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(1u, answer);
    EXPECT_TRUE(dlg.check.IsPressed());
    pump();  // the repaint it asked for
    PostThreadMessageA(w.thread_id, WM_QUIT, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    CloseHandle(thread);
    CloseHandle(w.ready);
}

TEST(GlintMenuLoading, TopLevelStaysPlainAndPopupsAreOwnedAndAligned) {
    GlintMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    ASSERT_EQ(2u, menu.GetMenuItemCount());
    MENUITEMINFOA top_info{};
    top_info.cbSize = sizeof top_info;
    top_info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu.m_hMenu, 0, TRUE, &top_info));
    EXPECT_FALSE(top_info.fType & MFT_OWNERDRAW);
    EXPECT_FALSE(GlintMenu::IsOwnMenuHandle(menu.m_hMenu));
    CString top;
    menu.GetMenuString(0, top, MF_BYPOSITION);
    EXPECT_STREQ("&File", top);
    HMENU file = GetSubMenu(menu.m_hMenu, 0), edit = GetSubMenu(menu.m_hMenu, 1);
    ASSERT_TRUE(file && edit);
    EXPECT_TRUE(GlintMenu::IsOwnMenuHandle(file));
    EXPECT_TRUE(GlintMenu::IsOwnMenuHandle(edit));
    ASSERT_EQ(4, GetMenuItemCount(file));
    for (int i = 0; i < 4; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoA(file, i, TRUE, &info));
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;  // popup items too
    }
    HMENU recent = GetSubMenu(file, 2);
    EXPECT_TRUE(GlintMenu::IsOwnMenuHandle(recent));
    EXPECT_EQ(2, GetMenuItemCount(recent));
    GlintMenu* file_menu = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, file_menu);
    EXPECT_TRUE(file_menu->IsKindOf(RUNTIME_CLASS(GlintMenu)));
    ASSERT_EQ(4u, file_menu->Records().size());
    EXPECT_TRUE(file_menu->Records()[1]->flags & MF_SEPARATOR);  // the template's separator
    EXPECT_EQ(0u, file_menu->Records()[1]->command);
    // The text before the tab is padded with blanks to the widest item of the level.
    CString open;
    file_menu->GetItemText(0, open, MF_BYPOSITION);
    EXPECT_EQ(0, open.Find("&Open "));
    EXPECT_GT(open.Find("\tCtrl+O"), 5);
    CString exit_text;
    EXPECT_TRUE(menu.GetItemText(ID_EXIT, exit_text, MF_BYCOMMAND));
    EXPECT_STREQ("E&xit", exit_text);
    EXPECT_FALSE(menu.LoadMenu(4242));  // missing: the menu stays as it was
    EXPECT_EQ(2u, menu.GetMenuItemCount());
}

TEST(GlintMenuLoading, DestroyMenuLeavesNoPopupValid) {
    GlintMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    HMENU file = GetSubMenu(menu.m_hMenu, 0), edit = GetSubMenu(menu.m_hMenu, 1), recent = GetSubMenu(file, 2);
    HMENU top = menu.m_hMenu;
    EXPECT_TRUE(menu.DestroyMenu());
    for (HMENU h : {top, file, edit, recent}) {
        EXPECT_FALSE(IsMenu(h));
        EXPECT_FALSE(GlintMenu::IsOwnMenuHandle(h));
    }
    EXPECT_TRUE(menu.Records().empty());
    GlintMenu never;
    EXPECT_FALSE(never.DestroyMenu());  // nothing to destroy
}

TEST(GlintMenuLoading, MenuCharAnswersThePositionOfTheAmpersandItem) {
    CSkinButton button;
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "p", WS_POPUP, 0, 0, 100, 40, nullptr, nullptr));
    ASSERT_TRUE(button.Create("b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 80, 20), &parent, 1));
    ASSERT_TRUE(button.m_menu.LoadMenu(IDR_TEST_MENU));
    HMENU file = GetSubMenu(button.m_menu.m_hMenu, 0);
    EXPECT_EQ(MAKELRESULT(3, MNC_EXECUTE), button.SendMessage(WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), (LPARAM)file));
    EXPECT_EQ(MAKELRESULT(3, MNC_EXECUTE), button.SendMessage(WM_MENUCHAR, MAKEWPARAM('X', MF_POPUP), (LPARAM)file));
    EXPECT_EQ(MAKELRESULT(0, MNC_EXECUTE), button.SendMessage(WM_MENUCHAR, MAKEWPARAM('o', MF_POPUP), (LPARAM)file));
    EXPECT_EQ(0, button.SendMessage(WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), (LPARAM)file));
    // A menu that is not one of ours gets the default answer.
    HMENU foreign = CreatePopupMenu();
    AppendMenuA(foreign, MF_STRING, 1, "&Xylophone");
    EXPECT_EQ(0, HIWORD(button.SendMessage(WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), (LPARAM)foreign)) & MNC_EXECUTE);
    DestroyMenu(foreign);
    button.DestroyWindow();
    parent.DestroyWindow();
}

TEST(GlintMenuLoading, ToolbarImagesJoinTheSharedListOnce) {
    GlintMenu a, b;
    ASSERT_TRUE(a.CreatePopupMenu());
    ASSERT_TRUE(b.CreatePopupMenu());
    size_t before = GlintMenu::GlobalImageCommands().size();
    EXPECT_TRUE(a.AppendItem("&Open", MF_STRING, ID_EXIT, IDR_TEST_TOOLBAR));
    EXPECT_TRUE(b.AppendItem("&Quit", MF_STRING, ID_EXIT, IDR_TEST_TOOLBAR));
    // One entry for the command (the classic look stores no variant triple).
    EXPECT_EQ(before + 1, GlintMenu::GlobalImageCommands().size());
    EXPECT_EQ(a.Records()[0]->image, b.Records()[0]->image);
    EXPECT_GE(a.Records()[0]->image, 0);
    // A command the toolbar has no button for gets no image.
    EXPECT_TRUE(a.AppendItem("&Copy", MF_STRING, ID_COPY, IDR_TEST_TOOLBAR));
    EXPECT_EQ(-1, a.Records()[1]->image);
    EXPECT_EQ(before + 1, GlintMenu::GlobalImageCommands().size());
}

TEST(GlintMenuLoading, SubmenusFollowImageSettingsMadeAfterLoading) {
    GlintMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    menu.SetImageSize(16, 16);
    GlintMenu* file = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(16, file->ImageHeight());
    GlintMenu* recent = file->GetSubMenu(2);
    ASSERT_NE(nullptr, recent);
    EXPECT_EQ(16, recent->ImageHeight());
}

TEST(GlintMenuLoading, RecordsFollowItemsAddedBehindTheMenusBack) {
    GlintMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    GlintMenu* edit = menu.GetSubMenu(1);
    ASSERT_NE(nullptr, edit);
    // Items appended with the plain API have no record until the records are synchronised.
    AppendMenuA(edit->m_hMenu, MF_STRING, 900, "&Paste");
    AppendMenuA(edit->m_hMenu, MF_SEPARATOR, 0, nullptr);
    ASSERT_EQ(1u, edit->Records().size());
    // The keyboard search synchronises first, then finds the new item.
    EXPECT_EQ(MAKELRESULT(1, MNC_EXECUTE), GlintMenu::FindKeyboardAccelerator('p', MF_POPUP, edit));
    ASSERT_EQ(3u, edit->Records().size());
    EXPECT_EQ(900u, edit->Records()[1]->command);
    EXPECT_TRUE(edit->Records()[2]->flags & MF_SEPARATOR);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoA(edit->m_hMenu, 1, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ((ULONG_PTR)edit->Records()[1], info.dwItemData);
    EXPECT_EQ(0, GlintMenu::FindKeyboardAccelerator('p', 0, edit));  // not a popup: the system's own answer
}

TEST(GlintMenuLoading, FlatLookStoresWashedAndShadowImages) {
    GlintMenu::s_plainDrawMode = 1;  // the flat look, as brisvane's preview asks for it
    ASSERT_TRUE(GlintMenu::UsesXpStyle());
    GlintMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    size_t before = GlintMenu::GlobalImageCommands().size();
    EXPECT_TRUE(menu.AppendItem("&Open", MF_STRING, ID_OPEN, IDR_TEST_TOOLBAR));
    GlintMenu::s_plainDrawMode = 0;
    ASSERT_EQ(before + 3, GlintMenu::GlobalImageCommands().size());
    int index = menu.Records()[0]->image;
    EXPECT_TRUE(GlintMenu::HasImageTriple(index));
    // The washed copy is lighter than the normal image wherever the image is not background.
    auto pixel = [](int image, int x, int y) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP b = CreateCompatibleBitmap(screen, 16, 15);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, b);
        RECT all = {0, 0, 16, 15};
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        ImageList_Draw(GlintMenu::GlobalImages().m_hImageList, image, dc, 0, 0, ILD_NORMAL);
        COLORREF c = GetPixel(dc, x, y);
        SelectObject(dc, old);
        DeleteObject(b);
        DeleteDC(dc);
        return c;
    };
    COLORREF normal = pixel(index, 8, 7), washed = pixel(index + 1, 8, 7), shadow = pixel(index + 2, 8, 7);
    EXPECT_EQ(RGB(255, 0, 0), normal);  // the red square of the strip's first image, ID_OPEN's
    EXPECT_EQ(skin::blend_white(normal, 0.3), washed);
    EXPECT_EQ(skin::blend_white(GetSysColor(COLOR_BTNSHADOW), 0.49), shadow);
}

TEST(GlintMenuLoading, VersionSeamSelectsTheXpLook) {
    EXPECT_EQ(1, GlintMenu::GetOsVersionCode());  // Wine reports NT 6.1
    EXPECT_FALSE(GlintMenu::UsesXpLook());
    GlintMenu::SetVersionForTest(7, 0);
    EXPECT_TRUE(GlintMenu::UsesXpLook());
    EXPECT_TRUE(GlintMenu::UsesXpStyle());  // the themed draw mode is 1
    EXPECT_TRUE(GlintMenu::IsModernShell());
    GlintMenu::SetVersionForTest(7, 1);     // XP with the classic theme
    EXPECT_FALSE(GlintMenu::UsesXpLook());
    EXPECT_FALSE(GlintMenu::UsesXpStyle());
    GlintMenu::SetVersionForTest(-1, -1);
    EXPECT_FALSE(GlintMenu::UsesXpStyle());
}

}  // namespace
