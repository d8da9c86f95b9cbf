// How the caption bar bitmap lies over a window's caption: a left corner piece, a middle piece
// repeated across, and a right corner piece flush with the window's right edge. The window region
// is cut from the bar laid out this way, so any window width gets the bar's corners.
#pragma once
#include <vector>

namespace skin {

// Columns of the caption bar where its left corner piece ends and its middle piece begins.
constexpr int kCaptionStartCap = 76;

// One copy of the bar's columns [source_left, source_right) at window column x (x may be negative
// when a narrow window pushes the right corner piece past its left edge).
struct CaptionPiece {
    int source_left = 0, source_right = 0, x = 0;
};

// The copies for a window `window_width` wide, in painting order (a later copy covers an earlier one
// where they overlap): the left piece at 0, the middle piece from the end of the left piece up to the
// right piece (the last copy cut to fit), then the right piece, the bar's columns from `piece_width`
// (the frame metric) to its right edge. A bar too narrow for a middle piece repeats the whole bar.
std::vector<CaptionPiece> caption_pieces(int window_width, int bitmap_width, int piece_width);

}  // namespace skin
