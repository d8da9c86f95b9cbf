// The picture page: loads a BMP, JPEG or GIF picture into effect 11's record, chooses its placement
// in the effect's rectangle, picks a key colour from the picture with a tolerance, and positions the
// rectangle on a preview of the frame.
#pragma once
#include <atomic>
#include <string>
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/skin/SkinDialog.h"
#include "controls/slider/SkinSliderCtrl.h"
#include "videofx/panel/mypicscrollview.h"

class CPictureOverlayDlg : public CSkinDialog {
public:
    CPictureOverlayDlg() = default;
    BOOL OnInitDialog() override;

    // 1 JPEG, 2 GIF, 3 BMP on success; -5 path shorter than 4 characters, -1 unreadable or not
    // decodable, -2 fewer than 16 bytes, -3 unrecognised. The old picture stays on failure.
    int LoadPicture(const char* path);
    // The overlay picture from the loaded picture, the placement and the rectangle.
    void BuildOverlay();
    void SetVideoSize();
    void SetPreviewFrame(int width, int height, const uint8_t* frame);
    // After a project was opened: key, tolerance, placement and overlay from the record.
    void RefreshFromSlot();
    void CreatePreviewView();

    std::atomic<uint8_t> m_bPreviewActive{0};
    std::atomic<bool> m_pictureLoaded{false};
    uint8_t m_keyed = 0;
    int m_placement = 0;
    int m_tolerance = 0;
    int m_keyRed = 0, m_keyGreen = 0, m_keyBlue = 0;
    int m_lowRed = 0, m_lowGreen = 0, m_lowBlue = 0, m_highRed = 0, m_highGreen = 0, m_highBlue = 0;
    std::atomic<uint8_t> m_showPosition{1};
    mypicscrollview* m_pView = nullptr;
    CSkinButton m_choose, m_keyCheck, m_position, m_pictureMode;
    CSkinComboBox m_placementCombo;
    CSkinSliderCtrl m_toleranceSlider;
    CSkinLabel m_keyLabel, m_status;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnShowPosition();
    afx_msg void OnShowPicture();
    afx_msg void OnChoosePicture();
    afx_msg void OnPlacementChange();
    afx_msg void OnKeyColourCheck();
    afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* bar);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg LRESULT OnViewNotify(WPARAM code, LPARAM lp);
    DECLARE_MESSAGE_MAP()

private:
    void ShowStatus(bool with_colons);
    void ComputeBounds();
    void ApplyMode();
    void PositionPreview();
    void PictureDisplay();
};
