#include "media/mpeg/video_decoder.h"
#include <cstring>
extern "C" {
#include <mpeg2dec/mpeg2.h>
#include <libswscale/swscale.h>
}
#include "base/picture.h"

namespace mpeg {

namespace {
// A sink's scale size above this is not taken (libswscale's own bound is 16384): the picture comes at its own size.
constexpr int kLargestScale = 8192;
}  // namespace

bool VideoDecoder::open() {
    close();
    decoder_ = mpeg2_init();
    for (BufferSize& b : sizes_) b = BufferSize();
    next_size_ = 0;
    frame_bytes = frame_flags = video_bytes = 0;
    sequence_seen = false;
    tail_length_ = 0;
    return decoder_ != nullptr;
}

void VideoDecoder::close() {
    if (decoder_) mpeg2_close(decoder_);
    decoder_ = nullptr;
    sws_freeContext(to_bgr_);
    to_bgr_ = nullptr;
    sws_freeContext(scale_);
    scale_ = nullptr;
}

bool VideoDecoder::open_dump(const char* path) {
    dump_.close();
    if (!path) return true;
    return dump_.open(path, fileio::File::Mode::CreateAlways);
}

void VideoDecoder::write_dump(const uint8_t* data, size_t length) {
    if (sequence_seen) {
        if (dump_enabled && dump_.is_open()) dump_.write_all(data, int64_t(length));
        return;
    }
    // look for 00 00 01 B3, also across the previous piece's last bytes
    uint8_t joined[3 + 4096];
    size_t offset = 0;
    while (offset < length) {
        const size_t chunk = length - offset < 4096 ? length - offset : 4096;
        std::memcpy(joined, tail_, size_t(tail_length_));
        std::memcpy(joined + tail_length_, data + offset, chunk);
        const size_t n = size_t(tail_length_) + chunk;
        for (size_t i = 0; i + 4 <= n; ++i) {
            if (joined[i] == 0 && joined[i + 1] == 0 && joined[i + 2] == 1 && joined[i + 3] == 0xB3) {
                sequence_seen = true;
                if (dump_enabled && dump_.is_open()) {
                    dump_.write_all(joined + i, int64_t(n - i));
                    if (offset + chunk < length) dump_.write_all(data + offset + chunk, int64_t(length - offset - chunk));
                }
                return;
            }
        }
        tail_length_ = int(n < 3 ? n : 3);
        std::memcpy(tail_, joined + n - size_t(tail_length_), size_t(tail_length_));
        offset += chunk;
    }
}

void VideoDecoder::note_buffer() {
    const mpeg2_info_t* info = mpeg2_info(decoder_);
    if (!info->current_fbuf || !info->current_fbuf->buf[0] || !info->sequence) return;
    const mpeg2_sequence_t* seq = info->sequence;
    BufferSize* slot = nullptr;
    for (BufferSize& s : sizes_)
        if (s.buffer == info->current_fbuf->buf[0]) slot = &s;
    if (!slot) {
        slot = &sizes_[next_size_];
        next_size_ = (next_size_ + 1) % 8;
    }
    *slot = {info->current_fbuf->buf[0], int(seq->width), int(seq->height), int(seq->picture_width),
             int(seq->picture_height), int(seq->chroma_width), int(seq->chroma_height)};
}

void VideoDecoder::take_picture(MediaOutput* out) {
    const mpeg2_info_t* info = mpeg2_info(decoder_);
    if (!info->display_fbuf || !info->display_fbuf->buf[0] || !out) return;
    if (info->display_picture) frame_flags = int(info->display_picture->flags);
    const uint8_t* src = info->display_fbuf->buf[0];
    const BufferSize* size = nullptr;
    for (const BufferSize& s : sizes_)
        if (s.buffer == src) size = &s;
    if (!size) return;  // a buffer no picture was decoded into
    const int source_width = size->width, source_height = size->height;
    if (source_width < 1 || source_height < 1 || source_width > size->coded_width || source_height > size->coded_height)
        return;
    // At the size the sink stretches every picture to, when it says one (nearest neighbour, as the
    // sink scales): the pixels the sink would drop are never converted.
    // A scale size the buffer cannot hold leaves the picture at its own size.
    const bool scaled = out->scale_width > 0 && out->scale_height > 0 && out->scale_width <= kLargestScale &&
                        out->scale_height <= kLargestScale &&
                        size_t(picture::bgr24_stride(out->scale_width)) * size_t(out->scale_height) <=
                            out->frame_capacity;
    const int width = scaled ? out->scale_width : source_width;
    const int height = scaled ? out->scale_height : source_height;
    const int stride = picture::bgr24_stride(width);
    const size_t bytes = size_t(stride) * size_t(height);
    if (!out->frame.data || bytes > out->frame_capacity) {
        // too big for the buffer: skipped, with its size left for the caller
        ++out->pictures_too_big;
        out->frame.width = width;
        out->frame.height = height;
        out->frame.stride = stride;
        return;
    }
    // The planes as libmpeg2 keeps them (rows of the coded width), converted straight into the buffer.
    const bool full_width = size->chroma_width == size->coded_width;
    const bool full_height = size->chroma_height == size->coded_height;
    const AVPixelFormat planar = full_width ? AV_PIX_FMT_YUV444P : full_height ? AV_PIX_FMT_YUV422P : AV_PIX_FMT_YUV420P;
    const uint8_t* planes[3] = {src, info->display_fbuf->buf[1], info->display_fbuf->buf[2]};
    int strides[3] = {size->coded_width, size->chroma_width, size->chroma_width};
    AVPixelFormat converted = planar;
    if (scaled) {
        // The samples kept are picked first, then only they are converted. Picked into 4:2:2 planes,
        // the sampling libswscale itself uses when it scales straight to B,G,R (chroma halved across,
        // a chroma row for every row), so the pictures are those of one nearest-neighbour pass.
        const int chroma_width = (width + 1) / 2;
        scale_ = sws_getCachedContext(scale_, source_width, source_height, planar, width, height, AV_PIX_FMT_YUV422P,
                                      SWS_POINT, nullptr, nullptr, nullptr);
        if (!scale_) return;
        const size_t luma = size_t(width) * size_t(height), chroma = size_t(chroma_width) * size_t(height);
        scaled_.resize(luma + 2 * chroma);
        uint8_t* small[3] = {scaled_.data(), scaled_.data() + luma, scaled_.data() + luma + chroma};
        const int small_strides[3] = {width, chroma_width, chroma_width};
        if (sws_scale(scale_, planes, strides, 0, source_height, small, small_strides) != height) return;
        for (int i = 0; i < 3; ++i) {
            planes[i] = small[i];
            strides[i] = small_strides[i];
        }
        converted = AV_PIX_FMT_YUV422P;
    }
    to_bgr_ = sws_getCachedContext(to_bgr_, width, height, converted, width, height, AV_PIX_FMT_BGR24, SWS_POINT,
                                   nullptr, nullptr, nullptr);
    if (!to_bgr_) return;
    uint8_t* target[1] = {out->frame.data};
    const int target_stride[1] = {stride};
    if (sws_scale(to_bgr_, planes, strides, 0, height, target, target_stride) != height) return;
    for (int y = 0; y < height && stride > width * 3; ++y)
        std::memset(out->frame.data + size_t(y) * size_t(stride) + size_t(width) * 3, 0, size_t(stride - width * 3));
    out->frame.width = width;
    out->frame.height = height;
    out->frame.stride = stride;
    out->frame.format = PixelFormat::kBgr24;
    frame_bytes = int(bytes);
    ++out->pictures;
    if (out->on_picture) out->on_picture(out->frame);
}

void VideoDecoder::feed(const uint8_t* data, size_t length, MediaOutput* out) {
    if (!decoder_ || length == 0) return;
    write_dump(data, length);
    mpeg2_buffer(decoder_, const_cast<uint8_t*>(data), const_cast<uint8_t*>(data) + length);
    video_bytes += int(length);
    for (;;) {
        const mpeg2_state_t state = mpeg2_parse(decoder_);
        switch (state) {
            case STATE_BUFFER:
                return;
            case STATE_PICTURE:
            case STATE_SLICE_1ST:
            case STATE_PICTURE_2ND:
                note_buffer();
                break;
            case STATE_SLICE:
            case STATE_END:
            case STATE_INVALID_END:
                take_picture(out);
                break;
            default:
                break;
        }
    }
}

void VideoDecoder::flush(MediaOutput* out) {
    static const uint8_t kEnd[4] = {0, 0, 1, 0xB7};
    feed(kEnd, sizeof(kEnd), out);
}

}  // namespace mpeg
