// The UI colour dialog (203): four preset colours, a custom one and three trackbars. Modeless and
// hidden for the whole run; the main dialog's caption button shows and hides it. Every change is
// applied at once to the main window through WM_DLG_NOTIFY 8886.
#pragma once
#include "controls/button/SkinButton.h"
#include "controls/label/SkinLabel.h"
#include "controls/skin/SkinDialog.h"
#include "controls/slider/SkinSliderCtrl.h"

class CColorSetDlg : public CSkinDialog {
public:
    CColorSetDlg();
    bool m_bVisible = false;     // shown through the caption button
    HWND m_hMainWnd = nullptr;   // receives 8886
    COLORREF m_colours[5] = {};  // presets 0..3, custom

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override;
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnPreset0() { Choose(0); }
    afx_msg void OnPreset1() { Choose(1); }
    afx_msg void OnPreset2() { Choose(2); }
    afx_msg void OnPreset3() { Choose(3); }
    afx_msg void OnCustom() { Choose(4); }
    afx_msg void OnReleased(NMHDR* hdr, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    void Choose(int button);
    void Press(int button);
    void Sync();
    void Apply();
    void Hide();
    CSkinSliderCtrl m_sliders[3];
    CSkinLabel m_values[3];
    CSkinButton m_buttons[5];
};
