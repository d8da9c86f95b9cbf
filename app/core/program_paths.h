// Paths the program works out at start-up: a library beside the program, and whether the Start-menu
// shortcuts are made from where it runs. Names are in the ANSI code page (GBK), whose second bytes
// may be 0x5C, so a backslash is searched character by character, never byte by byte.
#pragma once
#include <string>

// Offset of the last backslash that is a character of its own in a GBK text, or npos.
size_t last_backslash(const std::string& text);
// The folder part of a path (up to its last backslash, without it); empty when there is none.
std::string folder_part(const std::string& path);
// A DirectShow filter's file: a name without a backslash lies beside the program.
std::string filter_dll_path(const std::string& module_path, const std::string& name);
// Shortcuts are skipped when the templates folder is unknown (3 characters or shorter), or the
// program runs from inside it, or from inside the temporary folder (when that is longer than 3).
bool shortcuts_skipped(const std::string& program_path, const std::string& templates_folder,
                       const std::string& temp_folder);
