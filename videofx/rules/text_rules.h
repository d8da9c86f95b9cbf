// The text page's bitmap arithmetic: one tokenizer of the GBK text for measuring and drawing, the
// length limit, the background row colours and transparency pattern, and the text style's row
// colours. Colours here are Windows COLORREF values (0x00BBGGRR).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace videofx::text {

using Colour = uint32_t;

// Pure green: the text bitmap's transparent colour, refused as a text or background colour.
constexpr Colour kTransparent = 0x00FF00;
// The record's text field holds 511 bytes and its terminator.
constexpr int kMaxTextBytes = 511;
// Bitmap columns before the first cell.
constexpr int kLeftMargin = 4;

struct Token {
    int offset = 0;       // first byte in the text
    int length = 0;       // 1 or 2 bytes; 0 for CR and LF, which take no room
    int cell_width = 0;   // cell drawn: cell width for a double-byte pair, half of it for a single byte
    bool drawn = false;   // a pair, or a printable single byte (' '..'~'); others leave a blank cell
    int advance() const { return length ? cell_width + 1 : 0; }
};

// Splits the text: a byte above 128 followed by another byte above 128 is a double-byte pair; every
// other byte is a single-byte cell (a lone lead byte too), except CR and LF, which take no room.
std::vector<Token> tokenize(const std::string& text, int cell_width);

// Width of the text bitmap: the margin plus every token's advance; the height is the cell height + 1.
int bitmap_width(const std::string& text, int cell_width);
inline int bitmap_height(int cell_height) { return cell_height + 1; }

enum class TextCheck { kOk, kEmpty, kTooLong };
TextCheck check_text(const std::string& text);

// Whether pixel (row i, column j) gets the background row colour at a transparency 0..4; the others
// become pure green.
bool background_pixel(int transparency, int i, int j);

// The background colour of row r in a bitmap of height H for a background style 0..5.
Colour background_row_colour(int style, Colour colour, int r, int H);

// The colour the text colour takes in row r of a cell of height h for a text style 0..4.
Colour text_row_colour(int style, Colour colour, int r, int h);

// The record keeps colours as red << 16 | green << 8 | blue.
constexpr uint32_t to_record(Colour c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
constexpr Colour from_record(uint32_t v) { return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16); }

}  // namespace videofx::text
