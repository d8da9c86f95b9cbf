// The digital read-out without a window: the seven-segment pattern of a character and the lines a text
// is drawn with at a given segment size.
#pragma once
#include <string>
#include <vector>

namespace skin {

struct SegmentMetrics {
    int thickness;  // also the pen width
    int length;
};
// The segment size for a client `height` pixels high (taken at the first paint and kept).
SegmentMetrics segment_metrics(int height);

// The lit segments of a digit or "-" (0x80 top, 0x40 upper right, 0x20 lower right, 0x10 bottom, 0x08
// lower left, 0x04 upper left, 0x02 middle); 0 for any other character.
unsigned segment_pattern(char c);

struct SegmentLine {
    int x1, y1, x2, y2;  // a pen line from (x1, y1) up to, not including, (x2, y2)
    bool lit;            // the text colour (else the unlit colour)
};
struct SegmentLayout {
    std::vector<int> char_x;         // each character's left edge
    std::vector<SegmentLine> lines;  // in drawing order
};
// The lines of `text`: per character its unlit segments first (when shown; never for ":"), then its lit
// segments, the point's dash or the colon's two dashes.
SegmentLayout segment_layout(const std::string& text, SegmentMetrics m, bool show_unlit);

// The pixels `text` takes across at segment size `m`: its rightmost line's end and the pen's width.
int segment_text_width(const std::string& text, SegmentMetrics m);
// `m` with its segment length shortened (to 1 at least) until `text` fits `width` pixels: a read-out
// whose height gives digits too wide for it (a dialog font with narrow characters) still shows every
// digit; a text that fits keeps the size its height gives.
SegmentMetrics fit_segment_width(SegmentMetrics m, const std::string& text, int width);

}  // namespace skin
