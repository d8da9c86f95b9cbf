#include "routine_support.h"

namespace routine {

bool readable_bgr(const PictureView& view) {
    return view.format == PixelFormat::kBgr24 && view.data && view.width > 0 && view.height > 0 &&
           int64_t(view.stride) >= int64_t(view.width) * 3;
}

}  // namespace routine
