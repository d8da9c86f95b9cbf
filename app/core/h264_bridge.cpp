#include "app/core/h264_bridge.h"

namespace {
// At most this many pictures come out of one flush (a decoder holds a handful; this ends a decoder
// that never says it is empty).
constexpr int kMostFlushedPictures = 64;
}  // namespace

int H264Bridge::open(const H264DecoderCalls& calls, int width, int height) {
    if (width <= 0 || height <= 0) return -1;
    flushed_.assign(std::size_t((3 * width + 3) & ~3) * std::size_t(height), 0);
    const int result = calls.init(width, height);
    open_ = result >= 0;
    return result;
}

int H264Bridge::flush(const H264DecoderCalls& calls) {
    int bytes = 0;
    if (!open_ || flushed_.empty()) return 0;
    for (int i = 0; i < kMostFlushedPictures; ++i) {
        const int r = calls.decode(nullptr, 0, flushed_.data());
        if (r <= 0) break;
        bytes = r;
    }
    return bytes;
}

int H264Bridge::close(const H264DecoderCalls& calls) {
    open_ = false;
    return calls.close();
}

int H264Bridge::handle(int sub_code, const H264DecoderCalls& calls, int width, int height,
                       const H264DecodeRequest& request, int* decoded_bytes) {
    if (!calls.init || !calls.decode || !calls.close) return -1;
    switch (sub_code) {
    case 1: return open(calls, width, height);
    case 2:
        *decoded_bytes = flush(calls);
        return close(calls);
    case 4: {
        if (!open_ || !request.data || request.length <= 0 || !request.picture) return -1;
        const int r = calls.decode(request.data, request.length, request.picture);
        *decoded_bytes = r > 0 ? r : 0;
        return r;
    }
    case 5:
        open(calls, width, height);
        *decoded_bytes = flush(calls);
        return close(calls);
    default: return -1;
    }
}
