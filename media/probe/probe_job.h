// What every path of the probe works with: the file, its record, where index files go and the time
// they are named by; and the steps every path shares (refusing with a message, naming the type,
// writing the index file).
#pragma once
#include <cstdint>
#include <string>
#include "media/records/file_kind.h"
#include "media/records/index_file.h"
#include "media/records/index_name.h"
#include "media/records/media_file_record.h"

struct ProbeJob {
    const char* path;
    MediaFileRecord& record;
    std::string program_folder;  // the "dat" folder of index files lies in it
    StampTime time;
};

// Shows the message (format with the path for "%s"; no owner, OK button) and returns result.
int probe_refuse(const ProbeJob& job, const char* format, const char* caption, int result);

void set_type_name(MediaFileRecord& record, const char* name);
// file_kind and file_kind_copy.
void set_file_kind(MediaFileRecord& record, FileKind kind);
// The record's int32 file size: lengths of 2 GiB and more are stored as 2,147,483,647.
int32_t stored_file_size(int64_t length);
// The whole part of a value for an int32 field (0 for a value that is not a number, the field's limits
// beyond them).
int32_t whole_part(double value);
// The path as the record keeps it (cut to its field, always terminated).
void set_record_path(MediaFileRecord& record, const char* path);

// The probe writes an index file for the branch's files; a failure leaves the record without one
// (no message).
bool probe_write_index(ProbeJob& job, MediaBranch branch, const IndexFile& index);
// Removes the index file the probe wrote for the job and clears the record's fields of it.
void probe_remove_index(ProbeJob& job);
