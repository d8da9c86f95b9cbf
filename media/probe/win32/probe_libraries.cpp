#include "media/probe/win32/probe_libraries.h"
#include <cstring>

namespace probe_lib {
#include "media/binders/binding_definitions.inc"

bool keep_bound(const char* id, int (*load)(), void (*unload)()) {
    int count = 0;
    const LibraryBinding* all = library_bindings(&count);
    for (int i = 0; i < count; ++i) {
        const LibraryBinding& library = all[i];
        if (std::strcmp(library.id, id) != 0) continue;
        bool complete = *library.handle != nullptr;
        for (int e = 0; complete && e < library.entry_count; ++e) complete = library.entries[e].get() != nullptr;
        if (complete) return true;
        break;
    }
    if (load() == 0) return true;
    unload();
    return false;
}

}  // namespace probe_lib
