#include "soundfx/core/preset_path.h"
#include "base/fileio.h"

namespace soundfx {

std::string preset_path_beside(const std::string& module_path) {
    const std::string folder = fileio::folder_of(module_path);
    if (folder.empty()) return std::string();
    std::string path = folder + "\\tolmeqset.eq";
    return path.size() < size_t(kPresetPathCapacity) ? path : std::string();
}

}  // namespace soundfx
