#include "gif_picture.h"
#include <algorithm>

namespace videofx {

namespace {

// The coded row that holds display row y of an interlaced frame of `height` rows: passes of every
// 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
int interlaced_source_row(int y, int height) {
    const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    int coded = 0;
    for (int pass = 0; pass < 4; ++pass) {
        if (y >= starts[pass] && (y - starts[pass]) % steps[pass] == 0) return coded + (y - starts[pass]) / steps[pass];
        if (height > starts[pass]) coded += (height - starts[pass] + steps[pass] - 1) / steps[pass];
    }
    return y;
}

}  // namespace

CRgbImage gif_frame_picture(const GifInfo& info, const GifFrame& frame) {
    CRgbImage picture(info.screenWidth, info.screenHeight);
    if (picture.empty() || frame.pixels.size() != size_t(frame.width) * frame.height ||
        frame.left >= picture.width() || frame.top >= picture.height())
        return picture;
    const uint8_t* table = frame.hasLocalTable ? frame.localTable.data() : info.globalTable;
    const int entries = frame.hasLocalTable ? int(frame.localTable.size() / 3) : (table ? info.globalTableSize : 0);
    const int right = std::min<int>(frame.left + frame.width, picture.width());
    const int bottom = std::min<int>(frame.top + frame.height, picture.height());
    for (int y = frame.top; y < bottom; ++y) {
        const int fy = y - frame.top;
        const int coded = frame.interlaced ? interlaced_source_row(fy, frame.height) : fy;
        const uint8_t* index = frame.pixels.data() + size_t(coded) * frame.width;
        uint8_t* out = picture.row(y) + 3 * size_t(frame.left);
        for (int x = frame.left; x < right; ++x, ++index, out += 3) {
            if (*index >= entries) continue;  // black
            const uint8_t* rgb = table + 3 * size_t(*index);
            out[0] = rgb[2];
            out[1] = rgb[1];
            out[2] = rgb[0];
        }
    }
    return picture;
}

CRgbImage gif_first_frame_picture(const char* path) {
    CGifDecoder decoder;
    if (!decoder.Open(path, false)) return CRgbImage(0, 0);
    const GifFrame* frame = decoder.GetNextFrame();
    if (!frame) return CRgbImage(0, 0);
    return gif_frame_picture(*decoder.GetInfo(), *frame);
}

}  // namespace videofx
