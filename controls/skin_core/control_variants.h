// The variants of the skinned classes: the program and each library build the same classes, which
// differ only in the data below. Every module selects its records at start-up (the program's are the
// defaults); a control may also take one of its own. The libraries' records live in skinlib/.
#pragma once
#include "skin_bands.h"
#include "skin_colour.h"

namespace skin {

struct ButtonVariant {
    const char* name;
    const Profile* gradient;
};

struct ComboVariant {
    const char* name;
    const Profile* gradient;
    // Constructor defaults.
    int text_style;          // 0 plain, 1 dark copy, 2 (or other) light copy
    int face_style;          // 0 solid, 1..6 low faces, 7+ gradient in the back colour lightened by 102
    int select_style;        // the selection bar's gradient
    Colour select_colour;
    Colour selected_text_colour;
    Colour text_colour;
    Colour back_colour;
    // Faces 1..6: the bevelled face in the back colour, or the selection bar's gradient in it.
    enum class LowFace : uint8_t { Bevel, SelectGradient } low_face;
    // The selection bar: the gradient in the selection colour, or a raised bevel in its inverse.
    enum class Selection : uint8_t { Gradient, InvertedBevel } selection;
    // The selected item's text colour: the member, the contrast of the text colour, or its inverse.
    enum class SelectedText : uint8_t { Member, Contrast, Inverse } selected_text;
    bool copy_under_text;  // styles 1 and 2 draw their copy first, the text on top
    bool icons;            // nonzero item data is an icon drawn at the item's left
    bool frame_item_rect;  // the black frame goes round the item (else round the face)
};

struct LabelVariant {
    const char* name;
    const Profile* gradient;
    bool double_face;        // the shaded face may get a one-pixel shadow pass (and style 57 its inset)
    bool indicator;          // the lit and unlit indicator look of the text
    unsigned text_flash_ms;
    unsigned back_flash_ms;
    const char* open_link;   // what an open-link click opens; null: the label's own text
};

struct TabVariant {
    const char* name;
    const Profile* gradient;
    // The shadow under a tab face without a bitmap.
    bool shadow_darker_face;     // the face colour darkened by 51 (else black)
    bool shadow_next_style;      // unselected tabs shadow with the style after theirs
    int shadow_offset;           // 2 or 1
    bool shorten_bottom;         // the face loses 2 pixels at the bottom while it is drawn
    bool lift_selected;          // the selected tab moves up 1 pixel
    bool raised_always_white;    // text effect 1's upper pass is white on every tab
};

struct MenuVariant {
    const char* name;
    const Profile* gradient;
    int classic_style;            // unselected classic items (in 0xACA820)
    Colour flat_item_colour;      // unselected flat items
    int flat_item_style;
    int flat_selected_style;      // selected flat items (in 0xFFC040)
    int flat_column_style;        // the image column (in 0xFFC040), separators' too
    bool soft_flat_colours;       // frame colour lightened by 0.25 and highlight by 0.7 / 0.85 off themed XP
    bool soft_disabled_text;      // disabled flat text lightened by 0.4 off themed XP
    bool sunken_outer_check;      // the classic check box's edge is BDR_SUNKENOUTER (else SUNKENINNER)
};

struct ListVariant {
    const char* name;
    const Profile* gradient;  // the background bands' fill
    bool paints_bands;        // the pre-paint stage draws the striped background (else the custom draw
                              // only colours the cells)
};

// The program's records.
extern const ButtonVariant kTarmeloButton;
extern const ComboVariant kTarmeloCombo;
extern const LabelVariant kTarmeloLabel;
extern const TabVariant kTarmeloTab;
extern const MenuVariant kTarmeloMenu;
extern const ListVariant kTarmeloList;

// The web page the program's open-link labels open: the maker's page on a host of ours.
extern const char kMakerPage[];

}  // namespace skin
