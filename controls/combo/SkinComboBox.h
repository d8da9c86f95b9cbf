// The owner-drawn drop-down list of the skinned dialogs. The control's own list holds empty strings;
// the item texts live in the object, and every item is painted with a solid, bevelled or shaded face, a
// highlight for the selected item, a text with an optional one-pixel copy and a black frame. The
// window must be created owner-drawn (fixed) without CBS_HASSTRINGS.
#pragma once
#include "afxwin.h"
#include "controls/skin_core/control_variants.h"
#include <vector>

class CSkinComboBox : public CComboBox {
public:
    CSkinComboBox();
    ~CSkinComboBox() override;

    // The defaults and drawing rules of this module's combo boxes; one combo may take its own (its
    // defaults then replace the current look).
    static void SetDefaultVariant(const skin::ComboVariant* variant);
    void SetVariant(const skin::ComboVariant* variant);

    // Appends the text and an empty item with item data 0; the new item's index.
    int AddString(const char* text);
    // Empties the texts (the caller resets the control's list).
    void ClearItems();
    void SetTextColour(COLORREF colour) { m_crText = colour; }
    void SetBackColour(COLORREF colour) { m_crBack = colour; }
    COLORREF GetTextColour() const { return m_crText; }
    COLORREF GetBackColour() const { return m_crBack; }
    int TextCount() const { return (int)m_texts.size(); }
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    void DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const;
    // The selected item's text colour under this combo's rule.
    COLORREF SelectedTextColour() const;

    int m_nTextStyle;
    int m_nFaceStyle;
    int m_nSelectStyle;
    COLORREF m_crSelect;
    COLORREF m_crSelectedText;

protected:
    DECLARE_MESSAGE_MAP()
    void ApplyDefaults();

    const skin::ComboVariant* m_pVariant;
    std::vector<CString> m_texts;
    COLORREF m_crText;
    COLORREF m_crBack;
    static const skin::ComboVariant* s_defaultVariant;
};
