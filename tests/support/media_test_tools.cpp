#include "media_test_tools.h"
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

namespace media_test {

std::string run(const std::string& command, int* status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (status) *status = -1;
        return out;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    int rc = pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

namespace {
// ctest runs every case of a test program as a process of its own, side by side in one folder, and
// cases make fixtures of the same names: each process gets a scratch folder of its own, removed when
// it ends.
int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

void remove_scratch_folder();

const std::string& scratch_folder() {
    static const std::string folder = [] {
        char cwd[4096];
        std::string f = std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/scratch-" + std::to_string(getpid());
        mkdir(f.c_str(), 0755);
        atexit(remove_scratch_folder);
        return f;
    }();
    return folder;
}

void remove_scratch_folder() {
    if (!getenv("KEEP_TEST_FILES")) nftw(scratch_folder().c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}
}  // namespace

std::string out_path(const std::string& name) { return scratch_folder() + "/" + name; }

std::string fresh_path(const std::string& name) {
    std::string path = out_path(name);
    std::remove(path.c_str());
    return path;
}

std::vector<uint8_t> magick_rgb(const std::string& path) {
    const std::string raw = fresh_path("magick_decode.rgb");
    int status = -1;
    run("convert '" + path + "' -alpha off +repage -depth 8 rgb:'" + raw + "' 2>&1", &status);
    return status == 0 ? read_file(raw) : std::vector<uint8_t>{};
}

std::vector<Fields> probe_streams(const std::string& path) {
    std::string text = run("ffprobe -v error -show_streams -of flat=s=_ '" + path + "'");
    // Lines look like: streams_stream_0_codec_name="mjpeg"
    std::vector<Fields> streams;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string prefix = "streams_stream_";
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        size_t index_end = line.find('_', prefix.size());
        size_t eq = line.find('=', index_end);
        if (index_end == std::string::npos || eq == std::string::npos) continue;
        size_t index = std::stoul(line.substr(prefix.size(), index_end - prefix.size()));
        if (streams.size() <= index) streams.resize(index + 1);
        std::string value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
        streams[index][line.substr(index_end + 1, eq - index_end - 1)] = value;
    }
    return streams;
}

std::vector<Packet> probe_packets(const std::string& path) {
    std::string text =
        run("ffprobe -v error -show_entries packet=stream_index,pos,size,flags -of csv=p=0 '" + path + "'");
    std::vector<Packet> packets;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        Packet p;
        char flags[16] = {};
        long long pos = 0, size = 0;
        if (std::sscanf(line.c_str(), "%d,%lld,%lld,%15s", &p.stream, &size, &pos, flags) < 3) continue;
        p.size = size;
        p.pos = pos;
        p.key = flags[0] == 'K';
        packets.push_back(p);
    }
    return packets;
}

std::map<int, Decoded> decoded_frames(const std::string& path, std::string* errors) {
    std::string err_file = path + ".decode_errors";
    std::string text = run("ffmpeg -nostdin -v error -i '" + path + "' -map 0 -f framecrc - 2>'" + err_file + "'");
    if (errors) {
        std::vector<uint8_t> e = read_file(err_file);
        errors->assign(e.begin(), e.end());
    }
    // "#tb 1: 1/44100" gives a stream's time base; frame lines are "stream, dts, pts, duration, size, crc".
    std::map<int, double> time_base;
    std::map<int, Decoded> result;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        int stream = 0;
        long long num = 0, den = 1, dts = 0, pts = 0, duration = 0;
        if (std::sscanf(line.c_str(), "#tb %d: %lld/%lld", &stream, &num, &den) == 3 && den) {
            time_base[stream] = double(num) / double(den);
        } else if (std::sscanf(line.c_str(), "%d, %lld, %lld, %lld", &stream, &dts, &pts, &duration) == 4) {
            result[stream].frames++;
            result[stream].seconds += double(duration) * time_base[stream];
        }
    }
    return result;
}

int constant_rate_frames(const std::string& path) {
    const std::string text =
        run("ffmpeg -nostdin -v error -i '" + path + "' -map 0:v:0 -vsync cfr -f framecrc - 2>/dev/null");
    int frames = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty() && line[0] != '#') ++frames;
    return frames;
}

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void put_le32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace media_test
