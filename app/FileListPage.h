// The file page of the main dialog's tab control (dialog 146): the media list and its four buttons.
// It keeps nothing itself; every command goes to the main dialog on the notify bus.
#pragma once
#include "controls/button/SkinButton.h"
#include "controls/label/SkinLabel.h"
#include "controls/list/SkinListCtrl.h"
#include "controls/skin/SkinDialog.h"

class CFileListPage : public CSkinDialog {
public:
    CFileListPage();
    CSkinListCtrl m_list;
    bool was_shown = false;
    // Colours from the UI colour: the list's band and background, the buttons' faces.
    void ApplyUiColor();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnAdd();
    afx_msg void OnDelete();
    afx_msg void OnSave();
    afx_msg void OnRefresh();
    afx_msg void OnListDblClk(NMHDR* hdr, LRESULT* result);
    afx_msg void OnListClick(NMHDR* hdr, LRESULT* result);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    DECLARE_MESSAGE_MAP()

private:
    void Notify(int sub_code);
    CSkinButton m_btnAdd, m_btnDelete, m_btnSave, m_btnRefresh;
    CSkinLabel m_caption1, m_caption2;
};
