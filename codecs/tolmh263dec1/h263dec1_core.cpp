#include "codecs/tolmh263dec1/h263dec1_core.h"
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace h263dec1 {

bool Decoder::init() { return video_.open(AV_CODEC_ID_H263); }

int Decoder::frame(const uint8_t* data, int length, uint8_t* picture, int picture_bytes) {
    if (!data || length <= 0 || picture_bytes < 0) return -1;
    return int(video_.decode_into(data, length, picture, picture_bytes, libav::Layout::kBgr24));
}

}  // namespace h263dec1
