// One interface for the three video encoders: the program's own H.263 encoder, Xvid (MPEG-4 Part 2)
// and x264 (H.264). Each takes a view of a B,G,R picture of the output size (the frame path's composed
// picture, or the decoder's own buffer when it already has that size: never copied first) and returns
// coded pictures.
#pragma once
#include <cstdint>
#include "engine/image/rgb_image.h"
#include "engine/output/output_choice.h"
#include "engine/timing/frame_timing.h"

struct CodedPicture {
    const uint8_t* data = nullptr;
    int size = 0;
    bool key = false;
    int mp4_kind = 0;  // mp4en_video: 1 H.263, 2 key picture, 3 other picture
};

// H.264 parameter sets and stream values for an MP4 track.
struct H264Headers {
    static constexpr int kCapacity = 1024;
    uint8_t pps[kCapacity];
    uint8_t sps[kCapacity];
};

class VideoEncoder {
public:
    virtual ~VideoEncoder() = default;
    virtual VideoCodec codec() const = 0;
    // width x height is the output size; rate the exact rate, dialog_rate its whole-number form.
    virtual bool set_up(int width, int height, const FrameRate& rate, int dialog_rate) = 0;
    // Codes a B,G,R picture of the set-up size at any stride. frame_counter counts the job's pictures
    // so far (the intra cadence). Returns the byte count; 0 or below: nothing to write (also for a view
    // of another size or layout).
    virtual int encode(const PictureView& picture, int frame_counter, CodedPicture* out) = 0;
    // Whether a picture that gave no bytes still counts as passed to the encoder.
    virtual bool counts_empty_pictures() const { return false; }
    // Units of the durations an MP4 file gets: 1/1000 s, or 1/90000 s for H.264.
    virtual int timescale() const { return 1000; }
    virtual void close() = 0;

    // H.264 only: parameter sets once the encoder has them (lengths, 0 when not yet), and the
    // profile, compatibility and level values.
    virtual int picture_parameter_set(uint8_t*) { return 0; }
    virtual int sequence_parameter_set(uint8_t*) { return 0; }
    virtual void stream_values(int* profile, int* compatibility, int* level) { *profile = *compatibility = *level = 0; }
};
