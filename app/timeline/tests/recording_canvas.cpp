#include "recording_canvas.h"
#include "engine/image/rgb_image.h"

void RecordingCanvas::fill(const TlRect& rect, skin::Colour colour) {
    ops.push_back(CanvasOp{CanvasOp::Fill, rect, colour, TlRop::Copy, 1, {}, TlFont::Label, false});
}

void RecordingCanvas::line(int x0, int y0, int x1, int y1, skin::Colour colour, int width) {
    ops.push_back(CanvasOp{CanvasOp::Line, TlRect{x0, y0, x1, y1}, colour, rop_, width, {}, TlFont::Label, false});
}

void RecordingCanvas::text(const char* text, const TlRect& rect, skin::Colour colour, TlFont font, bool centred) {
    ops.push_back(CanvasOp{CanvasOp::Text, rect, colour, rop_, 1, text, font, centred});
}

void RecordingCanvas::picture(const CRgbImage& image, const TlRect& dest) {
    ops.push_back(CanvasOp{CanvasOp::Picture, dest, 0, rop_, 1, {}, TlFont::Label, false});
    const uint8_t* p = image.pixels();
    picture_first_pixels.push_back(p ? unsigned(p[0]) | unsigned(p[1]) << 8 | unsigned(p[2]) << 16 : 0);
}
