// The control gallery: one dialog with every skinned control of its module, in the module's variant.
// Built into the gallery test program (the program's variant) and into two test DLLs (GALLERY_LIBRARY
// "brisvane" or "olumbra"), which also draw their library's window frame.
#include "gallery_api.h"
#include "gallery_res.h"
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/menu/GlintMenu.h"
#include "controls/skin/SkinDialog.h"
#include "controls/tab/BaseTabCtrl.h"
#ifdef GALLERY_LIBRARY
#include "skinlib/frame/FrameSkin.h"
#include "skinlib/module/SkinlibModule.h"
#else
#include "controls/res/skin_res.h"
#include "controls/skin/SkinDraw.h"
#endif
#include <cstring>

namespace {

// The combo box remembers what it drew last, for the test to sample.
class CGalleryCombo : public CSkinComboBox {
public:
    RECT drawn{};
    UINT drawn_state = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        if ((int)dis->itemID == -1 || (dis->itemState & ODS_COMBOBOXEDIT)) {
            drawn = dis->rcItem;
            ::MapWindowPoints(dis->hwndItem, nullptr, (POINT*)&drawn, 2);
            drawn_state = dis->itemState;
        }
        CSkinComboBox::DrawItem(dis);
    }
};

class CGalleryDlg : public CSkinDialog {
public:
    CGalleryDlg() : CSkinDialog(IDD_GALLERY) {}
    CSkinButton faces[7], gradients[2], menu_button;
    CGalleryCombo combo;
    CSkinLabel bevel, shaded;
    CBaseTabCtrl tab;
    CDialog pages[2];

protected:
    void DoDataExchange(CDataExchange* dx) override {
        for (int i = 0; i < 7; ++i) DDX_Control(dx, IDC_FACE0 + i, faces[i]);
        DDX_Control(dx, IDC_GRADIENT_A, gradients[0]);
        DDX_Control(dx, IDC_GRADIENT_B, gradients[1]);
        DDX_Control(dx, IDC_G_COMBO, combo);
        DDX_Control(dx, IDC_BEVEL_LABEL, bevel);
        DDX_Control(dx, IDC_SHADED_LABEL, shaded);
        DDX_Control(dx, IDC_G_TAB, tab);
        DDX_Control(dx, IDC_G_MENU_BUTTON, menu_button);
    }
    static void place(CWnd& w, RECT r) { w.MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    BOOL OnInitDialog() override {
        CSkinDialog::OnInitDialog();
        EnableEasyMove(FALSE);
#ifndef GALLERY_LIBRARY
        SetBackBitmap(IDB_SKIN_BACKGROUND);
#endif
        for (int i = 0; i < 7; ++i) {
            faces[i].m_nNormalStyle = (BYTE)i;
            place(faces[i], GalleryLayout::face(i));
        }
        gradients[0].m_nNormalStyle = 8;
        gradients[1].m_nNormalStyle = 20;
        for (int i = 0; i < 2; ++i) place(gradients[i], GalleryLayout::gradient(i));
        gradients[1].SetTooltipText("提示");
        place(combo, GalleryLayout::combo());
        combo.AddString("");
        combo.AddString("第二项");
        combo.SetCurSel(0);
        bevel.m_nBackStyle = 1;
        bevel.SetBkColor(0x808000);
        place(bevel, GalleryLayout::bevel_label());
        shaded.m_nBackStyle = 21;
        shaded.SetBkColor(0x606080);
        place(shaded, GalleryLayout::shaded_label());
        place(tab, GalleryLayout::tab());
        tab.AddPage("页一", &pages[0], IDD_GALLERY_PAGE);
        tab.AddPage("页二", &pages[1], IDD_GALLERY_PAGE);
        tab.SetCurSel(0);
        place(menu_button, GalleryLayout::menu_button());
        menu_button.m_menu.LoadMenu(IDR_GALLERY_MENU);
        menu_button.m_hMenuOwner = m_hWnd;
        MoveWindow(0, 0, GalleryLayout::kWidth, GalleryLayout::kHeight);
        return TRUE;
    }
    afx_msg void OnPaint() {
        CPaintDC dc(this);
#ifdef GALLERY_LIBRARY
        RECT f = GalleryLayout::frame();
        skin_draw_frame(&dc, f.left, f.top, f.right - f.left, f.bottom - f.top, TRUE, 0);
#endif
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGalleryDlg, CSkinDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CGalleryDlg* g_gallery = nullptr;

#ifdef GALLERY_LIBRARY
const skinlib::LibraryVariant& library() {
    return strcmp(GALLERY_LIBRARY, "olumbra") == 0 ? skinlib::kOlumbra : skinlib::kBrisvane;
}
#endif

HWND open_gallery(int x, int y) {
#ifdef GALLERY_LIBRARY
    skinlib_select(library());
    skin_reload_bitmaps();
#else
    skin_set_scheme(1);
    skin_reload_bitmaps();
#endif
    g_gallery = new CGalleryDlg;
    if (!g_gallery->Create(IDD_GALLERY)) return nullptr;
#ifdef GALLERY_LIBRARY
    g_gallery->SetBackBitmap(library().frame.background);
#endif
    g_gallery->SetWindowPos(&CWnd::wndTop, x, y, GalleryLayout::kWidth, GalleryLayout::kHeight, SWP_SHOWWINDOW);
    return g_gallery->m_hWnd;
}

void report_gallery(GalleryReport* r) {
    memset(r, 0, sizeof *r);
#ifdef GALLERY_LIBRARY
    strncpy(r->variant, GALLERY_LIBRARY, sizeof r->variant - 1);
    r->frame_loaded = skin_frame_loaded();
#else
    strncpy(r->variant, "tarmelo", sizeof r->variant - 1);
    r->frame_loaded = skin_ready;
#endif
    r->module = AfxGetInstanceHandle();
    if (!g_gallery) return;
    r->dialog = g_gallery->m_hWnd;
    r->tip = g_gallery->gradients[1].m_tip.m_hWnd;
    r->menu_button = g_gallery->menu_button.m_hWnd;
    r->tab = g_gallery->tab.m_hWnd;
    r->combo = g_gallery->combo.m_hWnd;
    r->combo_text = g_gallery->combo.GetTextColour();
    r->combo_back = g_gallery->combo.GetBackColour();
    r->combo_select = g_gallery->combo.m_crSelect;
    r->combo_drawn = g_gallery->combo.drawn;
    r->combo_drawn_state = g_gallery->combo.drawn_state;
}

// Opens the menu button's popup in the classic or the flat look; a timer of this thread captures it
// and closes it.
struct Tracking {
    GalleryCapture capture;
    void* context;
    HMENU popup;
};
Tracking g_tracking;

void CALLBACK close_menu(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (g_tracking.capture) g_tracking.capture(g_gallery->menu_button.m_hWnd, g_tracking.popup, g_tracking.context);
    ::EndMenu();
}

UINT track_menu(int flat, GalleryCapture capture, void* context) {
    if (!g_gallery) return 0;
    GlintMenu::s_plainDrawMode = flat ? 1 : 0;
    g_tracking = {capture, context, ::GetSubMenu(g_gallery->menu_button.m_menu.m_hMenu, 0)};
    ::SetTimer(nullptr, 0, 500, close_menu);
    g_gallery->menu_button.SendMessage(BM_CLICK);
    GlintMenu::s_plainDrawMode = 0;
    return 1;
}

void close_gallery() {
    if (!g_gallery) return;
    g_gallery->DestroyWindow();
    delete g_gallery;
    g_gallery = nullptr;
}

#ifdef GALLERY_LIBRARY
int frame_without(unsigned missing_id) {
    // A frame skin one of whose bitmaps is missing is not loaded.
    skinlib::FrameIds ids = library().frame;
    if (ids.caption == missing_id) ids.caption = 4242;
    if (ids.left == missing_id) ids.left = 4242;
    if (ids.buttons[0] == missing_id) ids.buttons[0] = 4242;
    CFrameSkin skin(ids);
    skin.Reload();
    return skin.IsLoaded();
}
#endif

}  // namespace

#ifdef GALLERY_LIBRARY
extern "C" {
HWND __cdecl gallery_open(int x, int y) { return open_gallery(x, y); }
void __cdecl gallery_report(GalleryReport* r) { report_gallery(r); }
int __cdecl gallery_reload() { return skin_reload_bitmaps(); }
int __cdecl gallery_frame_without(unsigned missing_id) { return frame_without(missing_id); }
UINT __cdecl gallery_track_menu(int flat, GalleryCapture capture, void* context) { return track_menu(flat, capture, context); }
void __cdecl gallery_close() { close_gallery(); }
}
#else
// The program's gallery, called directly by the test.
HWND program_gallery_open(int x, int y) { return open_gallery(x, y); }
void program_gallery_report(GalleryReport* r) { report_gallery(r); }
int program_gallery_reload() { return skin_reload_bitmaps(); }
UINT program_gallery_track_menu(int flat, GalleryCapture capture, void* context) { return track_menu(flat, capture, context); }
void program_gallery_close() { close_gallery(); }
#endif
