// Checks of a written media file with Debian's ffprobe and ffmpeg (run as programs), for the stand-ins'
// end-to-end tests: streams and durations, decoding without error, decoded sound and pictures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace media_check {

struct Stream {
    std::string type;   // "video" or "audio"
    std::string codec;  // ffprobe's codec_name
    double duration = 0;
    int width = 0, height = 0, sample_rate = 0, channels = 0;
};

// The streams ffprobe reports; empty when it cannot read the file. A stream whose header gives no
// duration gets the end of its last packet.
std::vector<Stream> probe(const std::string& path);
// Runs a full decode; returns ffmpeg's error output (empty when everything decoded cleanly).
std::string decode_errors(const std::string& path);
// The first sound stream decoded to interleaved 16-bit PCM at its own rate and channels.
std::vector<int16_t> decode_sound(const std::string& path);
// The first sound stream's coded bytes, copied out in the given ffmpeg format (e.g. "amr").
std::string sound_stream_copy(const std::string& path, const char* format);
// The key flag of every video packet, in the order the file stores them.
std::vector<bool> key_pictures(const std::string& path);
// The video decoded to packed B,G,R pictures of width x height (stride (3w+3)&~3), one per picture;
// `filter` (an ffmpeg filter chain, e.g. a scale to width x height) runs on each picture first.
std::vector<std::vector<uint8_t>> decode_pictures(const std::string& path, int width, int height,
                                                  const std::string& filter = "");

// What one decode of a file gives: its streams, the first video stream's pictures (as
// decode_pictures gives them; none when width is 0), the first sound stream's samples with its rate
// and channels, and ffmpeg's error output of that decode (empty when everything decoded cleanly).
struct Decoded {
    std::vector<Stream> streams;
    std::vector<std::vector<uint8_t>> pictures;
    std::vector<int16_t> pcm;
    int rate = 0, channels = 0;
    std::string errors;
    // The first stream of a type ("video", "audio"), null when none.
    const Stream* stream(const std::string& type) const;
    // How long the decoded sound lasts, in seconds (0 without sound).
    double sound_seconds() const;
};
// One ffprobe and one ffmpeg run for all of it (the checks that decode a file several times each
// cost a whole decode).
Decoded decode(const std::string& path, int width, int height, const std::string& filter = "");

}  // namespace media_check
