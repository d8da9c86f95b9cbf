// The wave scope's area on screen. The picture is put into pixels of our own and shown with one
// SetDIBitsToDevice: a frame costs one GDI call instead of a brush per band and a MoveToEx/LineTo
// pair per line, some 650 fills and lines in the usual label.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>
#include "app/core/wave_scope.h"

class ScopeCanvas {
public:
    // Shows `picture` (width x height, its rows from the top) at the device context's origin.
    // Returns false when GDI refuses the transfer.
    bool paint(HDC dc, const ScopePicture& picture, int width, int height);

private:
    std::vector<uint32_t> pixels_;  // grows to the area once, then is reused frame after frame
};
