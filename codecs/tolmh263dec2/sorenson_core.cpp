#include "codecs/tolmh263dec2/sorenson_core.h"
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace sorenson {

namespace {
class Bits {
public:
    Bits(const uint8_t* data, int length) : data_(data), bits_(int64_t(length) * 8) {}
    // Reads n bits (n <= 24), most significant first; false past the end.
    bool read(int n, uint32_t* value) {
        if (pos_ + n > bits_) return false;
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++pos_) v = v << 1 | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1);
        *value = v;
        return true;
    }

private:
    const uint8_t* data_;
    int64_t bits_;
    int64_t pos_ = 0;
};
}  // namespace

bool read_header(const uint8_t* data, int length, int* width, int* height) {
    if (!data || length <= 0) return false;
    Bits bits(data, length);
    uint32_t start = 0, version = 0, reference = 0, format = 0;
    if (!bits.read(17, &start) || start != 1 || !bits.read(5, &version) || version > 1 || !bits.read(8, &reference) ||
        !bits.read(3, &format))
        return false;
    static const int kSizes[8][2] = {{0, 0}, {0, 0}, {352, 288}, {176, 144}, {128, 96}, {320, 240}, {160, 120}, {0, 0}};
    uint32_t w = uint32_t(kSizes[format][0]), h = uint32_t(kSizes[format][1]);
    if (format == 0 || format == 1) {
        int n = format == 0 ? 8 : 16;
        if (!bits.read(n, &w) || !bits.read(n, &h)) return false;
    }
    if (w < 1 || h < 1) return false;
    *width = int(w);
    *height = int(h);
    return true;
}

bool Decoder::init() {
    width_ = height_ = 0;
    return video_.open(AV_CODEC_ID_FLV1);
}

int Decoder::frame(const uint8_t* data, int length, uint8_t* picture, int picture_bytes) {
    if (!data || length <= 0 || picture_bytes < 0) return -1;
    int w = 0, h = 0;
    bool header = read_header(data, length, &w, &h);
    if (header) {
        width_ = w;
        height_ = h;
    }
    if (!picture) return header ? 0 : -1;
    int result = int(video_.decode_into(data, length, picture, picture_bytes, libav::Layout::kBgr24));
    if (video_.has_picture()) {
        width_ = video_.width();
        height_ = video_.height();
    }
    return result;
}

}  // namespace sorenson
