#include "PageTabCtrl.h"
#include "BaseTabCtrl.h"

BEGIN_MESSAGE_MAP(CPageTabCtrl, CTabCtrl)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

void CPageTabCtrl::OnLButtonDown(UINT, CPoint) {
    ClearStaleTabPress(m_hWnd);
    Default();
    int focus = GetCurFocus();
    if (focus == m_nCurrent) return;
    auto page = [this](int i) -> CWnd* { return i >= 0 && i < (int)m_pages.size() ? m_pages[(size_t)i] : nullptr; };
    if (CWnd* old = page(m_nCurrent)) old->ShowWindow(SW_HIDE);
    m_nCurrent = focus;
    if (CWnd* now = page(m_nCurrent)) now->ShowWindow(SW_SHOW);
}
