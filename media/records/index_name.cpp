#include "index_name.h"
#include <cstdio>
#include <cstring>
#include <ctime>
#include "base/fileio.h"

StampTime stamp_now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

const char* index_prefix(MediaBranch branch) {
    switch (branch) {
    case MediaBranch::Mtv: return "MTV";
    case MediaBranch::Amv: return "AMV";
    case MediaBranch::Swf: return "SWF";
    case MediaBranch::Avi: return "AVI";
    case MediaBranch::Flv: return "flv";
    case MediaBranch::Mp4: return "MP4";
    case MediaBranch::DirectShow:
    case MediaBranch::Mpeg: return nullptr;
    }
    return nullptr;
}

std::string dat_folder(const std::string& program_folder) {
    std::string folder = program_folder;
    if (!folder.empty() && folder.back() != fileio::separator()) folder += fileio::separator();
    return folder + "dat";
}

std::string index_file_stem(const std::string& dat, const char* prefix, const StampTime& t) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%04d%02d%02d%02d%02d%02d", prefix, t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return dat + fileio::separator() + name;
}

std::string create_index_file(const std::string& program_folder, MediaBranch branch, const StampTime& time,
                              const IndexFile& index) {
    const char* prefix = index_prefix(branch);
    if (!prefix) return std::string();
    std::string dat = dat_folder(program_folder);
    if (!fileio::make_dir(dat.c_str())) return std::string();
    std::string stem = index_file_stem(dat, prefix, time);
    // unique_name only looks; CreateNew makes the claim, so a file appearing in between is skipped.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string path = fileio::unique_name(stem, ".dat");
        if (path.empty()) return std::string();
        fileio::File file;
        if (!file.open(path.c_str(), fileio::File::Mode::CreateNew)) continue;
        if (write_index_file(file, index) == IndexError::None) return path;
        file.close();
        fileio::remove(path.c_str());
        return std::string();
    }
    return std::string();
}

bool write_probe_index(MediaFileRecord& record, const std::string& program_folder, MediaBranch branch,
                       const StampTime& time, const IndexFile& index) {
    record.index_reserved = 0;
    record.index_written = 0;
    std::memset(record.index_path, 0, sizeof record.index_path);
    std::string path = create_index_file(program_folder, branch, time, index);
    if (path.empty()) return false;
    if (path.size() >= sizeof record.index_path) {  // a path the record cannot hold is no index at all
        fileio::remove(path.c_str());
        return false;
    }
    std::memcpy(record.index_path, path.c_str(), path.size());
    record.index_written = 1;
    return true;
}
