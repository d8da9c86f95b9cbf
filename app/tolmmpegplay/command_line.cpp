#include "app/tolmmpegplay/command_line.h"

namespace mpegplay {

namespace {
bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool gbk_lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

std::string trimmed(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}
}  // namespace

std::string path_argument(const char* command_line) {
    if (!command_line) return std::string();
    std::string line = trimmed(command_line);
    if (line.empty() || line[0] != '"') return line;
    // A double quote is never the trail byte of a GBK character, so the closing one is found as is.
    size_t close = line.find('"', 1);
    return trimmed(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

std::string file_name_part(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (gbk_lead(c) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/') start = i + 1;
    }
    return path.substr(start);
}

}  // namespace mpegplay
