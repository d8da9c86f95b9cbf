// One interface for the two kinds of output file: 3GP/MP4 through the multiplexer library and AVI
// through the program's AVI writer.
#pragma once
#include <cstdint>
#include "engine/output/sound_encoder.h"
#include "engine/output/video_encoder.h"
#include "engine/timing/frame_timing.h"

struct OutputTracks {
    VideoCodec video = VideoCodec::kH263;
    int width = 0, height = 0;
    FrameRate rate;                    // AVI: the header rate
    bool sound = false;                // a sound track or stream
    SoundFormat sound_format;
    const SoundTrack* sound_track = nullptr;
};

class OutputWriter {
public:
    virtual ~OutputWriter() = default;
    // Creates the file with its tracks. False when it cannot be created.
    virtual bool create(const char* path, const OutputTracks& tracks) = 0;
    virtual bool is_open() const = 0;
    // The H.264 track of an MP4 file, added at its first coded picture that has a sequence set.
    virtual void add_h264_track(int, int, int, int, int, const uint8_t*, int, const uint8_t*, int) {}
    virtual bool wants_h264_track() const { return false; }
    // A coded picture lasting `duration` units of the encoder's timescale.
    virtual void write_picture(const CodedPicture& picture, int duration) = 0;
    // Coded sound; duration in the units the sound encoder gives.
    virtual void write_sound(const uint8_t* data, int length, unsigned duration) = 0;
    // True when every picture has the one header rate (AVI), so a job of another rate has its pictures
    // repeated or dropped to keep time.
    virtual bool constant_rate() const { return false; }
    virtual void close() = 0;
};
