// The skinned dialog base: a background bitmap tiled over the client area, and easy move (dragging
// the dialog by any point of its client area). A drop-in base for CDialog-derived dialogs.
#pragma once
#include "afxwin.h"

class CSkinDialog : public CDialog {
public:
    CSkinDialog() = default;
    explicit CSkinDialog(UINT template_id, CWnd* parent = nullptr) : CDialog(template_id, parent) {}
    ~CSkinDialog() override;

    // Loads the background from this module's bitmap resource; 0 (and no background) when it is missing.
    BOOL SetBackBitmap(UINT resource_id);
    // Takes ownership of `bitmap` (NULL removes the background); 0 when it is not a bitmap.
    BOOL SetBackBitmap(HBITMAP bitmap);
    void EnableEasyMove(BOOL on = TRUE) { m_bEasyMove = on; }
    HBITMAP GetBackBitmap() const { return m_hBackBitmap; }

    // Called with the window after each WM_SIZE of any skinned dialog of this module, when set: the
    // module that paints the skinned frame keeps the window region in step with the size through it.
    static void (*s_pfnSized)(HWND wnd);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange*) override {}
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    BOOL m_bEasyMove = TRUE;
    HBITMAP m_hBackBitmap = nullptr;
    int m_nBitmapWidth = 0;
    int m_nBitmapHeight = 0;
    int m_nReserved = 0;
};
