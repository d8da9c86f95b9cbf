#include "codecs/tolmvpdecode/vp6_core.h"
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vp6dec {

bool Decoder::init() {
    crop_ = -1;
    return video_.open(AV_CODEC_ID_VP6F);
}

int Decoder::decode(const uint8_t* data, int length, uint8_t* frame, int frame_size) {
    if (!video_.is_open() || !data || length < 2 || frame_size < 0) return -1;
    const bool key = (data[1] & 0x80) == 0;
    if (data[0] != crop_ && (key || crop_ < 0)) {
        uint8_t crop = data[0];
        if (!video_.open(AV_CODEC_ID_VP6F, &crop, 1)) return -1;
        crop_ = crop;
    }
    return int(video_.decode_into(data + 1, length - 1, frame, frame_size, libav::Layout::kBgr24));
}

bool Decoder::size(int* width, int* height) const {
    bool known = video_.has_picture();
    *width = known ? video_.width() : 0;
    *height = known ? video_.height() : 0;
    return known;
}

}  // namespace vp6dec
