// The saved media list "mpgmp4info.dat": an int32 count followed by that many whole records.
#pragma once
#include <vector>
#include "media_file_record.h"

constexpr const char* kMediaListFileName = "mpgmp4info.dat";

enum class MediaListError { None, CannotOpen, CannotWrite, BadCount, ShortRecords };

// Writes the records with their in-memory pointer slot stored as 0; replaces an earlier list only once
// the new one is complete (a failed save keeps the earlier list).
MediaListError write_media_list(const char* path, const MediaFileRecord* records, int count);
// Reads a saved list. The count is checked against the file's size; each record's text fields are
// terminated inside their fields, its block lengths kept within the blocks, and its segment count
// set to 0 (segment lists are not saved), so nothing read can lead a later user out of bounds.
MediaListError read_media_list(const char* path, std::vector<MediaFileRecord>& records);
// As read_media_list, but a list whose count runs past its end (a file cut short) still gives the
// records that are whole, with BadCount as the verdict; a negative count gives none.
MediaListError read_whole_media_records(const char* path, std::vector<MediaFileRecord>& records);
