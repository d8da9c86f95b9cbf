#include "caption_bar.h"
#include <algorithm>

namespace skin {

std::vector<CaptionPiece> caption_pieces(int window_width, int bitmap_width, int piece_width) {
    std::vector<CaptionPiece> pieces;
    if (window_width <= 0 || bitmap_width <= 0) return pieces;
    const int start_end = std::min(kCaptionStartCap, bitmap_width);
    const int tile_end = std::clamp(piece_width, start_end, bitmap_width);
    int tile_left = start_end, tile_right = tile_end;
    if (tile_right <= tile_left) {
        tile_left = 0;
        tile_right = bitmap_width;
    }
    const int end_width = bitmap_width - tile_end;
    const int end_x = window_width - end_width;
    pieces.push_back({0, start_end, 0});
    for (int x = start_end; x < end_x; x += tile_right - tile_left)
        pieces.push_back({tile_left, tile_left + std::min(tile_right - tile_left, end_x - x), x});
    if (end_width > 0) pieces.push_back({tile_end, bitmap_width, end_x});
    return pieces;
}

}  // namespace skin
