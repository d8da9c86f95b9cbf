// A plain page switcher: a click that moves the tab focus hides the current page and shows the
// focused tab's page.
#pragma once
#include "afxwin.h"
#include <vector>

class CPageTabCtrl : public CTabCtrl {
public:
    std::vector<CWnd*> m_pages;
    int m_nCurrent = 0;

protected:
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
