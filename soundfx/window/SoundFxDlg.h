// The effects window of olumbra: a modeless, topmost skinned dialog with six pages on its tab control,
// a frame and caption painted from the library's bitmaps, a close box that hides it, and the level
// display below the pages.
#pragma once
#include "afxwin.h"
#include "controls/button/SkinButton.h"
#include "controls/label/SkinLabel.h"
#include "controls/link/LinkStatic.h"
#include "controls/skin/SkinDialog.h"
#include "controls/tab/BaseTabCtrl.h"
#include "soundfx/window/Pages.h"

// The level display: paints the engine's captured levels, double-buffered, when processing has
// invalidated it.
class CLevelDisplay : public CWnd {
protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};

class CSoundAboutPage : public CSkinDialog {
public:
    explicit CSoundAboutPage(CWnd* parent = nullptr) : CSkinDialog(3023, parent) {}
    void LayoutClose(bool shown);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnClose();
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    CLinkStatic m_link1, m_link2;
    CSkinLabel m_title, m_notice, m_line;
    CSkinButton m_close;
    HBRUSH m_brush = nullptr;
};

// The preset name the equaliser page saves under: not empty, not already in the table (ASCII case
// ignored), cut to 63 bytes at a whole character.
class CPresetSaveDlg : public CDialog {
public:
    CPresetSaveDlg(CWnd* parent, const char* current_name, const soundfx::EqPresetTable* presets);
    CString m_strName;
    int m_nSaved = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnSave();
    afx_msg void OnBack();
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    DECLARE_MESSAGE_MAP()

    CSkinButton m_save, m_back;
    const soundfx::EqPresetTable* m_pPresets;
};

class CSoundFxDlg : public CSkinDialog {
public:
    explicit CSoundFxDlg(CWnd* parent = nullptr);
    ~CSoundFxDlg() override;
    int RefreshPages();
    // The chain page's host buttons and the about page's close button by display mode; `from_setdisp`
    // for the layout that showing does (tolmmix_setdisp, tolmmix_init), else the mode's own.
    void LayoutButtons(bool from_setdisp);

    CEqualizerPage m_eqPage;
    CEffectsPage1 m_page1;
    CEffectsPage2 m_page2;
    CSoundChainPage m_chainPage;
    CSoundAboutPage m_aboutPage;
    CEffectsPage3 m_page3;
    CImageList m_images;
    CBaseTabCtrl m_tab;
    CLevelDisplay m_display;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Enter and Escape: Escape hides the window as the close box does; neither hides a page.
    void OnOK() override {}
    void OnCancel() override;
    void PostNcDestroy() override;
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    afx_msg LRESULT OnStep(WPARAM wp, LPARAM lp);
    afx_msg void OnMove(int x, int y);
    DECLARE_MESSAGE_MAP()

    void Hide();
};

// The skinned frame and caption of the library's windows (the effects window and the save dialog).
void olumbra_paint_frame(HWND wnd, HBITMAP tile_background);
