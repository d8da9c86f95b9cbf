// VP6 key frames whose 8x8 blocks are flat, for tests: ffmpeg has no VP6 encoder, so the tests write
// their own. Each block carries only its DC coefficient, predicted from its neighbours as the format
// does and coded with the boolean coder in a partition of its own; the header partition asks for no
// model updates (the decoder keeps its key-frame defaults). libavcodec's vp6f decoder gives each block
// the level decoded_level() says.
#pragma once
#include <cstdint>
#include <vector>

namespace vp6_test {

// Requested levels of a picture of mb_cols x mb_rows macroblocks (16 x 16 pixels each).
struct FlatPicture {
    int mb_cols = 0, mb_rows = 0;
    std::vector<uint8_t> y;  // (2 x mb_cols) x (2 x mb_rows) luma blocks, row by row
    std::vector<uint8_t> u;  // mb_cols x mb_rows chroma blocks
    std::vector<uint8_t> v;
};

// The frame as FLV stores it after the crop byte (empty when the picture's sizes disagree).
std::vector<uint8_t> key_frame(const FlatPicture& picture);
// The level libavcodec decodes for a block whose requested level is `level` (within 1 of it).
int decoded_level(int level);
// A picture of coloured blocks that differ from block to block (seed picks the pattern).
FlatPicture pattern(int mb_cols, int mb_rows, int seed);
// A smooth picture: levels that change by at most 5 from block to block, in a slope that seed turns
// (seeds 0 to 4 give five different pictures). Scaled down by nearest neighbour at two sampling phases
// it looks the same, which the hard edges of pattern() do not.
FlatPicture slope(int mb_cols, int mb_rows, int seed);
// The colour a decoder shows at the centre of luma block (bx, by): the decoded levels of that block and
// of its macroblock's chroma, converted with BT.601 (limited range). Returns B, G, R.
void centre_bgr(const FlatPicture& picture, int bx, int by, uint8_t bgr[3]);

}  // namespace vp6_test
