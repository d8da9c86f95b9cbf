// Framework support the skinned controls rely on: run-time classes, insertion points, scroll limits,
// message boxes and shell launches through the seams, registered window classes, bitmaps in the
// system's colours, and owner-draw measuring that arrives before a control is subclassed.
#include "tests/support/gtest_winelib.h"
#include "afxwin.h"
#include "plumbing_res.h"
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

class CDerivedMenu : public CMenu {
    DECLARE_DYNAMIC(CDerivedMenu)
};
IMPLEMENT_DYNAMIC(CDerivedMenu, CMenu)

TEST(AfxSupport, RuntimeClassesFollowTheirBases) {
    CDerivedMenu derived;
    CMenu plain;
    EXPECT_TRUE(derived.IsKindOf(RUNTIME_CLASS(CDerivedMenu)));
    EXPECT_TRUE(derived.IsKindOf(RUNTIME_CLASS(CMenu)));
    EXPECT_TRUE(derived.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CDerivedMenu)));
    EXPECT_FALSE(derived.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_STREQ("CDerivedMenu", derived.GetRuntimeClass()->m_lpszClassName);
    CDialog dlg;
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    // A menu found by handle tells a derived object from a temporary wrapper.
    ASSERT_TRUE(derived.CreatePopupMenu());
    EXPECT_TRUE(CMenu::FromHandle(derived.m_hMenu)->IsKindOf(RUNTIME_CLASS(CDerivedMenu)));
    HMENU loose = CreatePopupMenu();
    EXPECT_FALSE(CMenu::FromHandle(loose)->IsKindOf(RUNTIME_CLASS(CDerivedMenu)));
    DestroyMenu(loose);
    AfxFreeTempMaps();
}

struct Recorded {
    std::vector<std::string> lines;
};

int record_box(HWND, const char* text, const char* caption, UINT, void* context) {
    static_cast<Recorded*>(context)->lines.push_back(std::string(caption) + "|" + text);
    return IDYES;
}

BOOL record_launch(const char* verb, const char* target, const char* params, void* context) {
    static_cast<Recorded*>(context)->lines.push_back(std::string(verb) + "|" + target + "|" + (params ? params : ""));
    return TRUE;
}

TEST(AfxSupport, WindowHelpersAndMessageBoxThroughTheSeam) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "helpers", WS_POPUP | WS_VSCROLL, 0, 0, 100, 100, nullptr, nullptr));
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    wnd.SetScrollInfo(SB_VERT, &info);
    EXPECT_EQ(91, wnd.GetScrollLimit(SB_VERT));  // 100 - (10 - 1)
    EXPECT_TRUE(wnd.SetWindowPos(&CWnd::wndTop, 5, 6, 50, 40, SWP_NOACTIVATE));
    CRect r;
    wnd.GetWindowRect(&r);
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(nullptr, CWnd::wndTop.m_hWnd);
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    wnd.SetOwner(&owner);
    EXPECT_EQ(owner.m_hWnd, wnd.GetOwner()->m_hWnd);
    Recorded rec;
    AfxSetModalHook(record_box, &rec);
    EXPECT_EQ(IDYES, wnd.MessageBox("问题", "标题", MB_YESNO));
    AfxSetModalHook(nullptr, nullptr);
    ASSERT_EQ(1u, rec.lines.size());
    EXPECT_EQ("标题|问题", rec.lines[0]);
    // The same class name for the same parameters, a new one for others.
    std::string first = AfxRegisterWndClass(CS_DBLCLKS);
    EXPECT_EQ(first, AfxRegisterWndClass(CS_DBLCLKS));
    EXPECT_NE(first, AfxRegisterWndClass(0));
    wnd.DestroyWindow();
    owner.DestroyWindow();
}

TEST(AfxSupport, ShellLaunchesPassTheSeam) {
    Recorded rec;
    AfxSetShellHook(record_launch, &rec);
    EXPECT_EQ((INT_PTR)33, (INT_PTR)AfxShellExecute(nullptr, "open", "http://www.delmora.example/", nullptr, nullptr, SW_SHOWNORMAL));
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = "mailto:support@delmora.example";
    info.nShow = SW_SHOWMAXIMIZED;
    EXPECT_TRUE(AfxShellExecuteEx(&info));
    EXPECT_GT(AfxWinExec("browser.exe page.htm", SW_SHOW), 31u);
    AfxSetShellHook(nullptr, nullptr);
    ASSERT_EQ(3u, rec.lines.size());
    EXPECT_EQ("open|http://www.delmora.example/|", rec.lines[0]);
    EXPECT_EQ("open|mailto:support@delmora.example|", rec.lines[1]);
    EXPECT_EQ("|browser.exe page.htm|", rec.lines[2]);
    // From outside: a log of targets, and nothing is launched.
    char log[MAX_PATH];
    GetTempPathA(sizeof log, log);
    std::string path = std::string(log) + "afx_shell_log.txt";
    DeleteFileA(path.c_str());
    char unix_path[4096];
    {
        // The log is written by the C runtime, which takes a Unix path.
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char* u = wine_get_unix_file_name(wide);
        ASSERT_NE(nullptr, u);
        lstrcpynA(unix_path, u, sizeof unix_path);
        HeapFree(GetProcessHeap(), 0, u);
    }
    setenv("TARMELO_SHELL_LOG", unix_path, 1);
    AfxShellExecute(nullptr, "open", "http://www.delmora.example/index.asp", "x=1", nullptr, SW_SHOWNORMAL);
    unsetenv("TARMELO_SHELL_LOG");
    std::ifstream in(unix_path);
    std::string line;
    ASSERT_TRUE((bool)std::getline(in, line));
    EXPECT_EQ("open\thttp://www.delmora.example/index.asp\tx=1", line);
}

TEST(AfxSupport, SysColourBitmapMapsTheButtonColours) {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(IDB_SYSCOLOURS), (LPCSTR)RT_BITMAP);
    ASSERT_NE(nullptr, res);
    HBITMAP bitmap = AfxLoadSysColorBitmap(module, res);
    ASSERT_NE(nullptr, bitmap);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), GetPixel(dc, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), GetPixel(dc, 1, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(dc, 2, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), GetPixel(dc, 3, 0));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 0, 1));  // other colours stay
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    EXPECT_EQ(nullptr, AfxLoadSysColorBitmap(module, nullptr));
}

// A combo box whose object measures its items 30 pixels high.
class CTallCombo : public CComboBox {
public:
    int measured = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
        ++measured;
        mis->itemHeight = 30;
    }
};

class CSupportDlg : public CDialog {
public:
    CSupportDlg() : CDialog(IDD_SUPPORT) {}
    CTallCombo combo;
protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_OD_COMBO, combo); }
};

TEST(AfxSupport, MeasureItemBeforeSubclassingReachesTheControl) {
    CSupportDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_SUPPORT));
    EXPECT_GT(dlg.combo.measured, 0);
    EXPECT_EQ(30, (int)dlg.combo.SendMessage(CB_GETITEMHEIGHT, 0));
    // The selection field takes the height too (Wine adds its edge to what it reports).
    EXPECT_GE((int)dlg.combo.SendMessage(CB_GETITEMHEIGHT, (WPARAM)-1), 30);
    dlg.DestroyWindow();
}

// A modeless dialog whose keys a foreign loop (no framework pump) must still hand to IsDialogMessage.
class CKeyDlg : public CDialog {
public:
    CKeyDlg() : CDialog(IDD_SUPPORT) {}
    int pretranslated = 0;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) ++pretranslated;
        return CDialog::PreTranslateMessage(msg);
    }
};

TEST(AfxSupport, ModelessDialogUnderAForeignLoopGetsItsKeys) {
    CKeyDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_SUPPORT));
    dlg.ShowWindow(SW_SHOW);
    HWND name = ::GetDlgItem(dlg.m_hWnd, IDC_NAME), count = ::GetDlgItem(dlg.m_hWnd, IDC_COUNT);
    ::SetForegroundWindow(dlg.m_hWnd);
    ::SetFocus(name);
    ASSERT_EQ(name, ::GetFocus());
    ::PostMessageA(name, WM_KEYDOWN, VK_TAB, 0);
    // A host's plain loop: no PreTranslateMessage walk of its own.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(1, dlg.pretranslated);
    EXPECT_EQ(count, ::GetFocus());  // Tab moved the focus: the dialog manager saw the key
    // The framework's own pump walks once, not twice.
    ::PostMessageA(count, WM_KEYDOWN, VK_TAB, 0);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) AfxPumpMessage();
    EXPECT_EQ(2, dlg.pretranslated);
    dlg.DestroyWindow();
}

}  // namespace
