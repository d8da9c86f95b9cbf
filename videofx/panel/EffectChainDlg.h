// The chain page: one list row per effect in processing order, fourteen latching toggles, moving the
// selected row, Close, Clear, and project files. Every change of the list hands the rows' ids to the
// chain, which runs that order from the next frame.
#pragma once
#include "controls/button/SkinButton.h"
#include "controls/list/SkinListCtrl.h"
#include "controls/skin/SkinDialog.h"

class CEffectChainDlg : public CSkinDialog {
public:
    CEffectChainDlg() = default;
    BOOL OnInitDialog() override;

    // Refills the list from the table (rows by slot index, in id order for this library's records).
    void RebuildList();
    // After a project was opened: fits the table to the frame, brings every page into line.
    void RefreshPages();
    // The controls of a reset: toggles released, every row off with its own id.
    void ResetControls();
    // A record the fit switched off: its toggle released, its row off.
    void ShowRecordOff(int slot);
    // The rows' ids, top first, handed to the chain.
    void HandOrder();

    void OnSave();
    void OnOpen();
    afx_msg void OnClear();
    afx_msg void OnClosePanel();

    CSkinListCtrl m_list;
    CSkinButton m_toggles[14];
    CSkinButton m_up, m_down, m_close, m_open, m_save, m_clear;
    int m_nSelectedRow = -1;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnCommandRange(UINT id);
    afx_msg void OnMoveUp();
    afx_msg void OnMoveDown();
    afx_msg void OnClickList(NMHDR* hdr, LRESULT* result);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    DECLARE_MESSAGE_MAP()

private:
    void ShowRow(int row, int id, bool on);
    int FindRow(int id);
    void Move(int delta);
};

// The toggle button id of effect 1..14.
int toggle_id(int effect_id);
