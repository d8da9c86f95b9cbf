#include "media_check.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace media_check {
namespace {
// Everything left to read from `f`.
std::string read_rest(FILE* f) {
    std::string bytes;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    return bytes;
}

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        out = read_rest(p);
        pclose(p);
    }
    return out;
}
std::string quoted(const std::string& s) { return "'" + s + "'"; }

// End of the stream's last packet; for streams whose header gives no duration (MP3 in AVI stored by
// bytes, sample size 1).
double packets_end(const std::string& path, size_t index) {
    std::string text = run("ffprobe -v error -select_streams " + std::to_string(index) +
                           " -show_entries packet=pts_time,duration_time -of csv=p=0 " + quoted(path) + " 2>/dev/null");
    std::istringstream in(text);
    std::string line;
    double end = 0;
    while (std::getline(in, line)) {
        double pts = 0, duration = 0;
        if (sscanf(line.c_str(), "%lf,%lf", &pts, &duration) == 2 && pts + duration > end) end = pts + duration;
    }
    return end;
}
}  // namespace

std::vector<Stream> probe(const std::string& path) {
    // One line per stream: type,codec,duration,width,height,sample_rate,channels (ffprobe's own order of
    // keys is fixed by -show_entries; missing values are empty).
    std::string text = run("ffprobe -v error -show_entries "
                           "stream=codec_type,codec_name,duration,width,height,sample_rate,channels "
                           "-of default=noprint_wrappers=0:nokey=0 " + quoted(path) + " 2>/dev/null");
    std::vector<Stream> streams;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line == "[STREAM]") streams.emplace_back();
        if (streams.empty()) continue;
        Stream& s = streams.back();
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "codec_type") s.type = value;
        else if (key == "codec_name") s.codec = value;
        else if (key == "duration") s.duration = atof(value.c_str());
        else if (key == "width") s.width = atoi(value.c_str());
        else if (key == "height") s.height = atoi(value.c_str());
        else if (key == "sample_rate") s.sample_rate = atoi(value.c_str());
        else if (key == "channels") s.channels = atoi(value.c_str());
    }
    for (size_t i = 0; i < streams.size(); ++i)
        if (streams[i].duration <= 0) streams[i].duration = packets_end(path, i);
    return streams;
}

std::string decode_errors(const std::string& path) {
    return run("ffmpeg -nostdin -v error -i " + quoted(path) + " -f null - 2>&1");
}

std::vector<int16_t> decode_sound(const std::string& path) {
    std::string raw = run("ffmpeg -nostdin -v error -i " + quoted(path) + " -map 0:a:0 -f s16le - 2>/dev/null");
    std::vector<int16_t> pcm(raw.size() / 2);
    if (!pcm.empty()) memcpy(pcm.data(), raw.data(), pcm.size() * 2);
    return pcm;
}

std::string sound_stream_copy(const std::string& path, const char* format) {
    return run("ffmpeg -nostdin -v error -i " + quoted(path) + " -map 0:a:0 -c copy -f " + format + " - 2>/dev/null");
}

std::vector<bool> key_pictures(const std::string& path) {
    // One line of flags per packet, "K__" for a key packet.
    std::string text = run("ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 " +
                           quoted(path) + " 2>/dev/null");
    std::vector<bool> keys;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) keys.push_back(line[0] == 'K');
    return keys;
}

std::vector<std::vector<uint8_t>> decode_pictures(const std::string& path, int width, int height,
                                                  const std::string& filter) {
    const std::string filtering = filter.empty() ? std::string() : " -vf " + quoted(filter);
    std::string raw = run("ffmpeg -nostdin -v error -i " + quoted(path) + " -map 0:v:0" + filtering +
                          " -vsync passthrough -f rawvideo -pix_fmt bgr24 - 2>/dev/null");
    const size_t packed = size_t(3) * width * height;
    const int stride = (3 * width + 3) & ~3;
    std::vector<std::vector<uint8_t>> pictures;
    for (size_t pos = 0; pos + packed <= raw.size(); pos += packed) {
        std::vector<uint8_t> pic(size_t(stride) * height);
        for (int y = 0; y < height; ++y) memcpy(&pic[size_t(y) * stride], &raw[pos + size_t(y) * 3 * width], 3 * width);
        pictures.push_back(std::move(pic));
    }
    return pictures;
}

const Stream* Decoded::stream(const std::string& type) const {
    for (const Stream& s : streams)
        if (s.type == type) return &s;
    return nullptr;
}

double Decoded::sound_seconds() const {
    return rate > 0 && channels > 0 ? double(pcm.size()) / (double(rate) * channels) : 0;
}

Decoded decode(const std::string& path, int width, int height, const std::string& filter) {
    Decoded d;
    d.streams = probe(path);
    const Stream* audio = d.stream("audio");
    if (audio) d.rate = audio->sample_rate, d.channels = audio->channels;
    const bool pictures = width > 0 && height > 0 && d.stream("video");
    if (!pictures && !audio) {
        d.errors = decode_errors(path);
        return d;
    }
    // Beside the file, gone again before this returns.
    const std::string picture_file = path + ".decoded-pictures", sound_file = path + ".decoded-sound";
    std::string command = "ffmpeg -nostdin -v error -y -i " + quoted(path);
    if (pictures)
        command += " -map 0:v:0" + (filter.empty() ? std::string() : " -vf " + quoted(filter)) +
                   " -vsync passthrough -f rawvideo -pix_fmt bgr24 " + quoted(picture_file);
    if (audio) command += " -map 0:a:0 -f s16le " + quoted(sound_file);
    d.errors = run(command + " 2>&1");
    auto read = [](const std::string& file) {
        std::string bytes;
        if (FILE* f = fopen(file.c_str(), "rb")) {
            bytes = read_rest(f);
            fclose(f);
        }
        remove(file.c_str());
        return bytes;
    };
    if (pictures) {
        const std::string raw = read(picture_file);
        const size_t packed = size_t(3) * width * height;
        const int stride = (3 * width + 3) & ~3;
        for (size_t pos = 0; pos + packed <= raw.size(); pos += packed) {
            std::vector<uint8_t> pic(size_t(stride) * height);
            for (int y = 0; y < height; ++y)
                memcpy(&pic[size_t(y) * stride], &raw[pos + size_t(y) * 3 * width], size_t(3) * width);
            d.pictures.push_back(std::move(pic));
        }
    }
    if (audio) {
        const std::string raw = read(sound_file);
        d.pcm.resize(raw.size() / 2);
        if (!d.pcm.empty()) memcpy(d.pcm.data(), raw.data(), d.pcm.size() * 2);
    }
    return d;
}

}  // namespace media_check
