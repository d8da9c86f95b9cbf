// The hyperlink, the skinned and the round slider, the progress bar and the read-out at the message
// level: a link click's target seen by the shell seam and its visited colour, a target that will not
// open reported through the message seam, the browser-command fallback; the slider's custom-draw
// answers; the round slider's keys and drags with their notifications; the progress animation's timer.
#include "tests/support/gtest_winelib.h"
#include "controls/link/LinkStatic.h"
#include "controls/progress/SkinProgressCtrl.h"
#include "controls/readout/ColorStatic.h"
#include "controls/skin_core/link_rules.h"
#include "controls/slider/RoundSliderCtrl.h"
#include "controls/slider/SkinSliderCtrl.h"
#include "skin_controls_b_res.h"
#include <string>
#include <vector>
#include "tests/support/message_pump.h"

namespace {

void pump() { pump_messages(0, AfxPreTranslateMessage); }

class COthersDlg : public CDialog {
public:
    COthersDlg() : CDialog(IDD_OTHERS_TEST) {}
    CSkinSliderCtrl slider;
    CLinkStatic link;
    CRoundSliderCtrl round;
    CSkinProgressCtrl progress;
    CColorStatic readout;
    std::vector<UINT> scroll_codes;
    std::vector<int> scroll_positions;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_T_SLIDER, slider);
        DDX_Control(dx, IDC_T_LINK, link);
        DDX_Control(dx, IDC_T_ROUND, round);
        DDX_Control(dx, IDC_T_PROGRESS, progress);
        DDX_Control(dx, IDC_T_READOUT, readout);
    }
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
        if (bar && ((CWnd*)bar)->m_hWnd == round.m_hWnd) {
            scroll_codes.push_back(code);
            scroll_positions.push_back((int)pos);
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COthersDlg, CDialog)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

struct Seen {
    std::vector<std::string> launches, boxes;
    bool take_open = true;  // the seam takes the shell's "open" (else the real shell runs)
};

BOOL on_launch(const char* verb, const char* target, const char* params, void* context) {
    Seen* seen = (Seen*)context;
    seen->launches.push_back(std::string(verb ? verb : "") + "|" + (target ? target : "") + "|" + (params ? params : ""));
    return std::string(verb ? verb : "") == "open" ? seen->take_open : TRUE;
}

int on_box(HWND, const char* text, const char*, UINT type, void* context) {
    ((Seen*)context)->boxes.push_back(std::string(text) + ((type & MB_ICONEXCLAMATION) ? "|!" : ""));
    return IDOK;
}

class OthersTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create(IDD_OTHERS_TEST));
        dlg.SetWindowPos(&CWnd::wndTop, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        AfxSetShellHook(on_launch, &seen);
        AfxSetModalHook(on_box, &seen);
        pump();
    }
    void TearDown() override {
        AfxSetShellHook(nullptr, nullptr);
        AfxSetModalHook(nullptr, nullptr);
        dlg.DestroyWindow();
        pump();
    }
    void click_link() {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_T_LINK, STN_CLICKED), (LPARAM)dlg.link.m_hWnd);
        pump();
    }
    COthersDlg dlg;
    Seen seen;
};

TEST_F(OthersTest, LinkClickOpensItsTargetAndTurnsVisited) {
    CLinkStatic& link = dlg.link;
    EXPECT_STREQ("链接", link.GetLinkTarget());  // an empty target takes the window text
    EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);
    EXPECT_NE(nullptr, link.GetLinkCursor());   // no help program's hand here: the system's
    // Fitted to its text: the window is as wide as the text in the underlined font.
    CRect window;
    link.GetWindowRect(&window);
    CClientDC dc(&link);
    LOGFONTA lf{};
    ::GetObjectA(link.GetFont(), sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    CFont underlined;
    underlined.CreateFontIndirect(&lf);
    CFont* old = dc.SelectObject(&underlined);
    EXPECT_EQ(dc.GetTextExtent(CString("链接")).cx, window.Width());
    dc.SelectObject(old);

    link.SetLinkTarget("http://www.delmora.example/");
    // One tool over the link, naming the target.
    ASSERT_NE(nullptr, link.ToolTip().m_hWnd);
    EXPECT_EQ(1, link.ToolTip().GetToolCount());
    char tip[128] = "";
    TTTOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = link.m_hWnd;
    info.uId = 1;
    info.lpszText = tip;
    link.ToolTip().SendMessage(TTM_GETTEXTA, sizeof tip, (LPARAM)&info);
    EXPECT_STREQ("http://www.delmora.example/", tip);
    link.SetLinkColours(0x112233, 0x445566, (COLORREF)-1);
    EXPECT_EQ(0x112233u, link.CurrentColour());
    click_link();
    ASSERT_EQ(1u, seen.launches.size());
    EXPECT_EQ("open|http://www.delmora.example/|", seen.launches[0]);
    EXPECT_TRUE(link.IsVisited());
    EXPECT_EQ(0x445566u, link.CurrentColour());
    EXPECT_TRUE(seen.boxes.empty());
    // Underline modes: 1 puts the underlined font in, 0 the plain one.
    link.SetUnderlineMode(1);
    ::GetObjectA(link.GetFont(), sizeof lf, &lf);
    EXPECT_TRUE(lf.lfUnderline);
    link.SetUnderlineMode(0);
    ::GetObjectA(link.GetFont(), sizeof lf, &lf);
    EXPECT_FALSE(lf.lfUnderline);
}

TEST_F(OthersTest, UnopenableTargetIsReportedThroughTheMessageSeam) {
    const char* target = "Z:\\no\\such\\folder\\target.xyz";
    // This prefix has no ".htm" class: nothing to fall back to.
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".htm");
    const int result = (int)(INT_PTR)ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOW);
    ASSERT_LE(result, 32);
    seen.take_open = false;
    dlg.link.SetLinkTarget(target);
    click_link();
    ASSERT_EQ(1u, seen.boxes.size());
    EXPECT_EQ(skin::link_error_text(result) + "|!", seen.boxes[0]);
    EXPECT_EQ(0u, seen.boxes[0].find("Unable to open hyperlink:\n\n"));
    EXPECT_FALSE(dlg.link.IsVisited());
    // With a registered browser: its command, cut at the quoted "%1", gets the target.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, ".htm", &key));
    RegSetValueA(key, nullptr, REG_SZ, "tarmelotest.htm", 15);
    RegCloseKey(key);
    const char* command = "\"C:\\browser\\b.exe\" -open \"%1\"";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, "tarmelotest.htm\\shell\\open\\command", &key));
    RegSetValueA(key, nullptr, REG_SZ, command, (DWORD)strlen(command));
    RegCloseKey(key);
    seen.launches.clear();
    click_link();
    ASSERT_EQ(2u, seen.launches.size());
    EXPECT_EQ(std::string("open|") + target + "|", seen.launches[0]);
    EXPECT_EQ(std::string("|\"C:\\browser\\b.exe\" -open  ") + target + "|", seen.launches[1]);
    EXPECT_TRUE(dlg.link.IsVisited());
    EXPECT_EQ(1u, seen.boxes.size());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".htm");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "tarmelotest.htm");
}

TEST_F(OthersTest, SliderCustomDrawAnswers) {
    CSkinSliderCtrl& slider = dlg.slider;
    slider.SetRange(0, 100);
    CRect client;
    slider.GetClientRect(&client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.Width(), client.Height());
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto answer = [&](DWORD stage, DWORD_PTR item, RECT rc) {
        NMCUSTOMDRAW cd{};
        cd.hdr.hwndFrom = slider.m_hWnd;
        cd.hdr.idFrom = IDC_T_SLIDER;
        cd.hdr.code = NM_CUSTOMDRAW;
        cd.dwDrawStage = stage;
        cd.hdc = dc;
        cd.rc = rc;
        cd.dwItemSpec = item;
        return dlg.SendMessage(WM_NOTIFY, IDC_T_SLIDER, (LPARAM)&cd);
    };
    CRect channel, thumb;
    slider.GetChannelRect(&channel);
    slider.GetThumbRect(&thumb);
    EXPECT_EQ(CDRF_NOTIFYITEMDRAW, answer(CDDS_PREPAINT, 0, client));
    EXPECT_EQ(CDRF_DODEFAULT, answer(CDDS_PREERASE, 0, client));
    EXPECT_EQ(CDRF_DODEFAULT, answer(CDDS_ITEMPREPAINT, TBCD_TICS, client));
    EXPECT_EQ(CDRF_SKIPDEFAULT, answer(CDDS_ITEMPREPAINT, TBCD_CHANNEL, channel));
    EXPECT_EQ(CDRF_SKIPDEFAULT, answer(CDDS_ITEMPREPAINT, TBCD_THUMB, thumb));
    EXPECT_EQ(CDRF_DODEFAULT, answer(CDDS_POSTPAINT, 0, client));
    // The thumb was drawn: its frame line in the window-frame colour at its left side.
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), GetPixel(dc, thumb.left, thumb.top + 3));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    // The colour setters: the shades follow, the slider's own lightening keeps full channels.
    slider.SetThumbColour(0x00FFFF);
    EXPECT_EQ(0x33FFFFu, slider.Shades().light1);
    slider.SetChannelColour(0x123456);
    EXPECT_EQ(0x123456u, slider.Shades().channel);
}

TEST_F(OthersTest, RoundSliderKeysAndDragsNotifyItsParent) {
    CRoundSliderCtrl& round = dlg.round;
    EXPECT_TRUE(round.IsKindOf(RUNTIME_CLASS(CSliderCtrl)));
    EXPECT_STREQ("CRoundSliderCtrl", round.GetRuntimeClass()->m_lpszClassName);
    round.SetRange(0, 99);
    round.SetPageSize(10);
    round.SetLineSize(2);
    round.SetPos(50);
    round.SendMessage(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(52, round.GetPos());
    round.SendMessage(WM_KEYDOWN, VK_PRIOR);
    EXPECT_EQ(42, round.GetPos());
    round.SendMessage(WM_KEYUP, VK_PRIOR);
    round.SendMessage(WM_KEYDOWN, VK_END);
    EXPECT_EQ(99, round.GetPos());
    EXPECT_EQ((std::vector<UINT>{TB_LINEDOWN, TB_PAGEUP, TB_ENDTRACK, TB_BOTTOM}), dlg.scroll_codes);
    dlg.scroll_codes.clear();
    dlg.scroll_positions.clear();
    // A drag from the right of the centre (a quarter turn: 25) to below it (half a turn: 50).
    CPoint c = round.Centre();
    round.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x + 20, c.y));
    EXPECT_EQ(25, round.GetPos());
    round.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y + 20));
    round.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y + 20));
    EXPECT_EQ(50, round.GetPos());
    EXPECT_EQ((std::vector<UINT>{TB_THUMBTRACK, TB_THUMBTRACK, TB_THUMBPOSITION}), dlg.scroll_codes);
    EXPECT_EQ((std::vector<int>{25, 50, 50}), dlg.scroll_positions);
    EXPECT_NE(round.m_hWnd, ::GetCapture());
    // The zero angle turns the circle.
    round.SetZeroAngle(90);
    round.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x + 20, c.y));
    round.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.x + 20, c.y));
    EXPECT_EQ(0, round.GetPos());
}

TEST_F(OthersTest, ProgressAnimatesOnItsOwnTimerOnly) {
    CSkinProgressCtrl& p = dlg.progress;
    p.SetRange32(5, 5);  // no range: an empty bar, painted without a division
    p.RedrawWindow();
    EXPECT_EQ(0, p.GetPhase());
    p.SendMessage(WM_TIMER, 7);
    EXPECT_EQ(0, p.GetPhase());
    for (int i = 0; i < 21; ++i) p.SendMessage(WM_TIMER, CSkinProgressCtrl::kTimerId);
    EXPECT_EQ(1, p.GetPhase());  // 21 ticks, wrapping after 19
    p.KillTimer(CSkinProgressCtrl::kTimerId);
    p.SetBarColour(0xE03010);
    EXPECT_EQ(0xE06343u, p.Shades().up51);
}

TEST_F(OthersTest, ReadOutTextAndColours) {
    CColorStatic& r = dlg.readout;
    EXPECT_STREQ("0", r.GetText());
    r.SetText("12:05");
    EXPECT_STREQ("12:05", r.GetText());
    r.SetBkColor((COLORREF)-1);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), r.GetBkColor());
    r.SetTextColor(0x30F060);
    EXPECT_EQ(RGB(0x60 / 3, 0xF0 / 3, 0x30 / 3), r.GetUnlitColor());
    r.SetUnlitColor(0x010101);
    EXPECT_EQ(0x010101u, r.GetUnlitColor());
    r.RedrawWindow();
}

}  // namespace
