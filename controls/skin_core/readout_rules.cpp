#include "readout_rules.h"
#include <algorithm>

namespace skin {

SegmentMetrics segment_metrics(int height) {
    int t = (int)(height * 0.06), l = (int)(height * 0.35);
    return SegmentMetrics{t < 1 ? 1 : t, l < 1 ? 1 : l};
}

unsigned segment_pattern(char c) {
    static const unsigned digits[10] = {0xFC, 0x60, 0xDA, 0xF2, 0x66, 0xB6, 0xBE, 0xE0, 0xFE, 0xF6};
    if (c >= '0' && c <= '9') return digits[c - '0'];
    return c == '-' ? 0x02 : 0;
}

namespace {

// Segment `bit` of the character whose left edge is x.
SegmentLine segment(unsigned bit, int x, SegmentMetrics m, bool lit) {
    const int t = m.thickness, l = m.length;
    switch (bit) {
    case 0x80: return {x + 2 * t, t, x + l, t, lit};
    case 0x40: return {x + t + l, 2 * t, x + t + l, l + 2 * t, lit};
    case 0x20: return {x + t + l, l + 4 * t, x + t + l, 2 * l + 3 * t, lit};
    case 0x10: return {x + 2 * t, 2 * l + 4 * t, x + l, 2 * l + 4 * t, lit};
    case 0x08: return {x + t, l + 4 * t, x + t, 2 * l + 3 * t, lit};
    case 0x04: return {x + t, 2 * t, x + t, l + 2 * t, lit};
    default: return {x + 2 * t, l + 3 * t, x + l, l + 3 * t, lit};  // 0x02, the middle
    }
}

}  // namespace

SegmentLayout segment_layout(const std::string& text, SegmentMetrics m, bool show_unlit) {
    SegmentLayout out;
    const int t = m.thickness, l = m.length;
    int x = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i > 0) x += c == ':' ? t + l : (text[i - 1] == ':' ? l + 1 : l + 4 * t);
        out.char_x.push_back(x);
        if (show_unlit && c != ':')
            for (unsigned bit = 0x80; bit >= 0x02; bit >>= 1) out.lines.push_back(segment(bit, x, m, false));
        if (c == '.') {
            out.lines.push_back({x + 2 * t, 2 * l + 4 * t, x + l / 2, 2 * l + 4 * t, true});
        } else if (c == ':') {
            out.lines.push_back({x + 4 * t, l, x + l / 2 + 2 * t, l, true});
            out.lines.push_back({x + 4 * t, 2 * l + t, x + l / 2 + 2 * t, 2 * l + t, true});
        } else {
            const unsigned pattern = segment_pattern(c);
            for (unsigned bit = 0x80; bit >= 0x02; bit >>= 1)
                if (pattern & bit) out.lines.push_back(segment(bit, x, m, true));
        }
    }
    return out;
}

int segment_text_width(const std::string& text, SegmentMetrics m) {
    int right = 0;
    for (const SegmentLine& l : segment_layout(text, m, true).lines) right = std::max({right, l.x1, l.x2});
    return text.empty() ? 0 : right + m.thickness;
}

SegmentMetrics fit_segment_width(SegmentMetrics m, const std::string& text, int width) {
    while (m.length > 1 && segment_text_width(text, m) > width) --m.length;
    return m;
}

}  // namespace skin
