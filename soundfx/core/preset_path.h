// Where the equaliser's preset file lives: "tolmeqset.eq" in the folder of the library's own file.
#pragma once
#include <string>

namespace soundfx {

constexpr int kPresetPathCapacity = 256;  // with its terminating zero
// module_path cut at its last backslash (GBK-safe) with "\tolmeqset.eq" appended; empty when the result
// would not fit in kPresetPathCapacity bytes or the path has no folder.
std::string preset_path_beside(const std::string& module_path);

}  // namespace soundfx
