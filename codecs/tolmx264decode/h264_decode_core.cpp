#include "codecs/tolmx264decode/h264_decode_core.h"
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace h264dec {

namespace {
// True when Annex B data holds a slice (NAL unit types 1 to 5); parameter sets alone do not.
bool has_slice(const uint8_t* data, int length) {
    for (int i = 0; i + 3 < length; ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            int type = data[i + 3] & 0x1F;
            if (type >= 1 && type <= 5) return true;
            i += 2;
        }
    }
    return false;
}
}  // namespace

bool Decoder::init(int width, int height) {
    if (libav::picture_bytes(libav::Layout::kBgr24, width, height) <= 0) return false;
    width_ = width;
    height_ = height;
    return video_.open(AV_CODEC_ID_H264);
}

int Decoder::decode(const uint8_t* data, int length, uint8_t* frame, libav::Layout layout) {
    if (!video_.is_open() || (data && length <= 0)) return -1;
    // Parameter sets alone are kept by the decoder, which reports "no frame" for them: not a refusal.
    if (data && !has_slice(data, length)) {
        video_.decode(data, length);
        return 0;
    }
    int pictures = video_.decode(data, data ? length : 0);
    if (pictures <= 0) return pictures;
    return int(video_.write(frame, libav::picture_bytes(layout, width_, height_), layout));
}

bool Decoder::size(int* width, int* height) const {
    bool known = video_.has_picture();
    if (width) *width = known ? video_.width() : 0;
    if (height) *height = known ? video_.height() : 0;
    return known;
}

}  // namespace h264dec
