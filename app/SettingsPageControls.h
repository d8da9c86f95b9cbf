// What the three settings pages share on their windows: filling a skinned combo from an item list,
// exchanging an edit's text with a model's string, colouring combos, and the store the pages save to.
#pragma once
#include <string>
#include "afxwin.h"
#include "app/pages/page_models.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/skin/SkinDialog.h"

// Replaces the combo's items by the list's texts and selects `item` (-1: none).
void fill_combo(CSkinComboBox& combo, const settings_pages::ItemList& list, int item);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
void colour_combo(CSkinComboBox& combo, COLORREF ui);
// True unless the page refused to save; a refusal is shown to the user.
bool accept_save(const settings_pages::SaveOutcome& outcome);
// The page window answers to its dialog id, so tools and tests tell the pages in the tab control apart.
void name_page(CDialog& page, UINT dialog_id);
