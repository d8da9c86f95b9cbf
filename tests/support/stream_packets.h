// Packets of a media file as libavformat's demuxer hands them out (what ffprobe lists), for checking a
// stand-in's reads and feeding its decoders; and a comparison of a decoder's pictures with ffmpeg's.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace media_test {

struct StoredPacket {
    int stream = 0;
    bool video = false;
    bool audio = false;
    int64_t pos = -1;
    int64_t dts_ms = 0;
    bool key = false;
    std::vector<uint8_t> data;
};

// Every packet in file order. format: libavformat's short name to force one (null: probed); raw: the
// packets as stored, without re-framing the sound.
std::vector<StoredPacket> demux_packets(const std::string& path, const char* format = nullptr, bool raw = false);
// Only the packets of the first video (or sound) stream.
std::vector<StoredPacket> video_packets(const std::string& path, const char* format = nullptr, bool raw = false);
std::vector<StoredPacket> audio_packets(const std::string& path, const char* format = nullptr, bool raw = false);
// The first video (or sound) stream's configuration (extradata).
std::vector<uint8_t> video_extradata(const std::string& path);
std::vector<uint8_t> audio_extradata(const std::string& path);

struct PictureComparison {
    int pictures = 0;         // pictures the decoder wrote
    int reference = 0;        // pictures ffmpeg decoded
    double worst_psnr = 0;    // lowest PSNR of a written picture against ffmpeg's of the same number
};
// Feeds the first video stream's packets one by one to decode(data, size, out, capacity), which returns
// the bytes it wrote to out (0 none). Each written picture (B,G,R, stride (3w+3)&~3) is compared with
// ffmpeg's bgr24 decode of the file at the same position.
PictureComparison compare_with_ffmpeg(const std::string& path, int width, int height,
                                      const std::function<int(const uint8_t*, int, uint8_t*, int)>& decode);

// The file's bytes [pos, pos + size).
std::vector<uint8_t> file_bytes(const std::string& path, int64_t pos, int64_t size);

}  // namespace media_test
