// One binder and one unloader, driven by the table of each library (binding_table.inc).
#include "binders.h"
#include "base/message_seam.h"
#include <cstdio>
#include <cstring>

namespace codec {
namespace {

const char kLoadText[] = "装载动态库%s错误";

// The program's caption (null), none, or "Error", as each library's table row says.
void show(const LibraryBinding& library, const char* text) {
    switch (library.style) {
    case kAfxBox: seam::report(text, nullptr, seam::kOk); break;
    case kPlainBox: seam::report(text, "", seam::kOk); break;
    case kXvidBox: seam::report(text, "Error", seam::kOk); break;
    }
}

}  // namespace

void unbind_library(const LibraryBinding& library) {
    if (*library.handle) FreeLibrary(*library.handle);
    *library.handle = nullptr;
    for (int i = 0; i < library.entry_count; ++i) library.entries[i].set(nullptr);
}

int bind_library(const LibraryBinding& library) {
    HMODULE& handle = *library.handle;
    // Freeing first clears the pointers too, or a failed reload would leave them in the freed library.
    if (library.frees_first) unbind_library(library);
    handle = nullptr;
    handle = LoadLibraryA(library.file);
    char text[256];
    if (!handle) {
        if (library.load_text) {
            show(library, library.load_text);
        } else {
            snprintf(text, sizeof text, kLoadText, library.file);
            show(library, text);
        }
        return library.load_result;
    }
    for (int i = 0; i < library.entry_count; ++i) {
        const EntryBinding& entry = library.entries[i];
        FARPROC address = GetProcAddress(handle, entry.name);
        entry.set(address);
        if (!address) {
            if (library.entry_format) {
                snprintf(text, sizeof text, library.entry_format, entry.text);
                show(library, text);
            }
            return entry.result;
        }
    }
    return 0;
}

// The program's set of handles and pointers.
#include "media/binders/binding_definitions.inc"

}  // namespace codec
