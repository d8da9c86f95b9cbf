// The painted static text of the skinned dialogs: a background (solid, bevelled, shaded or a tiled
// bitmap), a text in its own font with an optional 3-D copy, rotation or flashing, and an optional link
// behaviour (a cursor, a click notification or opening a page). The setters are virtual and return the
// label, so that calls chain.
#pragma once
#include "afxwin.h"
#include "controls/skin_core/control_variants.h"
#include "controls/skin_core/label_rules.h"

// The notification a label's click sends its parent.
#define NM_LABELCLICK 0x8200

class CSkinLabel : public CStatic {
public:
    CSkinLabel();
    ~CSkinLabel() override;

    static void SetDefaultVariant(const skin::LabelVariant* variant);
    void SetVariant(const skin::LabelVariant* variant);

    virtual CSkinLabel& SetBkColor(COLORREF colour);
    virtual CSkinLabel& SetTextColor(COLORREF colour);
    virtual CSkinLabel& SetText(const CString& text);
    virtual CSkinLabel& SetFontBold(BOOL bold);
    // At most 31 bytes of the name (never half a double-byte character).
    virtual CSkinLabel& SetFontName(const CString& name);
    virtual CSkinLabel& SetFontUnderline(BOOL underline);
    virtual CSkinLabel& SetFontItalic(BOOL italic);
    virtual CSkinLabel& SetFontSize(int size);
    virtual CSkinLabel& SetSunken(BOOL sunken);
    virtual CSkinLabel& SetBorder(BOOL border);
    virtual CSkinLabel& SetTransparent(BOOL transparent);
    virtual CSkinLabel& FlashText(BOOL on);
    virtual CSkinLabel& FlashBackground(BOOL on);
    virtual CSkinLabel& SetLink(BOOL link, BOOL open_link);
    virtual CSkinLabel& SetLinkCursor(HCURSOR cursor);
    virtual CSkinLabel& SetFont3D(BOOL on, int type = 0);
    virtual CSkinLabel& SetRotationAngle(int angle, BOOL rotate);

    // A background bitmap of this module (0 and no bitmap when it is missing), or a handle it takes.
    BOOL SetBackBitmap(UINT resource_id);
    BOOL SetBackBitmap(HBITMAP bitmap);
    HBITMAP GetBackBitmap() const { return m_hBackBitmap; }
    const LOGFONTA& GetLogFont() const { return m_lf; }
    const skin::LabelFlash& Flash() const { return m_flash; }
    COLORREF GetTextColour() const { return m_crText; }
    // The label's shaded fill.
    void DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const;

    int m_nBackStyle = 0;      // 0 brush, 1..6 bevel, 7+ shaded (over a bitmap only above 16)
    COLORREF m_crBack;
    BYTE m_bOwnFormat = 0;     // m_nFormat is the text format
    UINT m_nFormat = 0;
    BYTE m_bDoubleFace = 0;    // the shaded face gets a one-pixel shadow pass (the program's labels)
    int m_nIndicatorStyle = 0; // the lit and unlit indicator look (the libraries' labels that have it)

protected:
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT msg);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg int OnCreate(LPCREATESTRUCTA cs);
    DECLARE_MESSAGE_MAP()

    void Redraw();
    void RebuildFont();
    void ApplyTimer(const skin::LabelFlash::TimerChange& change);
    void PaintBackground(CDC* dc, const CRect& r);
    void PaintShadedFace(CDC* dc, CRect r);
    void PaintText(CDC* dc, CRect r, const CString& text);

    const skin::LabelVariant* m_pVariant;
    COLORREF m_crText;
    HBRUSH m_hFaceBrush = nullptr;
    HBRUSH m_hBackBrush = nullptr;
    LOGFONTA m_lf;
    CFont m_font;
    skin::LabelFlash m_flash;
    BOOL m_bLink = TRUE;
    BOOL m_bTransparent = FALSE;
    HCURSOR m_hLinkCursor = nullptr;
    int m_nFont3DType = 0;
    BOOL m_bFont3D = FALSE;
    BOOL m_bOpenLink = FALSE;
    BOOL m_bRotate = FALSE;
    HBITMAP m_hBackBitmap = nullptr;
    int m_nBackWidth = 0, m_nBackHeight = 0;
    static const skin::LabelVariant* s_defaultVariant;
};
