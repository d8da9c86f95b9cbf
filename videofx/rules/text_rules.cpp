#include "videofx/rules/text_rules.h"
#include "controls/skin_core/skin_colour.h"

namespace videofx::text {

std::vector<Token> tokenize(const std::string& text, int cell_width) {
    std::vector<Token> tokens;
    const int n = (int)text.size();
    for (int i = 0; i < n;) {
        const uint8_t b = (uint8_t)text[i];
        Token t;
        t.offset = i;
        if (b == '\r' || b == '\n') {
            t.length = 0;
            ++i;
        } else if (b > 128 && i + 1 < n && (uint8_t)text[i + 1] > 128) {
            t.length = 2;
            t.cell_width = cell_width;
            t.drawn = true;
            i += 2;
        } else {
            t.length = 1;
            t.cell_width = cell_width / 2;
            t.drawn = b >= ' ' && b <= '~';
            ++i;
        }
        tokens.push_back(t);
    }
    return tokens;
}

int bitmap_width(const std::string& text, int cell_width) {
    int width = kLeftMargin;
    for (const Token& t : tokenize(text, cell_width)) width += t.advance();
    return width;
}

TextCheck check_text(const std::string& text) {
    if (text.empty()) return TextCheck::kEmpty;
    if ((int)text.size() > kMaxTextBytes) return TextCheck::kTooLong;
    return TextCheck::kOk;
}

bool background_pixel(int transparency, int i, int j) {
    const bool i_even = i % 2 == 0, j_even = j % 2 == 0;
    switch (transparency) {
    case 0: return true;
    case 1: return !(i_even && j_even);
    case 2: return i_even != j_even;
    case 3: return i_even && !j_even;
    default: return false;
    }
}

Colour background_row_colour(int style, Colour colour, int r, int H) {
    const unsigned middle = unsigned(r < H / 2 ? 6 * r : 6 * (H - r)) & 0xFF;
    switch (style) {
    case 1: return color_lighten(colour, unsigned(4 * r) & 0xFF);
    case 2: return color_darken(colour, unsigned(4 * r) & 0xFF);
    case 3: return color_lighten(colour, middle);
    case 4: return color_darken(colour, middle);
    case 5:
        // A relief: the top and bottom sixths darken towards the edges, the band between (its last
        // row included) keeps the colour.
        if (r < H / 6) return color_darken(colour, unsigned(12 * (H / 6 - r)) & 0xFF);
        if (r <= 5 * H / 6) return colour;
        return color_darken(colour, unsigned(12 * (r + H / 6 - H)) & 0xFF);
    default: return colour;
    }
}

Colour text_row_colour(int style, Colour colour, int r, int h) {
    const unsigned step = unsigned(8 * r) & 0xFF;
    const unsigned middle = unsigned(r < h / 2 ? 8 * r : 8 * (h - r)) & 0xFF;
    switch (style) {
    case 1: return color_lighten(colour, step);
    case 2: return color_darken(colour, step);
    case 3: return color_lighten(colour, middle);
    case 4: return color_darken(colour, middle);
    default: return colour;
    }
}

}  // namespace videofx::text
