#include "media_list.h"
#include "base/fileio.h"
#include <string>

namespace {

template <size_t N>
void terminate(char (&text)[N]) {
    text[N - 1] = '\0';
}

int32_t block_length_or_zero(int32_t length) { return length >= 0 && length <= kParamBlockSize ? length : 0; }

}  // namespace

MediaListError write_media_list(const char* path, const MediaFileRecord* records, int count) {
    if (count < 0 || (count > 0 && !records)) return MediaListError::BadCount;
    // The new list is written beside the old one and takes its place only once it is complete, so a
    // save that fails (a full disk) keeps the earlier list.
    const std::string fresh = std::string(path) + ".new";
    fileio::File file;
    if (!file.open(fresh.c_str(), fileio::File::Mode::CreateAlways)) return MediaListError::CannotOpen;
    int32_t stored_count = count;
    bool ok = file.write_all(&stored_count, sizeof stored_count);
    for (int i = 0; ok && i < count; ++i) {
        MediaFileRecord record = records[i];
        record.segments = 0;
        ok = file.write_all(&record, sizeof record);
    }
    file.close();
    if (!ok || !fileio::replace(fresh.c_str(), path)) {
        fileio::remove(fresh.c_str());
        return MediaListError::CannotWrite;
    }
    return MediaListError::None;
}

MediaListError read_media_list(const char* path, std::vector<MediaFileRecord>& records) {
    records.clear();
    fileio::File file;
    if (!file.open(path, fileio::File::Mode::Read)) return MediaListError::CannotOpen;
    int64_t size = file.size();
    int32_t count = 0;
    if (size < int64_t(sizeof count) || !file.read_exact(&count, sizeof count)) return MediaListError::BadCount;
    int64_t body = size - int64_t(sizeof count);
    if (count < 0 || int64_t(count) * int64_t(sizeof(MediaFileRecord)) > body) return MediaListError::BadCount;
    records.resize(size_t(count));
    if (count > 0 && !file.read_exact(records.data(), int64_t(count) * int64_t(sizeof(MediaFileRecord)))) {
        records.clear();
        return MediaListError::ShortRecords;
    }
    for (MediaFileRecord& r : records) {
        terminate(r.path);
        terminate(r.index_path);
        terminate(r.type_name);
        r.segments = 0;
        r.segment_count = 0;  // segment lists are not saved; they come back from the index file
        r.param_len1 = block_length_or_zero(r.param_len1);
        r.param_len2 = block_length_or_zero(r.param_len2);
    }
    return MediaListError::None;
}
