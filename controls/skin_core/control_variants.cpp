#include "control_variants.h"
#include "list_rules.h"
#include "skin_class_profiles.h"

namespace skin {

const char kMakerPage[] = "http://www.delmora.example/index.asp?p_id=555&ver=300";

const ButtonVariant kTarmeloButton = {"tarmelo", &kButtonTarmelo};

const ComboVariant kTarmeloCombo = {
    "tarmelo", &kComboTarmelo,
    1, 21, 8, 0x4040FF, 0x010101, 0x00FFFF, 0xFF0505,
    ComboVariant::LowFace::Bevel, ComboVariant::Selection::Gradient, ComboVariant::SelectedText::Member,
    false, false, false,
};

const LabelVariant kTarmeloLabel = {"tarmelo", &kLabelTarmelo, true, false, 500, 500, kMakerPage};

const TabVariant kTarmeloTab = {"tarmelo", &kTabTarmelo, false, false, 2, true, false, false};

const MenuVariant kTarmeloMenu = {"tarmelo", &kMenuTarmelo, 10, 0x80FF40, 7, 8, 10, false, false, false};

const ListVariant kTarmeloList = {"tarmelo", &kListTarmelo, true};

}  // namespace skin
