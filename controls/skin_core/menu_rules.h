// The owner-drawn menu's rules that need no window: the walk over a standard menu template, accelerator
// alignment, the keyboard search, the Windows version code, the classic-theme test, item measuring and
// the shared image table. Item texts are UTF-16, as the menu keeps them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skin {

constexpr uint16_t kMenuPopup = 0x0010;      // MF_POPUP
constexpr uint16_t kMenuEnd = 0x0080;        // MF_END
constexpr uint16_t kMenuSeparator = 0x0800;  // MF_SEPARATOR

// One step of building a menu from its template, in order: append an item to the current level (a
// popup item then opens a new level for the items that follow), or close the current level (align its
// accelerator texts and return to the level above).
struct MenuStep {
    enum Kind { kAppend, kClose } kind = kAppend;
    uint16_t flags = 0;  // MF_END taken out
    uint16_t id = 0;     // 0 for popups
    std::u16string text;
};

// Walks the standard (not extended) template of `size` bytes. False when the template is not one,
// or ends before the top level closes (the walk never reads past the end).
bool walk_menu_template(const uint8_t* data, size_t size, std::vector<MenuStep>* steps);

// Pads the part before the tab of every text that has one with blanks until it is at least as wide as
// the widest part before a tab (measured with one blank appended) of all the texts; the padding stops
// when blanks stop widening the text.
using TextWidth = std::function<int(const std::u16string&)>;
void align_accelerators(std::vector<std::u16string>* texts, const TextWidth& width);

// The position of the first text holding "&" and `ch`, letters compared without case; -1 when none.
int find_accelerator(const std::vector<std::u16string>& texts, char16_t ch);

// The version code: 0 Win32s, 1 any other NT (also after XP), 2 Windows 95, 3 98, 4 Me, 5 NT 4,
// 6 2000, 7 XP. `version` is GetVersion's result; the major and minor come from GetVersionEx.
int os_version_code(uint32_t version, bool have_version_record, unsigned major, unsigned minor);

// Whether the theme value names the classic theme (ends in "Windows Classic.theme", case ignored).
bool is_classic_theme_name(const std::string& value);

struct MenuItemSize {
    int width, height;
};
// `flat` is the flat (XP) look, whose gap is 7 (4 in the classic look); `text_width` the measured text.
MenuItemSize measure_menu_item(bool separator, bool flat, int image_width, int image_height, int menu_height,
                               int text_width);

// The shared image table: image i shows command commands[i].
int find_image(const std::vector<uint32_t>& commands, uint32_t command);
// Images index, index + 1 and index + 2 all show the same command (normal, washed, shadow).
bool has_image_triple(const std::vector<uint32_t>& commands, int index);

}  // namespace skin
