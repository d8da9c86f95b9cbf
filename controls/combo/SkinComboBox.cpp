#include "SkinComboBox.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/skin_colour.h"

const skin::ComboVariant* CSkinComboBox::s_defaultVariant = &skin::kTarmeloCombo;

BEGIN_MESSAGE_MAP(CSkinComboBox, CComboBox)
END_MESSAGE_MAP()

CSkinComboBox::CSkinComboBox() : m_pVariant(s_defaultVariant) { ApplyDefaults(); }

CSkinComboBox::~CSkinComboBox() { m_texts.clear(); }

void CSkinComboBox::SetDefaultVariant(const skin::ComboVariant* variant) {
    if (variant) s_defaultVariant = variant;
}

void CSkinComboBox::SetVariant(const skin::ComboVariant* variant) {
    if (!variant) return;
    m_pVariant = variant;
    ApplyDefaults();
}

void CSkinComboBox::ApplyDefaults() {
    const skin::ComboVariant& v = *m_pVariant;
    m_nTextStyle = v.text_style;
    m_nFaceStyle = v.face_style;
    m_nSelectStyle = v.select_style;
    m_crSelect = v.select_colour;
    m_crSelectedText = v.selected_text_colour;
    m_crText = v.text_colour;
    m_crBack = v.back_colour;
}

int CSkinComboBox::AddString(const char* text) {
    m_texts.push_back(text ? text : "");
    int index = CComboBox::AddString("");
    if (index >= 0) SetItemData(index, 0);
    return index;
}

void CSkinComboBox::ClearItems() { m_texts.clear(); }

void CSkinComboBox::DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const {
    skin_draw_gradient(dc, *m_pVariant->gradient, colour, rect, style);
}

COLORREF CSkinComboBox::SelectedTextColour() const {
    switch (m_pVariant->selected_text) {
    case skin::ComboVariant::SelectedText::Contrast: return skin::combo_contrast(m_crText);
    case skin::ComboVariant::SelectedText::Inverse: return skin::invert(m_crText);
    case skin::ComboVariant::SelectedText::Member: break;
    }
    return m_crSelectedText;
}

void CSkinComboBox::DrawItem(LPDRAWITEMSTRUCT dis) {
    const skin::ComboVariant& v = *m_pVariant;
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect item = dis->rcItem;
    CRect face = item;
    const skin::SystemShades sys = skin_system_shades();
    // Background.
    if (m_nFaceStyle == 0) {
        face.DeflateRect(1, 1);
        dc->FillSolidRect(&face, m_crBack);
    } else if (m_nFaceStyle <= 6) {
        if (v.low_face == skin::ComboVariant::LowFace::Bevel)
            skin_paint_strokes(dc->m_hDC, skin::bevelled_face(skin_rect(item), skin::bevel_shades(m_crBack, 51), sys));
        else
            DrawGradient(dc->m_hDC, m_crBack, item, m_nSelectStyle);
    } else {
        DrawGradient(dc->m_hDC, color_lighten(color_lighten(m_crBack, 51), 51), item, m_nFaceStyle);
    }
    // Selection.
    COLORREF text_colour = m_crText;
    int text_style = m_nTextStyle;
    if (dis->itemState & ODS_SELECTED) {
        if (v.selection == skin::ComboVariant::Selection::InvertedBevel)
            skin_paint_strokes(dc->m_hDC, skin::bevelled_face(skin_rect(item), skin::bevel_shades(skin::invert(m_crSelect), 51), sys));
        else
            DrawGradient(dc->m_hDC, m_crSelect, item, m_nSelectStyle);
        text_colour = SelectedTextColour();
        if (text_style == 1) text_style = 2;
    }
    int old_mode = dc->SetBkMode(TRANSPARENT);
    CRect text_rect = item;
    const bool icon = v.icons && dis->itemData && (int)dis->itemID >= 0;
    if (icon) text_rect.left = item.left + item.Height() + 2;
    // An index past the stored texts draws like the edit part: background and frame only.
    const int index = (int)dis->itemID;
    if (index >= 0 && index < (int)m_texts.size()) {
        const CString& text = m_texts[(size_t)index];
        const UINT format = DT_SINGLELINE | DT_VCENTER;
        text_rect.left += 3;
        text_rect.right -= 3;
        auto pass = [&](COLORREF colour) {
            dc->SetTextColor(colour);
            dc->DrawText(text, &text_rect, format);
        };
        if (text_style == 0) {
            text_rect.InflateRect(1, 1);
            pass(text_colour);
        } else if (text_style == 1) {
            pass(RGB(0, 0, 0));
            text_rect.InflateRect(1, 1);
            pass(text_colour);
        } else if (v.copy_under_text) {
            pass(RGB(255, 255, 255));
            text_rect.InflateRect(1, 1);
            pass(text_colour);
        } else {
            pass(text_colour);
            text_rect.InflateRect(1, 1);
            pass(RGB(255, 255, 255));
        }
    }
    if (icon) {
        int side = text_rect.Height() - 4;
        if (side > 0) dc->DrawIconEx(item.left + 1, item.top + 1, (HICON)dis->itemData, side, side, 0, nullptr, DI_NORMAL);
    }
    dc->SetBkMode(old_mode);
    CRect frame = v.frame_item_rect ? item : face;
    dc->FrameRect(&frame, (HBRUSH)::GetStockObject(BLACK_BRUSH));
}
