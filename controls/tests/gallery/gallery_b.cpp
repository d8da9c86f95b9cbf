// The second control gallery: the skinned list with its header and bars, progress bars still and
// animated, sliders (enabled, disabled, held, standing), the read-out, three links and the round
// slider, in the variant of the module it is built into (the test program, or a library's test DLL).
#include "gallery_api.h"
#include "gallery_res.h"
#include "controls/link/LinkStatic.h"
#include "controls/list/SkinListCtrl.h"
#include "controls/progress/SkinProgressCtrl.h"
#include "controls/readout/ColorStatic.h"
#include "controls/skin/SkinDialog.h"
#include "controls/skin/SkinUiColour.h"
#include "controls/slider/RoundSliderCtrl.h"
#include "controls/slider/SkinSliderCtrl.h"
#ifdef GALLERY_LIBRARY
#include "skinlib/module/SkinlibModule.h"
#endif
#include <cstring>

namespace {

class CGalleryBDlg : public CSkinDialog {
public:
    CGalleryBDlg() : CSkinDialog(IDD_GALLERY_B) {}
    CSkinListCtrl list;
    CColorStatic readout;
    CLinkStatic links[3];
    CRoundSliderCtrl round;
    CSkinProgressCtrl progress[4];
    CSkinSliderCtrl sliders[4];
    bool sort_ascending = true;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_B_LIST, list);
        DDX_Control(dx, IDC_B_READOUT, readout);
        for (int i = 0; i < 3; ++i) DDX_Control(dx, IDC_B_LINK0 + i, links[i]);
        DDX_Control(dx, IDC_B_ROUND, round);
        for (int i = 0; i < 4; ++i) DDX_Control(dx, IDC_B_PROGRESS0 + i, progress[i]);
        for (int i = 0; i < 4; ++i) DDX_Control(dx, IDC_B_SLIDER0 + i, sliders[i]);
    }
    static void place(CWnd& w, RECT r) { w.MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    BOOL OnInitDialog() override {
        CSkinDialog::OnInitDialog();
        EnableEasyMove(FALSE);
        MoveWindow(0, 0, GalleryBLayout::kWidth, GalleryBLayout::kHeight);
        place(list, GalleryBLayout::list());
        list.m_nBandStyle = 21;
        list.m_crBand = color_lighten(skin_ui_color, 0x36);
        list.InsertColumn(0, "序号", LVCFMT_LEFT, 40);
        list.InsertColumn(1, "a caption far too long for its column", LVCFMT_LEFT, 70);
        list.InsertColumn(2, "类型", LVCFMT_LEFT, 90);
        const char* texts[3][3] = {{"2", "beta", "B"}, {"10", "alpha", "A"}, {"9", "gamma", "C"}};
        const COLORREF backs[3] = {0x3040C0, 0x30C040, 0xC04030};
        for (int row = 0; row < 3; ++row) {
            list.InsertItem(row, texts[row][0]);
            for (int c = 1; c < 3; ++c) list.CListCtrl::SetItemText(row, c, texts[row][c]);
            for (int c = 0; c < 3; ++c) list.SetItemBkColor(row, c, backs[(row + c) % 3], FALSE);
            list.SetItemTextColor(row, -1, 0xFFFFFF, FALSE);
        }
        list.CreateSkinScrollBars();

        place(readout, GalleryBLayout::readout());
        readout.SetBkColor(0x000000);
        readout.SetTextColor(0x20FF20);
        readout.SetText("12:05");
        for (int i = 0; i < 3; ++i) {
            place(links[i], GalleryBLayout::link(i));
            links[i].SetLinkTarget("http://www.delmora.example/");
            links[i].SetUnderlineMode(1);
        }
        links[2].SetVisited(TRUE);
        place(round, GalleryBLayout::round_slider());
        round.SetRange(0, 99);
        round.SetPos(25);

        const COLORREF bar = 0x2060C0;
        for (int i = 0; i < 4; ++i) {
            place(progress[i], GalleryBLayout::progress(i));
            progress[i].SetRange32(0, 100);
            progress[i].SetPos(40);
            progress[i].SetBarColour(bar);
        }
        for (int i : {1, 3}) {
            progress[i].m_bAnimated = TRUE;
            progress[i].SetTimer(CSkinProgressCtrl::kTimerId, 25);
        }
        for (int i = 0; i < 4; ++i) {
            place(sliders[i], GalleryBLayout::slider(i));
            sliders[i].SetRange(0, 100);
            sliders[i].SetPos(30);
            sliders[i].SetThumbColour(0x00FFFF);
            sliders[i].SetChannelColour(0xFF3737);
            sliders[i].SetSelectionColour(0x40A040);
        }
        sliders[0].SetSelection(20, 60);
        sliders[0].RedrawWindow();
        return TRUE;
    }
    afx_msg LRESULT OnSorted(WPARAM, LPARAM) { return 0; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGalleryBDlg, CSkinDialog)
    ON_MESSAGE(WM_SKINLIST_SORTED, OnSorted)
END_MESSAGE_MAP()

CGalleryBDlg* g_gallery_b = nullptr;

HWND open_b(int x, int y) {
#ifdef GALLERY_LIBRARY
    skinlib_select(strcmp(GALLERY_LIBRARY, "olumbra") == 0 ? skinlib::kOlumbra : skinlib::kBrisvane);
#endif
    g_gallery_b = new CGalleryBDlg;
    if (!g_gallery_b->Create(IDD_GALLERY_B)) return nullptr;
    g_gallery_b->SetWindowPos(&CWnd::wndTop, x, y, GalleryBLayout::kWidth, GalleryBLayout::kHeight, SWP_SHOWWINDOW);
    return g_gallery_b->m_hWnd;
}

void report_b(GalleryBReport* r) {
    memset(r, 0, sizeof *r);
    CGalleryBDlg* g = g_gallery_b;
    if (!g) return;
    r->dialog = g->m_hWnd;
    r->list = g->list.m_hWnd;
    r->header = g->list.m_header.m_hWnd;
    r->hbar = g->list.m_hbar.m_hWnd;
    r->vbar = g->list.m_vbar.m_hWnd;
    r->readout = g->readout.m_hWnd;
    r->round_slider = g->round.m_hWnd;
    for (int i = 0; i < 3; ++i) {
        r->links[i] = g->links[i].m_hWnd;
        r->link_colour[i] = g->links[i].CurrentColour();
        r->link_hovering[i] = g->links[i].IsHovering();
        r->link_visited[i] = g->links[i].IsVisited();
        lstrcpynA(r->captions[i], g->list.m_header.DrawnCaption(i), sizeof r->captions[i]);
    }
    for (int i = 0; i < 4; ++i) {
        r->progress[i] = g->progress[i].m_hWnd;
        r->progress_phase[i] = g->progress[i].GetPhase();
        r->sliders[i] = g->sliders[i].m_hWnd;
    }
    r->list_band_style = g->list.m_nBandStyle;
    r->list_band_colour = g->list.m_crBand;
    r->ui_colour = skin_ui_color;
    r->list_paints_bands = g->list.Variant()->paints_bands;
    r->hbar_thumb = g->list.m_hbar.ThumbPosition();
    r->vbar_thumb = g->list.m_vbar.ThumbPosition();
    r->progress_colour = g->progress[0].GetBarColour();
    r->slider_thumb = g->sliders[0].Shades().thumb;
    r->slider_channel = g->sliders[0].Shades().channel;
    r->slider_selection = g->sliders[0].Shades().selection;
    r->readout_text = g->readout.GetTextColor();
    r->readout_back = g->readout.GetBkColor();
    r->readout_unlit = g->readout.GetUnlitColor();
    r->round_pos = g->round.GetPos();
}

int act_b(int action) {
    CGalleryBDlg* g = g_gallery_b;
    if (!g) return 0;
    switch (action) {
    case kGalleryStopAnimation:
        for (int i : {1, 3}) g->progress[i].KillTimer(CSkinProgressCtrl::kTimerId);
        return 1;
    case kGallerySortList:
        g->list.SortByColumn(0, g->sort_ascending);
        g->sort_ascending = !g->sort_ascending;
        return 1;
    case kGalleryHoverLink: {
        CRect r;
        g->links[1].GetWindowRect(&r);
        ::SetCursorPos(r.left + 5, r.top + 5);
        g->links[1].SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        return g->links[1].IsHovering();
    }
    case kGalleryHoldSlider: {
        CRect thumb;
        g->sliders[2].GetThumbRect(&thumb);
        CPoint c = thumb.CenterPoint();
        g->sliders[2].SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        g->sliders[2].RedrawWindow();
        return ::GetCapture() == g->sliders[2].m_hWnd;
    }
    case kGalleryReleaseSlider: {
        CRect thumb;
        g->sliders[2].GetThumbRect(&thumb);
        CPoint c = thumb.CenterPoint();
        g->sliders[2].SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
        g->sliders[2].RedrawWindow();
        return 1;
    }
    default:
        return 0;
    }
}

void close_b() {
    if (!g_gallery_b) return;
    g_gallery_b->DestroyWindow();
    delete g_gallery_b;
    g_gallery_b = nullptr;
}

}  // namespace

#ifdef GALLERY_LIBRARY
extern "C" {
HWND __cdecl gallery_b_open(int x, int y) { return open_b(x, y); }
void __cdecl gallery_b_report(GalleryBReport* r) { report_b(r); }
int __cdecl gallery_b_action(int action) { return act_b(action); }
void __cdecl gallery_b_close() { close_b(); }
}
#else
HWND program_gallery_b_open(int x, int y) { return open_b(x, y); }
void program_gallery_b_report(GalleryBReport* r) { report_b(r); }
int program_gallery_b_action(int action) { return act_b(action); }
void program_gallery_b_close() { close_b(); }
#endif
