// The two About boxes: the plain one of the system menu (dialog 100) and the skinned one of the About
// button (dialog 173) with the maker's two links.
#pragma once
#include "controls/button/SkinButton.h"
#include "controls/label/SkinLabel.h"
#include "controls/link/LinkStatic.h"
#include "controls/skin/SkinDialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};

class CConverterAboutDlg : public CSkinDialog {
public:
    CConverterAboutDlg();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    afx_msg void OnBack() { OnOK(); }
    DECLARE_MESSAGE_MAP()

private:
    CSkinButton m_back;
    CLinkStatic m_web, m_mail;
    CSkinLabel m_notice, m_product;
};
