// Where index files live and how they are named: "<program folder>\dat\MTV20240131235959.dat",
// with a suffix ("_2", "_3", ...) when a file of that kind was already indexed in the same second.
#pragma once
#include <string>
#include "file_kind.h"
#include "index_file.h"
#include "media_file_record.h"

struct StampTime {
    int year, month, day, hour, minute, second;
};

StampTime stamp_now();

// Three-letter name prefix of a branch's index files; nullptr for branches that keep none.
const char* index_prefix(MediaBranch branch);

std::string dat_folder(const std::string& program_folder);
std::string index_file_stem(const std::string& dat, const char* prefix, const StampTime& time);

// Creates the "dat" folder when needed and writes the index into a new file there; an existing
// file is never replaced. Returns the path, or an empty string when no file could be written.
std::string create_index_file(const std::string& program_folder, MediaBranch branch, const StampTime& time,
                              const IndexFile& index);

// The probe's step: writes the index file and records it in the record (`index_path`,
// `index_written`, `index_reserved`); on failure the path stays empty and `index_written` 0.
bool write_probe_index(MediaFileRecord& record, const std::string& program_folder, MediaBranch branch,
                       const StampTime& time, const IndexFile& index);
