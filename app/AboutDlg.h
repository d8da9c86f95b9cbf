// The About box (dialog 100).
#pragma once
#include "afxwin.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
