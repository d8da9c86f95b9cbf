// A canvas that keeps every operation, for looking at a painted timeline without a screen.
#pragma once
#include <string>
#include <vector>
#include "app/timeline/timeline_canvas.h"

struct CanvasOp {
    enum Kind { Fill, Line, Text, Picture } kind;
    TlRect rect;  // fill, text and picture rectangles; a line's ends as (x0, y0, x1, y1)
    skin::Colour colour = 0;
    TlRop rop = TlRop::Copy;
    int width = 1;
    std::string text;
    TlFont font = TlFont::Label;
    bool centred = false;
};

class RecordingCanvas : public TimelineCanvas {
public:
    void set_rop(TlRop rop) override { rop_ = rop; }
    void fill(const TlRect& rect, skin::Colour colour) override;
    void line(int x0, int y0, int x1, int y1, skin::Colour colour, int width) override;
    void text(const char* text, const TlRect& rect, skin::Colour colour, TlFont font, bool centred) override;
    void picture(const CRgbImage& image, const TlRect& dest) override;

    std::vector<CanvasOp> ops;
    // The first pixel of each picture drawn (B, G, R), to tell unpacked thumbnails from white ones.
    std::vector<unsigned> picture_first_pixels;

private:
    TlRop rop_ = TlRop::Copy;
};
