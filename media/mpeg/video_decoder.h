// MPEG-1/2 video through libmpeg2, converted by libswscale to B,G,R pictures (rows top-down, stride (3w+3)&~3) in
// the output's picture buffer: at the stream's own size, or at the output's scale size when it gives one
// (nearest neighbour: the samples kept are picked before they are converted).
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "base/fileio.h"
#include "base/media_output.h"

struct mpeg2dec_s;
struct SwsContext;

namespace mpeg {

class VideoDecoder {
public:
    ~VideoDecoder() { close(); }
    bool open();
    void close();
    bool is_open() const { return decoder_ != nullptr; }

    // Decodes the bytes; every displayed picture goes to the output (and its picture sink).
    void feed(const uint8_t* data, size_t length, MediaOutput* out);
    // At the end of the input: a sequence end code, so that the last picture held comes out.
    void flush(MediaOutput* out);

    int frame_bytes = 0;  // stride x height of the last picture written (cleared by whoever takes it)
    int frame_flags = 0;  // libmpeg2's flags of the last displayed picture
    int video_bytes = 0;  // bytes handed to libmpeg2
    bool sequence_seen = false;

    // Elementary-stream dump: from the first sequence header on, the video bytes are written there.
    bool dump_enabled = false;
    bool open_dump(const char* path);
    void close_dump() { dump_.close(); }

private:
    void write_dump(const uint8_t* data, size_t length);
    void take_picture(MediaOutput* out);
    void note_buffer();

    // The size each picture buffer was decoded at: a picture shown after the sequence changed size
    // still has its own (libmpeg2 reports only the current sequence).
    struct BufferSize {
        const uint8_t* buffer = nullptr;
        int coded_width = 0, coded_height = 0, width = 0, height = 0;
        int chroma_width = 0, chroma_height = 0;
    };
    BufferSize sizes_[8];
    int next_size_ = 0;

    mpeg2dec_s* decoder_ = nullptr;
    SwsContext* to_bgr_ = nullptr;  // the planes to B,G,R, made again when the size changes
    SwsContext* scale_ = nullptr;   // the planes to the output's scale size (nearest neighbour)
    std::vector<uint8_t> scaled_;   // the scaled planes
    uint8_t tail_[3] = {};  // the last bytes seen, for a sequence start code split between pieces
    int tail_length_ = 0;
    fileio::File dump_;
};

}  // namespace mpeg
