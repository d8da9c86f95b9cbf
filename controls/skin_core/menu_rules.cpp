#include "menu_rules.h"
#include <algorithm>
#include <cctype>
#include <cstring>

namespace skin {

namespace {

uint16_t read16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? (char16_t)(c - u'A' + u'a') : c; }

}  // namespace

bool walk_menu_template(const uint8_t* data, size_t size, std::vector<MenuStep>* steps) {
    steps->clear();
    if (!data || size < 4) return false;
    if (read16(data) != 0) return false;  // an extended template
    size_t at = 4 + (size_t)read16(data + 2);
    // The ending flag of every open level, the top level first.
    std::vector<bool> ending = {false};
    while (!ending.empty()) {
        if (at + 2 > size) return false;
        MenuStep step;
        uint16_t option = read16(data + at);
        at += 2;
        bool popup = (option & kMenuPopup) != 0;
        if (!popup) {
            if (at + 2 > size) return false;
            step.id = read16(data + at);
            at += 2;
        }
        while (true) {
            if (at + 2 > size) return false;
            char16_t c = (char16_t)read16(data + at);
            at += 2;
            if (!c) break;
            step.text.push_back(c);
        }
        step.flags = (uint16_t)(option & ~kMenuEnd);
        bool last = (option & kMenuEnd) != 0;
        steps->push_back(step);
        if (popup) {
            if (last) ending.back() = true;
            ending.push_back(false);
            continue;
        }
        if (last) ending.back() = true;
        while (!ending.empty() && ending.back()) {
            MenuStep close;
            close.kind = MenuStep::kClose;
            steps->push_back(close);
            ending.pop_back();
        }
    }
    return true;
}

void align_accelerators(std::vector<std::u16string>* texts, const TextWidth& width) {
    int target = 0;
    for (const std::u16string& t : *texts) target = std::max(target, width(t.substr(0, t.find(u'\t')) + u" "));
    for (std::u16string& t : *texts) {
        size_t tab = t.find(u'\t');
        if (tab == std::u16string::npos) continue;
        std::u16string head = t.substr(0, tab);
        int w = width(head);
        // At most as many blanks as the target is wide: a blank that measures nothing ends the padding.
        for (int i = 0; w < target && i < target; ++i) {
            head += u' ';
            int wider = width(head);
            if (wider <= w) break;
            w = wider;
        }
        t = head + t.substr(tab);
    }
}

int find_accelerator(const std::vector<std::u16string>& texts, char16_t ch) {
    const char16_t pattern[2] = {u'&', lower(ch)};
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::u16string& t = texts[i];
        for (size_t j = 0; j + 1 < t.size(); ++j)
            if (t[j] == pattern[0] && lower(t[j + 1]) == pattern[1]) return (int)i;
    }
    return -1;
}

int os_version_code(uint32_t version, bool have_record, unsigned major, unsigned minor) {
    if (version & 0x80000000u) {
        if ((version & 0xFF) < 4) return 0;
        if (!have_record) return 2;
        if (major == 4) return minor == 10 ? 3 : minor == 90 ? 4 : 2;
        return 2;
    }
    if (!have_record) return 1;
    if (major == 4) return 5;
    if (major == 5 && minor == 0) return 6;
    if (major == 5 && minor == 1) return 7;
    return 1;
}

bool is_classic_theme_name(const std::string& value) {
    static const char kSuffix[] = "Windows Classic.theme";
    const size_t n = sizeof kSuffix - 1;
    if (value.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (tolower((unsigned char)value[value.size() - n + i]) != tolower((unsigned char)kSuffix[i])) return false;
    return true;
}

MenuItemSize measure_menu_item(bool separator, bool flat, int image_width, int image_height, int menu_height,
                               int text_width) {
    const int gap = flat ? 7 : 4;
    if (separator) return {0, std::max(menu_height / 2, (image_height + gap) / 2)};
    int extra = flat ? image_width + gap + 8 : 2 * image_width + 1;
    return {text_width + extra, std::max(menu_height, image_height + gap)};
}

int find_image(const std::vector<uint32_t>& commands, uint32_t command) {
    auto it = std::find(commands.begin(), commands.end(), command);
    return it == commands.end() ? -1 : (int)(it - commands.begin());
}

bool has_image_triple(const std::vector<uint32_t>& commands, int index) {
    if (index < 0 || (size_t)index + 2 >= commands.size()) return false;
    return commands[index + 1] == commands[index] && commands[index + 2] == commands[index];
}

}  // namespace skin
