#include "media/probe/probe_job.h"
#include <cstdio>
#include <cstring>
#include <limits>
#include "base/fileio.h"
#include "base/message_seam.h"

int probe_refuse(const ProbeJob& job, const char* format, const char* caption, int result) {
    const char* path = job.path ? job.path : "";
    std::string text(std::strlen(format) + std::strlen(path) + 1, '\0');
    const int n = std::snprintf(&text[0], text.size(), format, path);
    text.resize(n > 0 ? size_t(n) : 0);
    seam::report(text.c_str(), caption, seam::kOk);
    return result;
}

void set_type_name(MediaFileRecord& record, const char* name) {
    std::memset(record.type_name, 0, sizeof record.type_name);
    std::strncpy(record.type_name, name, sizeof record.type_name - 1);
}

void set_file_kind(MediaFileRecord& record, FileKind kind) {
    record.file_kind = kind;
    record.file_kind_copy = kind;
}

int32_t stored_file_size(int64_t length) {
    if (length <= 0) return 0;
    return length > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : int32_t(length);
}

int32_t whole_part(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}

void set_record_path(MediaFileRecord& record, const char* path) {
    std::memset(record.path, 0, sizeof record.path);
    if (path) std::strncpy(record.path, path, sizeof record.path - 1);
}

bool probe_write_index(ProbeJob& job, MediaBranch branch, const IndexFile& index) {
    return write_probe_index(job.record, job.program_folder, branch, job.time, index);
}

void probe_remove_index(ProbeJob& job) {
    if (job.record.index_path[0]) fileio::remove(job.record.index_path);
    std::memset(job.record.index_path, 0, sizeof job.record.index_path);
    job.record.index_written = 0;
}
