// AVI pictures of the codecs the program plays from AVI files (MPEG-4 Part 2 under its many four-character
// codes, Motion JPEG, H.263, H.264 in Annex B form) into 24-bit B,G,R pictures, rows top-down at
// stride (3 x width + 3) & ~3, of the size the caller names.
#pragma once
#include <cstdint>
#include <vector>
#include "codecs/libav/video_decoder.h"

namespace divx {

// What the four-character code of an AVI video stream decodes with (libavcodec's AVCodecID; 0 when
// none of ours takes it). Upper and lower case are both accepted: "XVID", "xvid", "DX50", "dx50" ...
int codec_for(const char code[4]);

// The 80-byte video description of an AVI file: width at byte 40, height at 44, code at 56.
constexpr int kDescriptionBytes = 80;

class Player {
public:
    // Opens the decoder the description's code names at its size. False for an unknown code, a size
    // below 1 x 1 or above libav's limit, or a decoder that cannot be opened.
    bool init(const uint8_t* description);

    // Decodes one stored picture (data null: hands out the next picture the decoder still holds back,
    // as B-frames delay pictures) and writes the picture that came out in B,G,R at width x height:
    // a picture of another size is cropped from its top-left corner and the rest of the frame is
    // black; nothing is written past stride x height. *written = those bytes (0 when no picture came
    // out), *key = 1 when the picture is a key picture. Returns 0; -1 when the data is refused, the
    // size is below 1 x 1 or too large, or the player is not open (then *written = 0).
    int play(const uint8_t* data, int length, uint8_t* frame, int width, int height, int* written, int* key);

    int width() const { return width_; }
    int height() const { return height_; }
    int codec() const { return codec_; }

private:
    int write(uint8_t* frame, int width, int height);

    libav::VideoDecoder video_;
    int codec_ = 0;
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> scratch_;  // a picture of another size at its own size
};

}  // namespace divx
