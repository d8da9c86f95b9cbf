#include "codecs/libav/codec_context.h"
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace libav {

bool set_extradata(AVCodecContext* ctx, const uint8_t* data, int size) {
    if (!data || size <= 0) return true;
    ctx->extradata = static_cast<uint8_t*>(av_mallocz(size_t(size) + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!ctx->extradata) return false;
    memcpy(ctx->extradata, data, size_t(size));
    ctx->extradata_size = size;
    return true;
}

}  // namespace libav
