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

namespace {

MediaListError read_records(const char* path, std::vector<MediaFileRecord>& records, bool keep_whole) {
    records.clear();
    fileio::File file;
    if (!file.open(path, fileio::File::Mode::Read)) return MediaListError::CannotOpen;
    int64_t size = file.size();
    int32_t count = 0;
    if (size < int64_t(sizeof count) || !file.read_exact(&count, sizeof count)) return MediaListError::BadCount;
    const int64_t body = size - int64_t(sizeof count);
    const int64_t whole = body / int64_t(sizeof(MediaFileRecord));
    MediaListError verdict = MediaListError::None;
    int64_t take = count;
    if (count < 0 || int64_t(count) > whole) {
        verdict = MediaListError::BadCount;
        // A count below 0 says nothing; one beyond the file keeps the records that are whole.
        take = !keep_whole || count < 0 ? 0 : whole;
    }
    records.resize(size_t(take));
    if (take > 0 && !file.read_exact(records.data(), take * int64_t(sizeof(MediaFileRecord)))) {
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
    return verdict;
}

}  // namespace

MediaListError read_media_list(const char* path, std::vector<MediaFileRecord>& records) {
    const MediaListError verdict = read_records(path, records, false);
    if (verdict != MediaListError::None) records.clear();
    return verdict;
}

MediaListError read_whole_media_records(const char* path, std::vector<MediaFileRecord>& records) {
    return read_records(path, records, true);
}
