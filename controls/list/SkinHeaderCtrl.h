// The skinned list's column header: painted from two bitmaps, each caption twice (white, then one
// pixel lower right in the UI colour darkened), ending in an ellipsis when the column is too narrow.
#pragma once
#include "afxwin.h"

class CSkinHeaderCtrl : public CHeaderCtrl {
public:
    CSkinHeaderCtrl();
    ~CSkinHeaderCtrl() override;
    // Called for each column while the header paints (the header itself draws nothing here).
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    // The caption of a column as the last paint drew it (with its ellipsis when it was cut).
    CString DrawnCaption(int column) const;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

    CStringArray m_drawn;
};
