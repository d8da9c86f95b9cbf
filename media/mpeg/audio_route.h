// Where the demultiplexer's MPEG audio frames are decoded: layer III of MPEG-2 and 2.5 by our decoder,
// everything else (MPEG-1, layers I and II) by the outside library through a table of 32 frames. The
// sound is appended to the output's PCM block.
#pragma once
#include <cstdint>
#include <vector>
#include "base/media_output.h"
#include "codecs/tolmmp3dec/mp3_frame_table.h"
#include "media/mpa/mpa_header.h"
#include "media/mpa/mpadec.h"

struct MpegDemuxLinks;

namespace mpeg {

class AudioRoute {
public:
    enum class Decoder { kUnchosen, kOutside, kOwn };

    ~AudioRoute() { reset(); }
    // Forgets the choice and the frames held, and destroys our decoder instance.
    void reset();
    bool ensure_decoder();
    Decoder choice() const { return choice_; }

    // The first frame chooses the decoder (and opens the outside library with it); every frame is then
    // stored for that decoder. A full table is decoded at once and a new one begun.
    void frame(const uint8_t* p, int length, const mpa::FrameHeader& h, const MpegDemuxLinks& links, MediaOutput* out);
    // Decodes what is gathered: the table through mp3_play, our frames through our decoder.
    void finish(const MpegDemuxLinks& links, MediaOutput* out);
    // Our decoder over a buffer of frames: feeds and decodes by turns until neither goes on.
    void decode(const uint8_t* data, size_t length, const MpegDemuxLinks& links, MediaOutput* out);

private:
    void play(const MpegDemuxLinks& links, MediaOutput* out);

    Decoder choice_ = Decoder::kUnchosen;
    Mp3FrameRecord table_[kMp3FrameTableRecords];
    int table_count_ = 0;
    size_t table_bytes_ = 0;  // PCM the table's frames decode to
    int rate_ = 0, channels_ = 0;
    std::vector<uint8_t> own_;
    mpadec_t decoder_ = nullptr;
};

}  // namespace mpeg
