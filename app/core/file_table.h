// The main dialog's file table: up to 256 media-file rows (the stored record and its loaded segment
// list), the running number that labels the list's rows, and the index files written for files added
// in this run and not saved since (deleted at exit). The saved media list goes through
// read_media_list / write_media_list. Window-free, so its rules are tested natively.
#pragma once
#include <string>
#include <vector>
#include "media/records/media_list.h"
#include "media/records/segment_list.h"

constexpr int kFileTableSlots = 256;

// 0 when the path is shorter than 4 characters; -1 when the file cannot be opened; -2 when it holds
// fewer than 11 bytes; else 1.
int check_media_file(const char* path);

// An index after record `removed` left the table: the removed one becomes -1, later ones move down.
int index_after_removal(int index, int removed);

class FileTable {
public:
    FileTable();

    int count() const { return count_; }
    bool full() const { return count_ >= kFileTableSlots; }
    MediaFile& row(int index) { return rows_[index]; }
    const MediaFile& row(int index) const { return rows_[index]; }
    MediaFile* rows() { return rows_.data(); }
    const MediaFile* rows() const { return rows_.data(); }
    // The row whose record names this path byte for byte, or -1.
    int find_path(const char* path) const;
    // The row whose record carries this running number, or -1.
    int find_running_number(int number) const;

    // The running number the next listed row gets.
    int running_number() const { return running_no_; }
    int take_running_number() { return running_no_++; }
    void reset_running_number() { running_no_ = 0; }

    // Empties every slot (no segments, no parameter blocks, no index-file path) and the count.
    void clear();
    // Adds a probed record at the end under the next running number and the given path; an index
    // file the probe wrote joins the deletion list. The new row's index, or -1 when the table is full.
    int add(const MediaFileRecord& record, const char* path);
    // Removes the record carrying the running number, later ones moving one slot down; its index, or
    // -1 when no record carries it.
    int remove_running_number(int number);

    // Relisting (disc refresh): keeps, in order, the records whose file opens and is longer than
    // 1000 bytes, each under the next running number; the rest are dropped.
    void relist();
    // Loads a saved list in place of the table: a record stays when its file is longer than 1000 bytes
    // and check_media_file of its index-file path is 0 or more; kept records get the next running
    // numbers and no segments. At most the free slots are taken. Returns the reader's verdict.
    MediaListError load(const char* list_path);
    // Writes the table as the saved list; on success the deletion list empties (saved files keep their
    // index files), on failure it stays.
    bool save(const char* list_path);

    const std::vector<std::string>& pending_index_files() const { return pending_; }
    // Deletes every index file of the deletion list and empties it (exit).
    void delete_pending_index_files();

private:
    std::vector<MediaFile> rows_;
    int count_ = 0;
    int running_no_ = 0;
    std::vector<std::string> pending_;
};
