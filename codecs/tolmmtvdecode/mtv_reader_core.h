// MTV files (libavformat's mtv demuxer) and AMV files (its AVI demuxer) read frame by frame: each frame
// is a stored picture and the sound stored with it, both handed out as stored. MTV stores a picture
// after the MP3 chunks of its segment; AMV one IMA ADPCM block after each picture.
#pragma once
#include "codecs/libav/demuxer.h"
#include <string>
#include <vector>

namespace mtvreader {

enum class Kind { kMtv, kAmv };

class Reader {
public:
    bool open(const std::string& unix_path, Kind kind);
    Kind kind() const { return kind_; }

    // Returns the picture count.
    int video(int* width, int* height, double* fps, int* kbps, double* duration_s) const;
    // Returns the count of stored sound chunks (MTV) or blocks (AMV).
    int audio(int* sample_rate, int* channels, int* kbps) const;
    // 1 for 5-5-5 pixels, 0 for 5-6-5; 16 bits a pixel.
    void picture_info(int* pixel_format, int* bits_per_pixel) const;
    // Frames: MTV one per picture, AMV the larger of the picture and block counts.
    int frame_count() const { return int(frames_.size()); }
    // Writes frame `frame`'s sound (the whole chunks that fit) and, when it fits *picture_length, its
    // picture. Returns the sound bytes, -1 for no such frame or unreadable bytes (*picture_length 0).
    int data(int frame, uint8_t* sound, int sound_capacity, uint8_t* picture, int* picture_length);

private:
    struct Frame {
        libav::Sample picture;  // size 0 when the frame has none
        std::vector<libav::Sample> sound;
    };
    double seconds() const;

    libav::Demuxer demux_;
    Kind kind_ = Kind::kMtv;
    std::vector<Frame> frames_;
    int pictures_ = 0, sound_chunks_ = 0;
    int64_t picture_bytes_ = 0, sound_bytes_ = 0;
    int width_ = 0, height_ = 0, pixel_format_ = 0;
    double fps_ = 0;
    int sample_rate_ = 0, channels_ = 0;
};

}  // namespace mtvreader
