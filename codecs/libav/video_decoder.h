// A libavcodec video decoder as the picture stand-ins use it: opened by codec id with its configuration
// (extradata), one coded picture in per call, the newest decoded picture kept and written out on request
// as B,G,R rows top-down at stride (3w+3)&~3 or as YUY2, never past the capacity the caller gives.
#pragma once
#include <cstdint>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace libav {

enum class Layout { kBgr24, kYuy2 };

// Bytes a width x height picture takes in the layout (0 for a size below 1 x 1).
int64_t picture_bytes(Layout layout, int width, int height);

class VideoDecoder {
public:
    VideoDecoder() = default;
    ~VideoDecoder() { close(); }
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // codec_id is libavcodec's AVCodecID; codec_tag the container's four-character code (first character
    // in the low byte; 0 none), from which some decoders learn which encoder's faults to work around.
    // False when the decoder cannot be opened.
    bool open(int codec_id, const uint8_t* extradata = nullptr, int extradata_size = 0, uint32_t codec_tag = 0);
    void close();
    bool is_open() const { return ctx_ != nullptr; }

    // Decodes one coded picture. Returns the number of pictures that came out (the newest is kept), or
    // -1 when the data was refused. data null or size 0 drains: each such call hands out the next
    // delayed picture (1), and once none is left (0) the decoder is ready for a new stream.
    int decode(const uint8_t* data, int size);

    // The newest decoded picture.
    bool has_picture() const { return has_picture_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool key() const { return key_; }
    // Size the codec announced before any picture (0 when none yet).
    int coded_width() const;
    int coded_height() const;

    // Writes the newest picture in the layout. Returns the bytes written; 0 when there is no picture or
    // it needs more than capacity bytes (then nothing is written); -1 when the conversion fails.
    int64_t write(uint8_t* out, int64_t capacity, Layout layout);

    // decode() then write() of the picture that came out: the bytes written; 0 when no picture came
    // out or it does not fit (nothing written); -1 when the data was refused.
    int64_t decode_into(const uint8_t* data, int size, uint8_t* out, int64_t capacity, Layout layout);

private:
    bool receive_one();
    int receive_all();

    AVCodecContext* ctx_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;   // scratch for receiving
    AVFrame* newest_ = nullptr;  // the newest picture
    SwsContext* sws_ = nullptr;
    bool has_picture_ = false;
    bool draining_ = false;
    bool key_ = false;
    int width_ = 0, height_ = 0;
};

}  // namespace libav
