#include "media/mpeg/tests/mpeg_fixtures.h"
#include <cstring>
#include "tests/support/media_test_tools.h"

namespace mpeg_fixtures {

namespace {

const char* const kPicture = "-f lavfi -i testsrc=size=%dx%d:rate=25";
const char* const kTone = "-f lavfi -i sine=frequency=1000:sample_rate=%d";

std::string format(const char* pattern, int a, int b = 0) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

bool ffmpeg(const std::string& arguments, const std::string& out) {
    int status = 0;
    media_test::run("ffmpeg -v error -y " + arguments + " '" + out + "' 2>&1", &status);
    return status == 0;
}

}  // namespace

std::vector<uint8_t> ffmpeg_file(const std::string& arguments, const std::string& name, std::string* path) {
    const std::string out = media_test::fresh_path(name);
    if (path) *path = out;
    if (!ffmpeg(arguments, out)) return {};
    return media_test::read_file(out);
}

std::vector<std::string> all_names() {
    return {"vcd", "vcd_dat", "vcd_muxer", "dvd", "ts", "ts_audio_first", "ts_1080", "es", "ps_mp3_22k", "mp2", "ac3"};
}

std::vector<uint8_t> wrap_cdxa(const std::vector<uint8_t>& ps) {
    constexpr size_t kSector = 2352, kUser = 2324;
    const size_t sectors = (ps.size() + kUser - 1) / kUser;
    std::vector<uint8_t> out(44);
    std::memcpy(&out[0], "RIFF", 4);
    media_test::put_le32(&out[4], uint32_t(36 + sectors * kSector));
    std::memcpy(&out[8], "CDXAfmt ", 8);
    media_test::put_le32(&out[16], 16);
    // the fmt chunk of a CD-ROM XA file: ids and attributes, not read here
    std::memcpy(&out[36], "data", 4);
    media_test::put_le32(&out[40], uint32_t(sectors * kSector));
    for (size_t s = 0; s < sectors; ++s) {
        uint8_t sector[kSector] = {};
        std::memset(sector + 1, 0xFF, 10);  // sync 00 FF x10 00
        const size_t lba = s + 150;
        auto bcd = [](size_t v) { return uint8_t((v / 10) << 4 | (v % 10)); };
        sector[12] = bcd(lba / 4500);
        sector[13] = bcd(lba / 75 % 60);
        sector[14] = bcd(lba % 75);
        sector[15] = 2;                              // mode 2
        sector[16] = sector[20] = 1;                 // file
        sector[17] = sector[21] = 1;                 // channel
        sector[18] = sector[22] = 0x62;              // form 2, real-time, video
        const size_t n = std::min(kUser, ps.size() - s * kUser);
        std::memcpy(sector + 24, &ps[s * kUser], n);
        out.insert(out.end(), sector, sector + kSector);
    }
    return out;
}

Fixture make(const std::string& name, const std::string& tag) {
    Fixture f;
    auto own_path = [&tag](const std::string& file) { return media_test::fresh_path(tag + "." + file); };
    f.name = name;
    f.width = 352;
    f.height = 288;
    const std::string pic = format(kPicture, 352, 288);
    bool ok = false;
    if (name == "vcd" || name == "vcd_dat") {
        f.path = own_path(name + ".mpg");
        ok = ffmpeg(pic + " " + format(kTone, 44100) + " -t 2 -ac 2 -target pal-vcd", f.path);
        f.kind = 6;
    } else if (name == "vcd_muxer") {
        // the vcd muxer on its own (no -target): mp2 at its default rate, 2324-byte packs padded
        f.path = own_path(name + ".mpg");
        ok = ffmpeg(pic + " " + format(kTone, 44100) +
                        " -t 4 -c:v mpeg1video -b:v 1150k -c:a mp2 -ar 44100 -ac 2 -f vcd",
                    f.path);
        f.kind = 6;
    } else if (name == "dvd") {
        f.path = own_path(name + ".vob");
        f.width = 720;
        f.height = 576;
        ok = ffmpeg(format(kPicture, 720, 576) + " " + format(kTone, 48000) + " -t 2 -ac 2 -target pal-dvd", f.path);
        f.kind = 6;
    } else if (name == "ts") {
        f.path = own_path(name + ".ts");
        ok = ffmpeg(pic + " " + format(kTone, 48000) + " -t 2 -ac 2 -c:v mpeg2video -q:v 3 -c:a mp2 -b:a 192k -f mpegts",
                    f.path);
        f.kind = 3;
    } else if (name == "ts_audio_first") {
        // program 1: sound only; program 2: picture and sound
        f.path = own_path(name + ".ts");
        ok = ffmpeg(pic + " " + format(kTone, 48000) +
                        " -t 2 -map 1:a -map 0:v -map 1:a -ac 2 -c:v mpeg2video -q:v 3 -c:a mp2 -b:a 192k"
                        " -program program_num=1:st=0 -program program_num=2:st=1:st=2 -f mpegts",
                    f.path);
        f.kind = 3;
    } else if (name == "ts_1080") {
        f.path = own_path(name + ".ts");
        f.width = 1920;
        f.height = 1080;
        ok = ffmpeg(format(kPicture, 1920, 1080) + " " + format(kTone, 48000) +
                        " -t 1 -ac 2 -c:v mpeg2video -q:v 4 -c:a mp2 -b:a 192k -f mpegts",
                    f.path);
        f.kind = 3;
    } else if (name == "es") {
        f.path = own_path(name + ".m2v");
        ok = ffmpeg(pic + " -t 2 -c:v mpeg2video -q:v 3 -f mpeg2video", f.path);
        f.kind = 2;
        f.audio = false;
    } else if (name == "ps_mp3_22k") {
        f.path = own_path(name + ".mpg");
        ok = ffmpeg(pic + " " + format(kTone, 22050) + " -t 2 -ac 2 -c:v mpeg1video -q:v 3 -c:a libmp3lame -b:a 64k -f mpeg",
                    f.path);
        f.kind = 6;
    } else if (name == "mp2") {
        f.path = own_path(name + ".mp2");
        ok = ffmpeg(format(kTone, 44100) + " -t 2 -ac 2 -c:a mp2 -b:a 192k -f mp2", f.path);
        f.kind = 10;
        f.video = false;
    } else if (name == "ac3") {
        f.path = own_path(name + ".ac3");
        ok = ffmpeg(format(kTone, 48000) + " -t 2 -ac 2 -c:a ac3 -b:a 192k -f ac3", f.path);
        f.kind = 11;
        f.video = false;
    }
    if (!ok) return Fixture();
    f.bytes = media_test::read_file(f.path);
    if (name == "vcd_dat") f.bytes = wrap_cdxa(f.bytes);
    if (!f.video) f.width = f.height = 0;
    return f;
}

}  // namespace mpeg_fixtures
