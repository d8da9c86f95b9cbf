#include "SkinDialog.h"
#include "SkinPaint.h"

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
    ON_WM_LBUTTONDOWN()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

void (*CSkinDialog::s_pfnSized)(HWND) = nullptr;

CSkinDialog::~CSkinDialog() {
    if (m_hBackBitmap) ::DeleteObject(m_hBackBitmap);
}

BOOL CSkinDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

BOOL CSkinDialog::SetBackBitmap(UINT resource_id) {
    BOOL ok = skin_load_bitmap(&m_hBackBitmap, &m_nBitmapWidth, &m_nBitmapHeight, resource_id);
    if (m_hWnd && ::IsWindow(m_hWnd)) Invalidate(TRUE);
    return ok;
}

BOOL CSkinDialog::SetBackBitmap(HBITMAP bitmap) {
    if (!skin_take_bitmap(&m_hBackBitmap, &m_nBitmapWidth, &m_nBitmapHeight, bitmap)) return FALSE;
    if (m_hWnd && ::IsWindow(m_hWnd)) Invalidate(TRUE);
    return TRUE;
}

void CSkinDialog::OnLButtonDown(UINT, CPoint point) {
    if (m_bEasyMove) {
        // WM_NCLBUTTONDOWN carries screen coordinates.
        ClientToScreen(&point);
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    }
    Default();
}

BOOL CSkinDialog::OnEraseBkgnd(CDC* dc) {
    BOOL result = (BOOL)Default();
    if (!m_hBackBitmap || m_nBitmapWidth <= 0 || m_nBitmapHeight <= 0) return result;
    CRect client;
    GetClientRect(&client);
    // Bounds inclusive: the last row and column of tiles may be cut by the client edge.
    skin_tile_bitmap(dc->m_hDC, m_hBackBitmap, m_nBitmapWidth, m_nBitmapHeight, client.Width(), client.Height());
    return result;
}

void CSkinDialog::OnSize(UINT, int, int) {
    Default();
    if (m_hBackBitmap) Invalidate(TRUE);
    if (s_pfnSized) s_pfnSized(m_hWnd);
}
