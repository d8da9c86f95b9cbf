// Half-pel motion estimation on a reference picture interpolated to twice its size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace h263 {

struct MotionVector {
    int x = 0, y = 0;  // half-pel units
};

// The reference luma at half-pel resolution: sample (X, Y) is at half-pel position X, Y.
class HalfPelGrid {
public:
    void build(const int32_t* luma, int width, int height);
    int32_t at(int x, int y) const { return samples_[size_t(y) * width2_ + x]; }
    int width() const { return width2_ / 2; }
    int height() const { return height2_ / 2; }

private:
    std::vector<int32_t> samples_;
    int width2_ = 0, height2_ = 0;
};

struct MotionResult {
    MotionVector vector;
    int cost = 0;  // best SAD; the zero vector's counts 100 less
};

// Shrinking three-by-three search around the macroblock at (mb_x, mb_y), within range half pels,
// keeping the 16x16 block inside the picture. source is the current luma plane.
MotionResult search_macroblock(const HalfPelGrid& ref, const int32_t* source, int mb_x, int mb_y, int range);

// SAD of the 16x16 block at pixel (px, py) of source against the grid at half-pel (gx, gy);
// stops as soon as a row ends above limit (the result is then above limit).
int block_sad(const HalfPelGrid& ref, const int32_t* source, int px, int py, int gx, int gy, int limit);

}  // namespace h263
