#include "file_table.h"
#include <cstdio>
#include <cstring>
#include "base/fileio.h"

namespace {

constexpr int64_t kSmallestMediaFile = 1000;  // a media file must be longer than this

int64_t file_size_or_minus(const char* path) {
    fileio::File file;
    if (!path || !file.open(path, fileio::File::Mode::Read)) return -1;
    return file.size();
}

void empty_slot(MediaFile& file) {
    file.segments.clear();
    file.record.segment_count = 0;
    file.record.segments = 0;
    file.record.param_len1 = 0;
    file.record.param_len2 = 0;
    file.record.index_path[0] = '\0';
}

}  // namespace

int check_media_file(const char* path) {
    if (!path || std::strlen(path) < 4) return 0;
    const int64_t size = file_size_or_minus(path);
    if (size < 0) return -1;
    return size < 11 ? -2 : 1;
}

int index_after_removal(int index, int removed) {
    if (index < 0 || removed < 0) return index;
    if (index == removed) return -1;
    return index > removed ? index - 1 : index;
}

FileTable::FileTable() : rows_(kFileTableSlots) { clear(); }

void FileTable::clear() {
    for (MediaFile& file : rows_) empty_slot(file);
    count_ = 0;
}

int FileTable::find_path(const char* path) const {
    for (int i = 0; i < count_; ++i)
        if (std::strcmp(rows_[i].record.path, path) == 0) return i;
    return -1;
}

int FileTable::find_running_number(int number) const {
    for (int i = 0; i < count_; ++i)
        if (rows_[i].record.running_number == number) return i;
    return -1;
}

int FileTable::add(const MediaFileRecord& record, const char* path) {
    if (full()) return -1;
    MediaFile& slot = rows_[count_];
    slot.segments.clear();
    slot.record = record;
    slot.record.segments = 0;
    slot.record.running_number = take_running_number();
    std::snprintf(slot.record.path, sizeof slot.record.path, "%s", path ? path : "");
    if (slot.record.index_written && std::strlen(slot.record.index_path) > 3) pending_.push_back(slot.record.index_path);
    return count_++;
}

int FileTable::remove_running_number(int number) {
    const int at = find_running_number(number);
    if (at < 0) return -1;
    for (int i = at; i + 1 < count_; ++i) rows_[i] = std::move(rows_[i + 1]);
    --count_;
    empty_slot(rows_[count_]);
    return at;
}

void FileTable::relist() {
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        if (file_size_or_minus(rows_[i].record.path) <= kSmallestMediaFile) continue;
        if (kept != i) rows_[kept] = std::move(rows_[i]);
        rows_[kept].record.running_number = take_running_number();
        ++kept;
    }
    for (int i = kept; i < count_; ++i) empty_slot(rows_[i]);
    count_ = kept;
}

MediaListError FileTable::load(const char* list_path) {
    clear();
    std::vector<MediaFileRecord> saved;
    const MediaListError read = read_whole_media_records(list_path, saved);
    for (const MediaFileRecord& record : saved) {
        if (full()) break;
        if (file_size_or_minus(record.path) <= kSmallestMediaFile) continue;
        if (check_media_file(record.index_path) < 0) continue;
        MediaFile& slot = rows_[count_++];
        slot.record = record;
        slot.segments.clear();
        slot.record.segment_count = 0;
        slot.record.segments = 0;
        slot.record.running_number = take_running_number();
    }
    return read;
}

bool FileTable::save(const char* list_path) {
    std::vector<MediaFileRecord> records;
    records.reserve(size_t(count_));
    for (int i = 0; i < count_; ++i) records.push_back(rows_[i].record);
    if (write_media_list(list_path, records.data(), count_) != MediaListError::None) return false;
    pending_.clear();
    return true;
}

void FileTable::delete_pending_index_files() {
    for (const std::string& path : pending_) fileio::remove(path.c_str());
    pending_.clear();
}
