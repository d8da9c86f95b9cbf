// The common dialogs as framework classes. DoModal goes through the framework's dialog seam
// (afxseam.h), so a test answers them without a person.
#pragma once
#include <commdlg.h>

class CCommonDialog : public CDialog {
public:
    explicit CCommonDialog(CWnd* parent) : m_pOwner(parent) {}

protected:
    HWND owner_window() const;
    CWnd* m_pOwner;
};

class CFileDialog : public CCommonDialog {
public:
    // `filter` is MFC's "description|pattern|...|" string; `default_ext` is added to a name typed
    // without one.
    explicit CFileDialog(BOOL open, const char* default_ext = nullptr, const char* file_name = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                         CWnd* parent = nullptr);
    INT_PTR DoModal() override;
    CString GetPathName() const { return CString(m_szFileName); }
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;

    OPENFILENAMEA m_ofn;

private:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;  // descriptions and patterns separated by NULs
    CString m_strDefExt;
    char m_szFileName[4096];
    char m_szFileTitle[MAX_PATH];
};

class CColorDialog : public CCommonDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    // The sixteen custom colours, shared by every colour dialog of the module.
    static COLORREF* GetSavedCustomColors();

    CHOOSECOLORA m_cc;
};

class CFontDialog : public CCommonDialog {
public:
    explicit CFontDialog(const LOGFONTA* initial = nullptr, DWORD flags = CF_EFFECTS | CF_SCREENFONTS,
                         CDC* printer = nullptr, CWnd* parent = nullptr);
    INT_PTR DoModal() override;
    void GetCurrentFont(LOGFONTA* font) const { *font = m_lf; }
    CString GetFaceName() const { return CString(m_lf.lfFaceName); }
    int GetSize() const { return m_cf.iPointSize; }  // tenths of a point
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetWeight() const { return m_lf.lfWeight; }
    BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }
    BOOL IsItalic() const { return m_lf.lfItalic; }

    CHOOSEFONTA m_cf;
    LOGFONTA m_lf;
};
