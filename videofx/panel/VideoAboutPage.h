// The about page: the product's name and version, the rights line, a notice against copying, links
// to the maker's web page and mail address, and a Close button that closes the panel.
#pragma once
#include "controls/button/SkinButton.h"
#include "controls/label/SkinLabel.h"
#include "controls/link/LinkStatic.h"
#include "controls/skin/SkinDialog.h"

// The maker's addresses; every web link of the system goes to this host.
constexpr const char* kMakerWeb = "http://www.delmora.example/";
constexpr const char* kMakerMail = "mailto:video@delmora.example";

class CVideoAboutPage : public CSkinDialog {
public:
    CVideoAboutPage() = default;
    ~CVideoAboutPage() override = default;
    BOOL OnInitDialog() override;

    CSkinLabel m_notice, m_rights;
    CLinkStatic m_web, m_mail;
    CSkinLabel m_title;
    CSkinButton m_close;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()
};
