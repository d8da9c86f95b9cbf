#include "codecs/tolmdivxplay/divx_core.h"
#include <cctype>
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace divx {

namespace {

struct CodeRow {
    char code[5];
    AVCodecID codec;
};
// Four-character codes as AVI files carry them, compared without regard to case.
constexpr CodeRow kCodes[] = {
    {"XVID", AV_CODEC_ID_MPEG4}, {"DIVX", AV_CODEC_ID_MPEG4}, {"DX50", AV_CODEC_ID_MPEG4},
    {"FMP4", AV_CODEC_ID_MPEG4}, {"MP4V", AV_CODEC_ID_MPEG4}, {"MJPG", AV_CODEC_ID_MJPEG},
    {"H263", AV_CODEC_ID_H263},  {"H264", AV_CODEC_ID_H264},  {"X264", AV_CODEC_ID_H264},
    {"AVC1", AV_CODEC_ID_H264},
};

int32_t le32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

}  // namespace

int codec_for(const char code[4]) {
    for (const CodeRow& row : kCodes) {
        bool same = true;
        for (int i = 0; i < 4 && same; ++i)
            same = std::toupper(static_cast<unsigned char>(code[i])) == static_cast<unsigned char>(row.code[i]);
        if (same) return row.codec;
    }
    return 0;
}

bool Player::init(const uint8_t* description) {
    video_.close();
    codec_ = width_ = height_ = 0;
    if (!description) return false;
    const char* code = reinterpret_cast<const char*>(description + 56);
    const int codec = codec_for(code);
    const int width = le32(description + 40), height = le32(description + 44);
    if (!codec || libav::picture_bytes(libav::Layout::kBgr24, width, height) <= 0) return false;
    if (!video_.open(codec, nullptr, 0, uint32_t(le32(description + 56)))) return false;
    codec_ = codec;
    width_ = width;
    height_ = height;
    return true;
}

int Player::play(const uint8_t* data, int length, uint8_t* frame, int width, int height, int* written, int* key) {
    if (written) *written = 0;
    if (key) *key = 0;
    if (!video_.is_open() || !frame || libav::picture_bytes(libav::Layout::kBgr24, width, height) <= 0) return -1;
    int pictures = 0;
    if (!data) {
        pictures = video_.decode(nullptr, 0);
    } else if (length > 0) {
        pictures = video_.decode(data, length);
    } else {
        return 0;  // an empty chunk (a dropped picture) holds nothing to decode
    }
    if (pictures < 0) return -1;
    if (pictures == 0) return 0;
    int bytes = write(frame, width, height);
    if (bytes < 0) return -1;
    if (written) *written = bytes;
    if (key) *key = video_.key() ? 1 : 0;
    return 0;
}

int Player::write(uint8_t* frame, int width, int height) {
    const int64_t bytes = libav::picture_bytes(libav::Layout::kBgr24, width, height);
    const int stride = int(bytes / height);
    if (video_.width() == width && video_.height() == height) {
        if (video_.write(frame, bytes, libav::Layout::kBgr24) != bytes) return -1;
        // The row padding too, so the frame holds nothing of what was there before.
        if (stride > 3 * width)
            for (int y = 0; y < height; ++y) std::memset(frame + size_t(y) * size_t(stride) + 3 * width, 0, size_t(stride - 3 * width));
        return int(bytes);
    }
    // Another size: decode at the picture's own size, then take its top-left part.
    const int64_t own = libav::picture_bytes(libav::Layout::kBgr24, video_.width(), video_.height());
    if (own <= 0) return -1;
    scratch_.resize(size_t(own));
    if (video_.write(scratch_.data(), own, libav::Layout::kBgr24) != own) return -1;
    const int own_stride = int(own / video_.height());
    const int rows = height < video_.height() ? height : video_.height();
    const int row_bytes = 3 * (width < video_.width() ? width : video_.width());
    for (int y = 0; y < rows; ++y) {
        uint8_t* out = frame + size_t(y) * size_t(stride);
        std::memcpy(out, scratch_.data() + size_t(y) * size_t(own_stride), size_t(row_bytes));
        std::memset(out + row_bytes, 0, size_t(stride - row_bytes));
    }
    std::memset(frame + size_t(rows) * size_t(stride), 0, size_t(height - rows) * size_t(stride));
    return int(bytes);
}

}  // namespace divx
