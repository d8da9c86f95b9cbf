#include "routine_support.h"

namespace routine {

void map_channels(CEffectImage& image, const ChannelTables& tables, Progress* progress) {
    const int width = image.width();
    for_each_row(image, progress, [&](uint8_t* p) {
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = tables[0][p[0]];
            p[1] = tables[1][p[1]];
            p[2] = tables[2][p[2]];
        }
    });
}

bool readable_bgr(const PictureView& view) {
    return view.format == PixelFormat::kBgr24 && view.data && view.width > 0 && view.height > 0 &&
           int64_t(view.stride) >= int64_t(view.width) * 3;
}

}  // namespace routine
