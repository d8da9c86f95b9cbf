#include "codecs/tolmmpeg4decode/mpeg4_core.h"
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace mpeg4dec {

namespace {
// True when data holds a picture (a VOP start code 00 00 01 B6); configuration headers alone do not.
bool has_picture(const uint8_t* data, int length) {
    for (int i = 0; i + 3 < length; ++i)
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && data[i + 3] == 0xB6) return true;
    return false;
}
}  // namespace

bool Decoder::init(int width, int height) {
    if (width < 1 || height < 1) return false;
    width_ = width;
    height_ = height;
    return video_.open(AV_CODEC_ID_MPEG4);
}

int Decoder::decode(const uint8_t* data, int length, uint8_t* picture, int picture_bytes, int* intra) {
    if (intra) *intra = 0;
    if (!data || length <= 0 || picture_bytes < 0) return -1;
    // libavcodec takes configuration headers (VOS, VO, VOL) as the decoder's extradata, not as a picture.
    if (!has_picture(data, length)) return video_.open(AV_CODEC_ID_MPEG4, data, length) ? 0 : -1;
    int pictures = video_.decode(data, length);
    if (pictures <= 0) return pictures;
    if (intra) *intra = video_.key() ? 1 : 0;
    if (video_.width() != width_ || video_.height() != height_) {
        width_ = video_.width();
        height_ = video_.height();
        return kSizeChanged;
    }
    return int(video_.write(picture, picture_bytes, libav::Layout::kBgr24));
}

}  // namespace mpeg4dec
