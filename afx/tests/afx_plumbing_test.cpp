// The framework's plumbing in one dialog: reflection of owner-draw, custom-draw, command and colour
// messages to the controls, the PreTranslateMessage walk in modal and modeless loops, dialog data
// exchange, a worker thread's SendMessage, owner-drawn menu items and the GDI wrappers.
#include "tests/support/gtest_winelib.h"
#include "afxwin.h"
#include "afx/src/afximpl.h"
#include "plumbing_res.h"
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const UINT WM_APP_RUN = WM_APP + 1;
const UINT WM_APP_ASK = WM_APP + 2;
const UINT WM_APP_AFTER_KEY = WM_APP + 3;
const UINT WM_APP_THREAD_DONE = WM_APP + 4;
const UINT WM_APP_MARK = WM_APP + 5;
const UINT_PTR kSafetyTimer = 99;

struct Record {
    int draw_items = 0;
    HWND drawn = nullptr, owner_draw = nullptr;
    int list_prepaint = 0, list_item_prepaint = 0, parent_custom_draw = 0;
    int ex_reflected = 0, ex_parent = 0, plain_reflected = 0, plain_parent = 0;
    BOOL ex_stops = FALSE;
    int label_colour = 0;
    int edit_keys = 0;
    bool marked = false;
    std::string shown_name, shown_count;
    int shown_check = -1, shown_combo = -1, shown_radio_b = -1;
    BOOL saved = FALSE, bad_number_saved = TRUE;
    CString saved_name;
    int saved_count = 0, saved_check = -1, saved_combo = -1, saved_radio = -1;
    std::vector<std::string> boxes;
    LRESULT answer = 0;
    DWORD ui_thread = 0, asked_on = 0, worker = 0;
    int menu_measured = 0, menu_drawn = 0;
};

class COwnerDrawButton : public CButton {
public:
    Record* rec = nullptr;
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        ++rec->draw_items;
        rec->drawn = dis->hwndItem;
        ::FillRect(dis->hDC, &dis->rcItem, (HBRUSH)::GetStockObject(GRAY_BRUSH));
    }
};

class CReflectingList : public CListCtrl {
public:
    Record* rec = nullptr;
protected:
    afx_msg void OnCustomDraw(NMHDR* hdr, LRESULT* result) {
        NMLVCUSTOMDRAW* cd = (NMLVCUSTOMDRAW*)hdr;
        *result = CDRF_DODEFAULT;
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            ++rec->list_prepaint;
            *result = CDRF_NOTIFYITEMDRAW;
        } else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            ++rec->list_item_prepaint;
        }
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectingList, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

class CExButton : public CButton {
public:
    Record* rec = nullptr;
protected:
    afx_msg BOOL OnClicked() {
        ++rec->ex_reflected;
        return rec->ex_stops;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CExButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CPlainButton : public CButton {
public:
    Record* rec = nullptr;
protected:
    afx_msg void OnClicked() { ++rec->plain_reflected; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPlainButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CColourLabel : public CStatic {
public:
    Record* rec = nullptr;
    CBrush brush{RGB(10, 200, 30)};
    HBRUSH CtlColor(CDC* dc, UINT) {
        ++rec->label_colour;
        dc->SetBkMode(TRANSPARENT);
        return brush;
    }
protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CColourLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CKeyEdit : public CEdit {
public:
    Record* rec = nullptr;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_F5) {
            ++rec->edit_keys;
            return TRUE;
        }
        return FALSE;
    }
};

class CPlumbingDlg : public CDialog {
public:
    CPlumbingDlg(Record& rec, bool scripted) : CDialog(IDD_PLUMBING), m_rec(rec), m_scripted(scripted) {
        m_ownerDraw.rec = m_list.rec = m_exButton.rec = m_plainButton.rec = m_label.rec = m_nameEdit.rec = &rec;
    }
    COwnerDrawButton m_ownerDraw;
    CReflectingList m_list;
    CExButton m_exButton;
    CPlainButton m_plainButton;
    CColourLabel m_label;
    CKeyEdit m_nameEdit;
    CString m_name;
    int m_count = 0, m_check = 0, m_combo = 0, m_radio = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_OWNERDRAW, m_ownerDraw);
        DDX_Control(dx, IDC_LIST, m_list);
        DDX_Control(dx, IDC_REFLECT_EX, m_exButton);
        DDX_Control(dx, IDC_REFLECT_PLAIN, m_plainButton);
        DDX_Control(dx, IDC_LABEL, m_label);
        DDX_Control(dx, IDC_NAME, m_nameEdit);
        DDX_Text(dx, IDC_NAME, m_name);
        DDX_Text(dx, IDC_COUNT, m_count);
        DDX_Check(dx, IDC_CHECK, m_check);
        DDX_CBIndex(dx, IDC_COMBO, m_combo);
        DDX_Radio(dx, IDC_RADIO1, m_radio);
    }

    BOOL OnInitDialog() override {
        for (const char* item : {"零", "一", "二"}) SendDlgItemMessage(IDC_COMBO, CB_ADDSTRING, 0, (LPARAM)item);
        CDialog::OnInitDialog();
        m_list.InsertColumn(0, "名称", LVCFMT_LEFT, 120);
        for (int i = 0; i < 3; ++i) m_list.InsertItem(i, "行");
        m_rec.ui_thread = GetCurrentThreadId();
        if (m_scripted) {
            SetTimer(kSafetyTimer, 20000);
            PostMessage(WM_APP_RUN);
        }
        return TRUE;
    }

    afx_msg void OnExParent() { ++m_rec.ex_parent; }
    afx_msg void OnPlainParent() { ++m_rec.plain_parent; }
    afx_msg void OnParentCustomDraw(NMHDR*, LRESULT* result) {
        ++m_rec.parent_custom_draw;
        *result = CDRF_DODEFAULT;
    }
    afx_msg void OnTimer(UINT_PTR id) {
        if (id == kSafetyTimer) EndDialog(IDABORT);
    }

    afx_msg LRESULT OnRun(WPARAM, LPARAM) {
        m_rec.owner_draw = m_ownerDraw.m_hWnd;
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
        m_exButton.SendMessage(BM_CLICK);
        m_rec.ex_stops = TRUE;
        m_exButton.SendMessage(BM_CLICK);
        m_plainButton.SendMessage(BM_CLICK);

        // What UpdateData(FALSE) put into the controls.
        CString text;
        GetDlgItemText(IDC_NAME, text);
        m_rec.shown_name = text.GetString();
        GetDlgItemText(IDC_COUNT, text);
        m_rec.shown_count = text.GetString();
        m_rec.shown_check = (int)IsDlgButtonChecked(IDC_CHECK);
        m_rec.shown_combo = (int)SendDlgItemMessage(IDC_COMBO, CB_GETCURSEL);
        m_rec.shown_radio_b = (int)IsDlgButtonChecked(IDC_RADIO2);
        // And back.
        SetDlgItemText(IDC_NAME, "改过");
        SetDlgItemText(IDC_COUNT, "17");
        CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
        SendDlgItemMessage(IDC_COMBO, CB_SETCURSEL, 0);
        CheckRadioButton(IDC_RADIO1, IDC_RADIO3, IDC_RADIO3);
        m_rec.saved = UpdateData(TRUE);
        m_rec.saved_name = m_name;
        m_rec.saved_count = m_count;
        m_rec.saved_check = m_check;
        m_rec.saved_combo = m_combo;
        m_rec.saved_radio = m_radio;
        SetDlgItemText(IDC_COUNT, "x12");
        m_rec.bad_number_saved = UpdateData(TRUE);

        // A key for the child goes through the modal loop's PreTranslateMessage walk.
        ::PostMessageA(m_nameEdit.m_hWnd, WM_KEYDOWN, VK_F5, 0);
        PostMessage(WM_APP_AFTER_KEY);
        return 0;
    }

    static UINT Ask(LPVOID param) {
        CPlumbingDlg* dlg = static_cast<CPlumbingDlg*>(param);
        dlg->m_rec.worker = GetCurrentThreadId();
        dlg->m_rec.answer = ::SendMessageA(dlg->m_hWnd, WM_APP_ASK, 6, 7);
        ::PostMessageA(dlg->m_hWnd, WM_APP_THREAD_DONE, 0, 0);
        return 0;
    }
    afx_msg LRESULT OnAfterKey(WPARAM, LPARAM) {
        if (!AfxBeginThread(Ask, this)) EndDialog(IDABORT);
        return 0;
    }
    afx_msg LRESULT OnAsk(WPARAM wp, LPARAM lp) {
        m_rec.asked_on = GetCurrentThreadId();
        return (LRESULT)(wp * lp);
    }
    afx_msg LRESULT OnThreadDone(WPARAM, LPARAM) {
        EndDialog(IDOK);
        return 0;
    }
    afx_msg LRESULT OnMark(WPARAM, LPARAM) {
        m_rec.marked = true;
        return 0;
    }
    DECLARE_MESSAGE_MAP()

    Record& m_rec;
    bool m_scripted;
};

BEGIN_MESSAGE_MAP(CPlumbingDlg, CDialog)
    ON_BN_CLICKED(IDC_REFLECT_EX, OnExParent)
    ON_BN_CLICKED(IDC_REFLECT_PLAIN, OnPlainParent)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_LIST, OnParentCustomDraw)
    ON_WM_TIMER()
    ON_MESSAGE(WM_APP_RUN, OnRun)
    ON_MESSAGE(WM_APP_ASK, OnAsk)
    ON_MESSAGE(WM_APP_AFTER_KEY, OnAfterKey)
    ON_MESSAGE(WM_APP_THREAD_DONE, OnThreadDone)
    ON_MESSAGE(WM_APP_MARK, OnMark)
END_MESSAGE_MAP()

int RecordBox(HWND, const char* text, const char*, UINT, void* context) {
    static_cast<Record*>(context)->boxes.push_back(text ? text : "");
    return IDOK;
}

TEST(AfxPlumbing, ModalDialogReflectsExchangesAndAnswersAWorker) {
    Record rec;
    AfxSetModalHook(RecordBox, &rec);
    CPlumbingDlg dlg(rec, true);
    dlg.m_name = "你好";
    dlg.m_count = 42;
    dlg.m_check = 1;
    dlg.m_combo = 2;
    dlg.m_radio = 1;
    EXPECT_EQ(IDOK, dlg.DoModal());
    AfxSetModalHook(nullptr, nullptr);

    // Owner-draw button subclassed through DDX_Control: DrawItem by reflection.
    EXPECT_GE(rec.draw_items, 1);
    EXPECT_EQ(rec.owner_draw, rec.drawn);
    // NM_CUSTOMDRAW reflected to the list object; the plain reflection keeps it from the parent.
    EXPECT_GE(rec.list_prepaint, 1);
    EXPECT_GE(rec.list_item_prepaint, 3);
    EXPECT_EQ(0, rec.parent_custom_draw);
    // BN_CLICKED: the _EX handler returning FALSE lets the parent handle it too; TRUE stops it.
    EXPECT_EQ(2, rec.ex_reflected);
    EXPECT_EQ(1, rec.ex_parent);
    EXPECT_EQ(1, rec.plain_reflected);
    EXPECT_EQ(0, rec.plain_parent);
    // WM_CTLCOLORSTATIC reflected to the label.
    EXPECT_GE(rec.label_colour, 1);
    // The child's PreTranslateMessage ran in DoModal's loop.
    EXPECT_EQ(1, rec.edit_keys);
    // UpdateData both ways.
    EXPECT_EQ("你好", rec.shown_name);
    EXPECT_EQ("42", rec.shown_count);
    EXPECT_EQ(1, rec.shown_check);
    EXPECT_EQ(2, rec.shown_combo);
    EXPECT_EQ(1, rec.shown_radio_b);
    EXPECT_TRUE(rec.saved);
    EXPECT_STREQ("改过", rec.saved_name);
    EXPECT_EQ(17, rec.saved_count);
    EXPECT_EQ(0, rec.saved_check);
    EXPECT_EQ(0, rec.saved_combo);
    EXPECT_EQ(2, rec.saved_radio);
    EXPECT_FALSE(rec.bad_number_saved);
    ASSERT_EQ(1u, rec.boxes.size());
    EXPECT_EQ("请输入一个数字。", rec.boxes[0]);
    // The worker's SendMessage was answered on the UI thread.
    EXPECT_EQ(42, rec.answer);
    EXPECT_EQ(rec.ui_thread, rec.asked_on);
    EXPECT_NE(rec.ui_thread, rec.worker);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(rec.owner_draw));
}

class COwnerDrawnMenu : public CMenu {
public:
    Record* rec = nullptr;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
        ++rec->menu_measured;
        mis->itemHeight = 20;
    }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++rec->menu_drawn; }
};

TEST(AfxPlumbing, ModelessDialogRunsTheChildsPreTranslateMessageAndMenuItems) {
    Record rec;
    CPlumbingDlg dlg(rec, false);
    ASSERT_TRUE(dlg.Create(IDD_PLUMBING));
    dlg.ShowWindow(SW_SHOW);
    ::PostMessageA(dlg.m_nameEdit.m_hWnd, WM_KEYDOWN, VK_F5, 0);
    dlg.PostMessage(WM_APP_MARK);
    for (int i = 0; i < 10000 && !rec.marked; ++i) ASSERT_TRUE(AfxPumpMessage());
    EXPECT_EQ(1, rec.edit_keys);

    COwnerDrawnMenu menu;
    menu.rec = &rec;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendMenu(MF_OWNERDRAW, 555, (const char*)nullptr));
    EXPECT_EQ(&menu, CMenu::FromHandlePermanent(menu.m_hMenu));
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = 555;
    EXPECT_TRUE(dlg.SendMessage(WM_MEASUREITEM, 0, (LPARAM)&mis));
    EXPECT_EQ(20u, mis.itemHeight);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = 555;
    dis.hwndItem = (HWND)menu.m_hMenu;
    dlg.SendMessage(WM_DRAWITEM, 0, (LPARAM)&dis);
    EXPECT_EQ(1, rec.menu_measured);
    EXPECT_EQ(1, rec.menu_drawn);
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

// A modal dialog that ends itself once its loop has gone idle: a timer message comes only when
// nothing else waits, and the second one only after the loop has found the queue empty.
class CIdleEndingDlg : public CDialog {
public:
    CIdleEndingDlg() : CDialog(IDD_PLUMBING) {}
protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetTimer(1, 20);
        return TRUE;
    }
    afx_msg void OnTimer(UINT_PTR) {
        if (++m_ticks == 2) EndDialog(IDOK);
    }
    int m_ticks = 0;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CIdleEndingDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// A handler that holds a temporary wrapper across a nested modal loop and across another object
// attaching the same window, as MFC code does (GetDlgItem, then DoModal or SubclassDlgItem).
class CWrapperHolder : public CWnd {
public:
    HWND other = nullptr;
    bool kept_across_modal = false, kept_across_attach = false, permanent_found = false;
protected:
    bool still_temporary(CWnd* temp) const {
        auto it = AfxTemp().windows.find(other);
        return it != AfxTemp().windows.end() && it->second.get() == temp;
    }
    afx_msg LRESULT OnHold(WPARAM, LPARAM) {
        CWnd* temp = CWnd::FromHandle(other);
        CIdleEndingDlg nested;
        nested.DoModal();
        kept_across_modal = still_temporary(temp);
        CWnd permanent;
        permanent.Attach(other);
        permanent_found = CWnd::FromHandle(other) == &permanent;
        kept_across_attach = still_temporary(temp);
        permanent.Detach();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CWrapperHolder, CWnd)
    ON_MESSAGE(WM_APP_MARK, OnHold)
END_MESSAGE_MAP()

TEST(AfxHandleMap, TemporaryWrappersLiveUntilTheThreadIsIdle) {
    CWrapperHolder holder;
    ASSERT_TRUE(holder.CreateEx(0, "STATIC", "holder", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    holder.other = other;
    holder.SendMessage(WM_APP_MARK);
    EXPECT_TRUE(holder.kept_across_modal);
    EXPECT_TRUE(holder.permanent_found);
    EXPECT_TRUE(holder.kept_across_attach);
    // The outermost loop still frees them once the queue is empty.
    holder.PostMessage(WM_NULL);
    MSG waiting;
    while (AfxPumpMessage() && ::PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
    }
    EXPECT_EQ(0u, AfxTemp().windows.count(other));
    ::DestroyWindow(other);
}

class CThrowingWnd : public CWnd {
protected:
    void PreSubclassWindow() override { throw std::runtime_error("refused"); }
};

TEST(AfxHandleMap, AnExceptionWhileSubclassingANewWindowFailsTheCreation) {
    CThrowingWnd refused;
    EXPECT_FALSE(refused.CreateEx(0, "STATIC", "refused", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(nullptr, refused.m_hWnd);
    EXPECT_EQ(nullptr, ::FindWindowA("STATIC", "refused"));
    CWnd after;
    ASSERT_TRUE(after.CreateEx(0, "STATIC", "after", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(&after, CWnd::FromHandlePermanent(after.m_hWnd));
}

TEST(AfxString, SearchesSkipTrailBytesOfDoubleByteCharacters) {
    // "乗" is 0x81 0x5C in GBK: its trail byte is a backslash.
    const CString path = "D:\\乗\\a乗.txt";
    ASSERT_EQ(0x5C, (BYTE)path[4]);
    EXPECT_EQ(5, path.ReverseFind('\\'));
    EXPECT_EQ(5, path.Find('\\', 3));
    EXPECT_EQ(-1, path.Find("\\."));
    EXPECT_EQ(5, path.Find("\\a"));
    EXPECT_STREQ("D:\\乗", path.Left(path.ReverseFind('\\')));
    CString slashed = path;
    EXPECT_EQ(2, slashed.Replace("\\", "/"));
    EXPECT_STREQ("D:/乗/a乗.txt", slashed);
    EXPECT_EQ(-1, CString("乗").Find('\\'));
}

TEST(AfxGdi, SelectObjectHandsBackThePreviousObjectAndOwnersDeleteTheirHandles) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    HGDIOBJ stock_pen = ::GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ pen_handle;
    {
        CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
        pen_handle = pen.m_hObject;
        CPen* old = dc.SelectObject(&pen);
        ASSERT_NE(nullptr, old);
        EXPECT_EQ(stock_pen, old->m_hObject);
        EXPECT_EQ(pen_handle, ::GetCurrentObject(dc, OBJ_PEN));
        dc.SelectObject(old);
        AfxFreeTempMaps();
        EXPECT_EQ((DWORD)OBJ_PEN, ::GetObjectType(stock_pen));  // the temporary wrapper deleted nothing
    }
    EXPECT_EQ(0u, ::GetObjectType(pen_handle));  // the owner deleted its pen

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 7, 5));
    EXPECT_EQ(CSize(7, 5), bitmap.GetSize());
    CBrush brush(RGB(9, 8, 7));
    LOGBRUSH lb{};
    ASSERT_TRUE(brush.GetLogBrush(&lb));
    EXPECT_EQ(RGB(9, 8, 7), lb.lbColor);
    CRgn a, b, both;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgn(20, 0, 30, 10));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(COMPLEXREGION, both.CombineRgn(&a, &b, RGN_OR));
    EXPECT_TRUE(both.PtInRegion(25, 5));
    EXPECT_FALSE(both.PtInRegion(15, 5));
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "宋体"));
    LOGFONTA lf{};
    ASSERT_TRUE(font.GetLogFont(&lf));
    EXPECT_LT(lf.lfHeight, 0);
}

}  // namespace
