// The player's command line: the one path it plays (quoted when it holds blanks, as the converter
// starts it; unquoted as the rest of the line) and the file name part shown in its caption. Portable.
#pragma once
#include <string>

namespace mpegplay {

// The path of a command line without the program's name: the text between the first pair of double
// quotes when it starts with one (no closing quote: to the end), else the whole line; blanks around
// it taken off. Empty when the line holds no path.
std::string path_argument(const char* command_line);

// The part of the path after its last "\" or "/" (GBK-safe: a character's trail byte that equals a
// separator does not count); the whole path when it has none.
std::string file_name_part(const std::string& path);

}  // namespace mpegplay
