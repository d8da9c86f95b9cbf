#include "SkinDialog.h"
#include "SkinPaint.h"

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
    ON_WM_LBUTTONDOWN()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CSkinDialog::~CSkinDialog() {
    if (m_hBackBitmap) ::DeleteObject(m_hBackBitmap);
}

BOOL CSkinDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

BOOL CSkinDialog::SetBackBitmap(UINT resource_id) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(resource_id), (LPCSTR)RT_BITMAP);
    HBITMAP bitmap = (HBITMAP)::LoadImageA(module, MAKEINTRESOURCEA(resource_id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    BOOL kept = SetBackBitmap(bitmap);
    // A missing resource removes the background and is reported, not passed off as success.
    return bitmap ? kept : FALSE;
}

BOOL CSkinDialog::SetBackBitmap(HBITMAP bitmap) {
    if (m_hBackBitmap) ::DeleteObject(m_hBackBitmap);
    m_hBackBitmap = nullptr;
    m_nBitmapWidth = m_nBitmapHeight = 0;
    if (bitmap) {
        BITMAP bm{};
        if (::GetObjectType(bitmap) != OBJ_BITMAP || !::GetObjectA(bitmap, sizeof bm, &bm)) {
            ::DeleteObject(bitmap);
            return FALSE;
        }
        m_hBackBitmap = bitmap;
        m_nBitmapWidth = bm.bmWidth;
        m_nBitmapHeight = bm.bmHeight;
    }
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
}
