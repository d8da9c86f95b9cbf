#include "video_wnd_dlg.h"
#include "engine/video/video_wnd.h"
#include "engine/video/win32/video_wnd_res.h"

CVideoWndDlg::CVideoWndDlg(CWnd* parent) : CDialog(IDD_VIDEO_WND, parent) {}

BOOL CVideoWndDlg::CreateHidden(CWnd* parent) {
    if (!Create(IDD_VIDEO_WND, parent)) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, WS_CAPTION | WS_THICKFRAME);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_FRAMECHANGED);
    video_wnd_attach(m_hWnd);
    return TRUE;
}

void CVideoWndDlg::OnSize(UINT, int, int) {
    Default();
    Invalidate(TRUE);
}

LRESULT CVideoWndDlg::OnVideoWndStep(WPARAM wparam, LPARAM lparam) { return video_wnd_handle_step(wparam, lparam); }

BEGIN_MESSAGE_MAP(CVideoWndDlg, CDialog)
    ON_WM_SIZE()
    ON_MESSAGE(WM_VIDEO_WND_STEP, OnVideoWndStep)
END_MESSAGE_MAP()
