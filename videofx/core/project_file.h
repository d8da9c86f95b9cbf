// Project files (".VCP"): the whole effect table with the picture of the picture overlay and the
// bitmap of the text overlay. 'v' 'c' 'p', version 1, an int32 record count (16), then per record
// the 724-byte EffectSlotRecord followed by its data_size data bytes when data_size > 1.
#pragma once
#include "videofx/core/effect_table.h"

namespace videofx {

constexpr int kProjectVersion = 1;
constexpr int kProjectHeaderSize = 8;

enum class ProjectResult {
    kDone,
    kCannotOpen,     // the file cannot be opened or created (nothing said)
    kCannotWrite,    // the file could not be written whole; an earlier file of that name is kept
    kNotAProject,    // another magic, or a damaged file: the user was told, the table is unchanged
    kOtherVersion,   // another version: refused silently, the table is unchanged
};

// Writes the table. The file is written beside `path` and put in its place only once complete.
ProjectResult save_project(const EffectTable& table, const char* path);

// Reads a project into the table. The whole file is read and checked first: a file that ends early,
// has a negative data size or one beyond its end, or a picture or text bitmap shorter than its size
// promises, is refused whole, the table unchanged, and the user is told that it is not a project
// file. Texts and names are terminated inside their fields, effect ids set to the record's own and
// slot indices outside 0..15 reset to the record's index. On success the overlay work picture is
// dropped (the page rebuilds it from the new picture).
ProjectResult open_project(EffectTable& table, const char* path);

}  // namespace videofx
