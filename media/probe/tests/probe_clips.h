// Inputs for the probe's Winelib tests, made at test time in the test process's scratch folder: with
// ffmpeg where it writes the format, else built here (MTV, FLV with VP6 key frames, compressed SWF, 3GP
// with AMR-NB through the program's own output libraries). Paths are Linux paths; the probe gets the
// Windows path Wine gives them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "media/records/index_file.h"
#include "media/records/media_file_record.h"

namespace probe_clips {

// "Z:" and the path with backslashes.
std::string windows_path(const std::string& unix_path);

// A 2-second clip with a moving picture and a 1 kHz tone ("-ac 2" where it takes it).
extern const char* const kPicture;      // 176 x 144, 25 pictures a second
extern const char* const kTone;         // 44.1 kHz
extern const std::string kClip;         // both, 2 seconds, the tone in two channels
// ffmpeg's inputs and options for a file named `name`; returns its path ("" when ffmpeg failed).
std::string ffmpeg(const std::string& name, const std::string& arguments);
std::string write(const std::string& name, const std::vector<uint8_t>& bytes);

// MTV: 176 x 144, 12 pictures a second, `frames` pictures, MP3 sound at 96 kbit/s.
std::string mtv(const std::string& name, int frames);
// FLV: VP6 key frames (176 x 144 coded, less the crop: columns in its high 4 bits, rows in its low 4)
// at 25 a second and SWF ADPCM sound, 2 seconds. The pictures are vp6_test::pattern()'s hard-edged
// blocks, or with `smooth` vp6_test::slope()'s.
std::string flv_vp6_adpcm(const std::string& name, bool smooth = false, uint8_t crop = 0);
// SWF with its body compressed ("CWS") from an uncompressed one.
std::string cws_from(const std::string& name, const std::string& fws_path);
// 3GP: H.263 (176 x 144, 25 a second, `seconds` long) and AMR-NB at `amr_mode` (74, 102, 122: 7.4,
// 10.2, 12.2 kbit/s, two 20 ms frames a picture), written by tolmmp4encode and tolmamr_encode; "" when
// they cannot be bound.
std::string three_gp(const std::string& name, int amr_mode = 122, int seconds = 2);

// A message the probe showed.
struct Shown {
    std::string text, caption;
};
// The text a format gives with the path.
std::string with_path(const char* format, const std::string& path);

// One probe of a file through its Windows path, with the messages it showed and its index file read
// back (and removed).
struct Probed {
    int result = 0;
    MediaFileRecord record{};
    std::vector<Shown> shown;
    bool index_read = false;
    IndexFile index;
};
Probed probe(const std::string& unix_path);

}  // namespace probe_clips
