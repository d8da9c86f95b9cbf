// The video dialog (dialog 195): a plain dialog made modeless and hidden at start-up, in which the
// video window module shows playback. It repaints itself whole when sized, and passes the playback
// thread's window steps (WM_VIDEO_WND_STEP) to the module until the module's procedure takes over.
#pragma once
#include "afxwin.h"

class CVideoWndDlg : public CDialog {
public:
    explicit CVideoWndDlg(CWnd* parent = nullptr);
    // Creates the dialog modeless and hidden, with a caption and a sizing frame, top-most at (0, 0)
    // with no size, and attaches it to the video window module.
    BOOL CreateHidden(CWnd* parent = nullptr);

protected:
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg LRESULT OnVideoWndStep(WPARAM wparam, LPARAM lparam);
    DECLARE_MESSAGE_MAP()
};
