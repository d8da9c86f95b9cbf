// The effect panel: a modeless topmost skinned dialog holding the six pages in a tab control. Its
// timer marks that the next frame should be previewed; a click on a tab decides which page previews.
#pragma once
#include <atomic>
#include "controls/skin/SkinDialog.h"
#include "controls/tab/BaseTabCtrl.h"
#include "videofx/panel/EffectChainDlg.h"
#include "videofx/panel/EffectParamDlg.h"
#include "videofx/panel/EffectRegionDlg.h"
#include "videofx/panel/PictureOverlayDlg.h"
#include "videofx/panel/TextOverlayDlg.h"
#include "videofx/panel/VideoAboutPage.h"

class CVideoEffectDlg : public CSkinDialog {
public:
    explicit CVideoEffectDlg(CWnd* parent = nullptr);
    BOOL OnInitDialog() override;

    // The window steps of the exports (panel thread).
    void ResetControls();
    void ShowFitted(uint32_t records);
    void SetVideoSizes();
    // Every control from the table (after a project was opened).
    void ControlsFromTable();
    // With the table's lock held (frame thread): the frame to the first page whose preview is active.
    void HandPreview(int width, int height, const uint8_t* frame);

    CEffectChainDlg m_chain;
    CEffectParamDlg m_params;
    CEffectRegionDlg m_region;
    CVideoAboutPage m_about;
    CPictureOverlayDlg m_picture;
    CTextOverlayDlg m_text;
    CImageList m_images;
    std::atomic<uint8_t> m_bRefreshPreview{0};
    CBaseTabCtrl m_tab;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT DefWindowProc(UINT message, WPARAM wp, LPARAM lp) override;
    void OnOK() override {}
    void OnCancel() override;
    void PostNcDestroy() override;
    afx_msg void OnClickTab(NMHDR* hdr, LRESULT* result);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg LRESULT OnPanelStep(WPARAM step, LPARAM arg);
    DECLARE_MESSAGE_MAP()

private:
    void PaintFrame();
    bool m_bDeleteOnDestroy = false;
};
