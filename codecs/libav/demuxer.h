// A libavformat demuxer as the container stand-ins use it: opened by a Linux path (the DLL turns the
// program's Windows path into one with fileio::native_path) with a named input format, its streams'
// parameters, its sample index, a scan of every stored packet in file order, and reads of stored bytes
// by position. Every position and size comes from the file: reads check them against the file's size.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;

namespace libav {

enum class StreamType { kVideo, kAudio, kText, kOther };

struct StreamInfo {
    StreamType type = StreamType::kOther;
    int codec_id = 0;           // libavcodec's AVCodecID
    uint32_t codec_tag = 0;     // the container's four-character code, first character in the low byte
    int width = 0, height = 0;
    int pixel_format = -1;      // AVPixelFormat of raw pictures
    int sample_rate = 0, channels = 0;
    int block_align = 0, bits_per_coded_sample = 0;
    int64_t bit_rate = 0;       // as the container states it (0 when it does not)
    int time_base_num = 0, time_base_den = 1;
    double frame_rate = 0;      // the container's average frame rate (0 when it has none)
    double duration_s = 0;      // the container's duration of the stream (0 when it has none)
    std::vector<uint8_t> extradata;
};

// One stored sample or packet: where its bytes are, how many, its time stamp and key flag.
struct Sample {
    int stream = 0;
    int64_t pos = 0;   // byte position of the sample's data in the file
    int size = 0;
    int64_t dts = 0;   // in the stream's time base
    bool key = false;
};

class Demuxer {
public:
    Demuxer() = default;
    ~Demuxer() { close(); }
    Demuxer(const Demuxer&) = delete;
    Demuxer& operator=(const Demuxer&) = delete;

    // format_name: libavformat's short name ("mov", "mtv", "avi"). raw_packets: packets as stored,
    // without libavformat's re-framing of the sound. analyse: parameters the container leaves out (a
    // picture size only the coded stream gives, the real channel count of MP3) are taken from the first
    // packets, as ffprobe does. False when the file is not of that format.
    bool open(const std::string& path, const char* format_name, bool raw_packets = false, bool analyse = false);
    void close();
    bool is_open() const { return ctx_ != nullptr; }

    int stream_count() const { return int(streams_.size()); }
    const StreamInfo& stream(int index) const { return streams_[size_t(index)]; }
    // First stream of the type, -1 when there is none.
    int first_stream(StreamType type) const;

    // The samples of a stream from the container's index, in stored order.
    std::vector<Sample> index(int stream) const;
    // Every packet in file order (reads the whole file once). Packets whose bytes cannot be found in
    // the file at the position the demuxer reports are left out.
    std::vector<Sample> scan();

    // Reads exactly size bytes at pos; false (and nothing promised about out) when they are not there.
    bool read_at(int64_t pos, uint8_t* out, int size);
    int64_t file_size() const { return file_size_; }

    // A time stamp of a stream in milliseconds.
    int64_t to_ms(int stream, int64_t ts) const;

private:
    AVFormatContext* ctx_ = nullptr;
    std::vector<StreamInfo> streams_;
    int64_t file_size_ = 0;
};

}  // namespace libav
