// MPEG fixtures made at test time with ffmpeg: a moving test picture and a 1 kHz tone in the systems
// and elementary stream formats the demultiplexer and the stream parser read.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mpeg_fixtures {

struct Fixture {
    std::string name;
    std::string path;        // the file as made (what ffmpeg and ffprobe read)
    std::vector<uint8_t> bytes;  // what is fed (for the CDXA .dat: the wrapped file)
    int kind = 0;            // stream kind for the demultiplexer
    int width = 0, height = 0;
    bool video = true;
    bool audio = true;
};

// One of: "vcd", "vcd_dat", "vcd_muxer" (plain -f vcd), "dvd", "ts", "ts_audio_first", "ts_1080", "es", "ps_mp3_22k", "mp2", "ac3".
// The file is named after `tag` too (ctest runs the tests of one folder side by side; test_tag.h).
Fixture make(const std::string& name, const std::string& tag);
std::vector<std::string> all_names();

// Any file ffmpeg makes from `arguments` (inputs, codecs, format), named `name` in the test's folder
// (a name no other test uses); empty when ffmpeg fails.
std::vector<uint8_t> ffmpeg_file(const std::string& arguments, const std::string& name, std::string* path = nullptr);

// Wraps program stream packs in a RIFF/CDXA file of 2352-byte mode 2 sectors, as VCD's .dat files are.
std::vector<uint8_t> wrap_cdxa(const std::vector<uint8_t>& program_stream);

}  // namespace mpeg_fixtures
