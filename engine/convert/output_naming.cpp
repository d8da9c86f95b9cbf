#include "engine/convert/output_naming.h"
#include <cstdio>
#include <cstring>
#include "base/fileio.h"
#include "engine/state/run_state.h"

const char* output_extension(int out_format) {
    switch (out_format) {
    case kOut3gp: return ".3gp";
    case kOutMp4: return ".mp4";
    default: return ".avi";
    }
}

std::string output_base_name(const char* source_path) {
    const std::string path = source_path ? source_path : "";
    // folder_of walks the path by characters; the name starts after the separator that ends it.
    const std::string folder = fileio::folder_of(path);
    size_t start = 0;
    if (folder.size() < path.size() && (path[folder.size()] == '\\' || path[folder.size()] == '/'))
        start = folder.size() + 1;
    const std::string name = path.substr(start);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

std::string output_stem(const std::string& out_dir, const StampTime& t, const char* source_path) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return out_dir + stamp + output_base_name(source_path);
}

std::string OutputNamer::next(const std::string& out_dir, const StampTime& time, const char* source_path,
                              int out_format) {
    const std::string name = fileio::unique_name(output_stem(out_dir, time, source_path), output_extension(out_format),
                                                 [this](const std::string& n) { return given_.count(n) > 0; });
    if (!name.empty()) given_.insert(name);
    return name;
}
