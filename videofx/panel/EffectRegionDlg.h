// The region page: for one effect at a time, the whole frame or a rectangle drawn on a preview of
// the current frame.
#pragma once
#include <atomic>
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/skin/SkinDialog.h"
#include "videofx/panel/mypicscrollview.h"

class CEffectRegionDlg : public CSkinDialog {
public:
    CEffectRegionDlg() = default;
    BOOL OnInitDialog() override;
    // Adopts the table's frame size in the view (panel thread).
    void SetVideoSize();
    // With the table's lock held (frame thread): the frame into the view.
    void SetPreviewFrame(int width, int height, const uint8_t* frame);

    // Combo item of a record and back.
    static int ItemOfSlot(int slot) { return slot > 9 ? slot - 2 : slot; }
    static int SlotOfItem(int item) { return item > 9 ? item + 2 : item; }

    int m_nSlot = 0;
    mypicscrollview* m_pView = nullptr;
    std::atomic<uint8_t> m_bPreviewActive{0};
    CSkinComboBox m_effect;
    CSkinButton m_whole, m_rect;
    CSkinLabel m_status, m_regionText;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg void OnWholeFrame();
    afx_msg void OnRegion();
    afx_msg void OnSelectEffect();
    afx_msg LRESULT OnViewNotify(WPARAM code, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void HandView();
    void ShowStatus();
    void ShowRegionText(bool long_form);
};
