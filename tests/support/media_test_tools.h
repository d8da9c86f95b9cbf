// Helpers for media tests that check files with the ffmpeg tools and build inputs at test time.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace media_test {

// Runs a shell command; returns its standard output and sets *status to its exit status.
std::string run(const std::string& command, int* status = nullptr);

std::vector<uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<uint8_t>& bytes);

// ImageMagick's decode of a picture file (a frame of it with "name[n]") as packed 8-bit R,G,B rows,
// alpha dropped and any page offset removed; empty when ImageMagick fails.
std::vector<uint8_t> magick_rgb(const std::string& path);

// A file path in this test process's scratch folder (removed at exit unless KEEP_TEST_FILES is set).
std::string out_path(const std::string& name);
// The same for a file the test creates new: an earlier run's file of that name is removed.
std::string fresh_path(const std::string& name);

// ffprobe's view of one stream: key=value pairs of -show_streams.
using Fields = std::map<std::string, std::string>;
std::vector<Fields> probe_streams(const std::string& path);

// One demuxed packet as ffprobe reports it.
struct Packet {
    int stream = 0;
    int64_t pos = 0;
    int64_t size = 0;
    bool key = false;
};
std::vector<Packet> probe_packets(const std::string& path);

// What ffmpeg decodes of one stream: frames and their total duration.
struct Decoded {
    int frames = 0;
    double seconds = 0;
};
// Decodes every stream (index -> result); *errors gets ffmpeg's error output.
std::map<int, Decoded> decoded_frames(const std::string& path, std::string* errors);
// The pictures ffmpeg decodes of the first video stream at the stream's constant rate (-vsync cfr):
// a picture the file holds for longer (after an AVI's empty chunk) counts once for every frame it lasts.
int constant_rate_frames(const std::string& path);

uint32_t le32(const uint8_t* p);
void put_le32(uint8_t* p, uint32_t v);

}  // namespace media_test
