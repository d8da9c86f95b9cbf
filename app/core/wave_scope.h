// The wave scope's picture: what the scope thread draws into the second status label from the two
// level buffers the audio path fills (one byte per sample frame and channel). The picture is worked
// out here as fills and lines; the thread only hands them to GDI.
#pragma once
#include <cstdint>
#include <vector>

struct ScopeFill {
    int top, bottom;  // rows top .. bottom - 1, across the whole width
    uint32_t colour;  // 0x00BBGGRR
};

struct ScopeLine {
    int x0, y0, x1, y1;  // from (x0, y0) to (x1, y1), the end point not drawn (as LineTo)
    uint32_t colour;
};

struct ScopePicture {
    std::vector<ScopeFill> fills;
    std::vector<ScopeLine> lines;
};

struct ScopeColours {
    uint32_t main, dark, accent;
};

struct ScopeState {
    bool busy, feed, paused;
};

// A pass takes frames only when more than this many have arrived.
constexpr int kScopeIdleFrames = 100;

class WaveScope {
public:
    enum class Pass { Idle, Discard, Draw };
    // One pass of the 10 ms loop. Idle (count kept) unless a run feeds sound, is not paused and more
    // than 100 frames arrived; then every second such pass draws when there is at least one frame a
    // column and an area of at least 1 x 8, and every such pass takes the frames (count becomes 0).
    Pass pass(const ScopeState& state, const uint8_t* left, const uint8_t* right, int* count, int width, int height,
              const ScopeColours& colours, ScopePicture* picture);

private:
    int passes_ = 0;
};

// The picture of `count` frames in a width x height area (width >= 1, height >= 8, count >= width).
void draw_scope(const uint8_t* left, const uint8_t* right, int count, int width, int height,
                const ScopeColours& colours, ScopePicture* picture);
// The darkening of the band that ends at row i, centre row c.
int scope_band_darkening(int row, int centre);
