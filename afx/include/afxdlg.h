// Dialogs and dialog data exchange.
#pragma once

class CDialog;

class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL save) : m_bSaveAndValidate(save), m_pDlgWnd(dlg) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    // Marks a failed validation; UpdateData then returns FALSE.
    void Fail() { m_failed = true; }
    bool m_failed = false;
    HWND PrepareCtrl(int id);
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDV_MinMaxInt(CDataExchange* dx, int value, int min_value, int max_value);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT template_id, CWnd* parent = nullptr) : m_nIDHelp(template_id), m_pParentWnd(parent) {
        m_lpszTemplateName = MAKEINTRESOURCEA(template_id);
    }
    virtual INT_PTR DoModal();
    // Creates the dialog modeless.
    virtual BOOL Create(UINT template_id, CWnd* parent = nullptr);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);
    BOOL UpdateData(BOOL save = TRUE);
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL IsModal() const { return m_bModal; }

    UINT m_nIDHelp = 0;

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    HRSRC FindTemplate(HINSTANCE* module) const;
    DECLARE_MESSAGE_MAP()

    LPCSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;
    int m_nModalResult = -1;
    bool m_bModal = false;
    bool m_bModalDone = false;

private:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

INT_PTR CALLBACK AfxDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
