#include "fileio.h"

namespace fileio {

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = kClosed;
    }
    return *this;
}

bool read_all(const char* path, std::vector<uint8_t>* bytes, int64_t max_bytes) {
    bytes->clear();
    File file;
    if (!file.open(path, File::Mode::Read)) return false;
    const int64_t size = file.size();
    if (size < 0 || size > max_bytes) return false;
    bytes->resize(size_t(size));
    if (!file.read_exact(bytes->data(), size)) {
        bytes->clear();
        return false;
    }
    return true;
}

std::string unique_name(const std::string& stem, const std::string& ext) {
    return unique_name(stem, ext, [](const std::string&) { return false; });
}

std::string unique_name(const std::string& stem, const std::string& ext,
                        const std::function<bool(const std::string&)>& taken) {
    std::string name = stem + ext;
    for (int n = 2; exists(name.c_str()) || taken(name); ++n) {
        if (n > 9999) return std::string();
        name = stem + "_" + std::to_string(n) + ext;
    }
    return name;
}

namespace {
bool gbk_lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
}  // namespace

std::string without_broken_last_character(const std::string& path) {
    size_t i = 0;
    while (i < path.size()) {
        if (gbk_lead(static_cast<unsigned char>(path[i]))) {
            if (i + 1 == path.size()) return path.substr(0, i);
            i += 2;
        } else {
            ++i;
        }
    }
    return path;
}

std::string folder_of(const std::string& path) {
    // GBK: a byte >= 0x81 starts a two-byte character whose second byte may be '\\' or '/'.
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (gbk_lead(c) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/') last = i;
    }
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

}  // namespace fileio
