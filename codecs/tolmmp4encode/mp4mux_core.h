// 3GP and MP4 writing over libavformat for the multiplexer DLL: one file at a time, every call guarded
// by one lock (sound may be written from another thread than pictures). Calls without a successful
// init, and data for a track never added, are ignored.
//
// The file's header is written at the first usable picture (by then every track is known; an H.264
// track is added only at its first picture); sound that comes earlier waits in memory until then.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct AVFormatContext;

namespace mp4mux {

enum class Container { Mp4 = 1, ThreeGp = 2 };
enum class VideoCodec { None, H263, Mpeg4, H264 };
enum class AudioCodec { None, AmrNb, Aac };

// Picture type of an H.263 picture from its header: true for an intra picture.
bool h263_is_intra(const uint8_t* data, int length);
// The decoder configuration of an MPEG-4 Part 2 key picture: the headers before its first VOP.
std::vector<uint8_t> mpeg4_config(const uint8_t* data, int length);
// Annex B NAL units to 4-byte length-prefixed form, leaving out parameter sets and delimiters.
std::vector<uint8_t> annexb_to_length_prefixed(const uint8_t* data, int length);
// avcC record from bare SPS and PPS.
std::vector<uint8_t> avcc(const std::vector<uint8_t>& sps, const std::vector<uint8_t>& pps);

class Muxer {
public:
    ~Muxer() { close(); }
    // unix_path must not exist yet. Returns 0 or -1.
    int init(const std::string& unix_path, int container);
    // The set-up calls return 0, or -1 when the call was refused (no file open, header already
    // written, a track of that kind already there, or values out of range).
    int add_video(int codec, int width, int height);
    int add_audio(int codec, int sample_rate, int channels);
    int set_audio_config(const uint8_t* config, int length);
    // Samples the sound encoder puts in front of the sound (its start-up delay): the sound track starts
    // that much before time 0, so a player's edit list drops them and the sound lines up with the
    // pictures from its first sample. At most one second.
    int set_audio_delay(int samples);
    int add_h264(int width, int height);
    int set_h264_pps(const uint8_t* pps, int length);
    int set_h264_sps(const uint8_t* sps, int length);
    // kind: 1 H.263, 2 key picture, 3 other picture; duration in ms (H.264: 1/90000 s).
    // 0 when the picture was written; -1 when it was not (no such track, no key picture yet, or
    // writing failed).
    int video(int kind, const uint8_t* data, int length, int duration);
    // duration in samples of the sound track. 0 when written or held for the header, -1 when ignored
    // or writing failed.
    int audio(const uint8_t* data, int length, int duration);
    // Completes the file. Returns 0, or -1 when nothing was open or writing failed.
    int close();

private:
    struct Pending {
        std::vector<uint8_t> data;
        int duration;
    };
    bool write_header();
    bool write(int stream, const uint8_t* data, int length, int64_t time, int duration, bool key);
    void discard();

    std::mutex lock_;
    AVFormatContext* oc_ = nullptr;
    std::string path_;
    Container container_ = Container::Mp4;
    bool open_ = false, header_ = false, failed_ = false;
    VideoCodec video_ = VideoCodec::None;
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> video_config_, sps_, pps_;
    AudioCodec audio_ = AudioCodec::None;
    int sample_rate_ = 0, channels_ = 0;
    std::vector<uint8_t> audio_config_;
    int audio_delay_ = 0;
    int video_stream_ = -1, audio_stream_ = -1;
    int64_t video_time_ = 0, audio_time_ = 0;
    std::vector<Pending> pending_audio_;
};

}  // namespace mp4mux
