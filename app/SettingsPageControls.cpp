#include "SettingsPageControls.h"
#include "afxseam.h"
#include "controls/skin/SkinDraw.h"

void fill_combo(CSkinComboBox& combo, const settings_pages::ItemList& list, int item) {
    combo.ResetContent();
    combo.ClearItems();
    for (const std::string& text : list.texts) combo.AddString(text.c_str());
    combo.SetCurSel(item);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    CString text(value.c_str());
    DDX_Text(dx, id, text);
    if (dx->m_bSaveAndValidate) value = (const char*)text;
}

void colour_combo(CSkinComboBox& combo, COLORREF ui) {
    combo.SetBackColour(color_darken(ui, 20));
    combo.m_crSelect = color_lighten(ui, 40);
    if (combo.m_hWnd) combo.Invalidate();
}

bool accept_save(const settings_pages::SaveOutcome& outcome) {
    if (outcome.result != settings_pages::SaveResult::Refused) return true;
    AfxMessageBox(outcome.message.c_str(), MB_OK | MB_ICONWARNING);
    return false;
}

void name_page(CDialog& page, UINT dialog_id) {
    if (page.m_hWnd) ::SetWindowLongPtrA(page.m_hWnd, GWLP_ID, (LONG_PTR)dialog_id);
}
