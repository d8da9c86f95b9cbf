#include "SkinlibModule.h"
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/list/SkinListCtrl.h"
#include "controls/menu/GlintMenu.h"
#include "controls/tab/BaseTabCtrl.h"
#include "skinlib/frame/FrameSkin.h"

namespace {
const skinlib::LibraryVariant* g_selected = nullptr;
}

void skinlib_select(const skinlib::LibraryVariant& v) {
    g_selected = &v;
    CSkinButton::SetDefaultVariant(v.button);
    CSkinComboBox::SetDefaultVariant(v.combo);
    CSkinLabel::SetDefaultVariant(v.label);
    CBaseTabCtrl::SetDefaultVariant(v.tab);
    GlintMenu::SetDefaultVariant(v.menu);
    CSkinListCtrl::SetDefaultVariant(v.list);
    skin_frame_skin().SetIds(v.frame);
}

const skinlib::LibraryVariant* skinlib_selected() { return g_selected; }
