// ISO media files (MP4, 3GP, MOV, F4V) through libavformat's mov demuxer: the tracks, the video and
// sound track the program decodes, and their samples read by number from the demuxer's index.
#pragma once
#include "codecs/libav/demuxer.h"
#include <string>
#include <vector>

namespace mp4reader {

enum VideoCodec { kNoVideo = 0, kH263 = 1, kMpeg4 = 2, kH264 = 3 };
enum AudioCodec { kNoAudio = 0, kAmrNb = 1, kAmrWb = 2, kMp4a = 3 };

constexpr int kConfigCapacity = 1024;
// Larger samples (and samples past the end of the file) are not read.
constexpr int kMaxSample = 16 << 20;

// avcC record to its sequence and picture parameter sets, each behind 00 00 00 01; empty when the
// record is damaged or the result exceeds capacity.
std::vector<uint8_t> avcc_to_annex_b(const std::vector<uint8_t>& avcc, size_t capacity);

class Reader {
public:
    bool open(const std::string& unix_path);

    int track_count() const { return int(tracks_.size()); }
    // handler and codec: 5 bytes each. Returns the sample count, -1 for no such track.
    int track_info(int track, char* handler, char* codec, int* largest) const;

    VideoCodec video_codec(int* sample_count, int* largest) const;
    AudioCodec audio_codec(int* sample_count, int* largest) const;
    // Returns the configuration's length (config: kConfigCapacity bytes), -1 without a video track.
    int video_info(int* width, int* height, double* fps, int* kbps, double* duration_ms, int* time_scale,
                   uint8_t* config) const;
    int audio_info(int* sample_rate, int* channels, int* kbps, double* duration_ms) const;
    int aac_config(uint8_t* config, int capacity) const;
    // name: 64 bytes. Returns its length, -1 without a sound track.
    int audio_name(char* name) const;
    // Returns the sample's length, -1 when there is no such sample or it cannot be read.
    int read_video(uint8_t* buffer, int sample, int* time_ms, int* size, uint8_t* key);
    int read_audio(uint8_t* buffer, int sample, int* time_ms, int* size);

private:
    struct Track {
        std::vector<libav::Sample> samples;
        int largest = 0;
        int64_t bytes = 0;
        double duration_ms = 0;
    };
    int read(int track, uint8_t* buffer, int sample, int* time_ms, int* size, uint8_t* key);
    int kbps(int track) const;

    libav::Demuxer demux_;
    std::vector<Track> tracks_;
    int video_ = -1, audio_ = -1;
};

}  // namespace mp4reader
