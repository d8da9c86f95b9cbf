// The parameter page: one slider and value label per numeric effect parameter and the modes of the
// two transitions. A moved slider writes its byte into the effect table at once.
#pragma once
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/skin/SkinDialog.h"
#include "controls/slider/SkinSliderCtrl.h"

class CEffectParamDlg : public CSkinDialog {
public:
    static constexpr int kSliderCount = 13;
    struct SliderInfo {
        int slider, label, effect, param, max, band_low, band_high, first;
        COLORREF thumb, selection, channel;
    };
    static const SliderInfo kSliders[kSliderCount];

    CEffectParamDlg() = default;
    BOOL OnInitDialog() override;
    // Every control from the table's records.
    void ControlsFromTable();
    // Every slider and label at its effect's reset value, the modes at 0.
    void ResetControls();

    CSkinSliderCtrl m_sliders[kSliderCount];
    CSkinLabel m_labels[kSliderCount];
    CSkinComboBox m_blindsMode, m_expandMode;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* bar);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg void OnBlindsMode();
    afx_msg void OnExpandMode();
    DECLARE_MESSAGE_MAP()

private:
    void Show(int index, int value);
};
