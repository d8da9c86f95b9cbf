// The main dialog of the converter.
#pragma once
#include "controls/skin/SkinDialog.h"
#include "engine/video/win32/video_wnd_dlg.h"

class CConverterDlg : public CSkinDialog {
public:
    explicit CConverterDlg(CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    // The skinned frame and caption buttons: painted after the default painting, hit-tested before it.
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    afx_msg void OnSysCommand(UINT id, LPARAM lp);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnAbout();
    afx_msg void OnExit();
    DECLARE_MESSAGE_MAP()

    HICON m_hIcon;
    // The video dialog, made modeless and hidden at start-up; playback shows pictures in it.
    CVideoWndDlg m_videoWnd;
};
