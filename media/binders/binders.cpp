// One binder and one unloader, driven by the table of each library (binding_table.inc).
#include "binders.h"
#include "base/message_seam.h"
#include <cstdio>
#include <cstring>

namespace codec {
namespace {

const char kGetEntryText[] = "取函数%s错误，请检查是否该版本动态库";
const char kLoadText[] = "装载动态库%s错误";

// Each slot is a function pointer of its own type; all have the size and form of FARPROC, so the
// value is copied as it is (naming the slot's type in a template would drop its calling convention).
template <auto* Slot>
FARPROC get_slot() {
    static_assert(sizeof *Slot == sizeof(FARPROC));
    FARPROC address;
    memcpy(&address, Slot, sizeof address);
    return address;
}

template <auto* Slot>
void set_slot(FARPROC address) {
    static_assert(sizeof *Slot == sizeof(FARPROC));
    memcpy(Slot, &address, sizeof address);
}

// The program's caption (null), none, or "Error", as each library's table row says.
void show(const LibraryBinding& library, const char* text) {
    switch (library.style) {
    case kAfxBox: seam::report(text, nullptr, seam::kOk); break;
    case kPlainBox: seam::report(text, "", seam::kOk); break;
    case kXvidBox: seam::report(text, "Error", seam::kOk); break;
    }
}

void unbind(const LibraryBinding& library) {
    if (*library.handle) FreeLibrary(*library.handle);
    *library.handle = nullptr;
    for (int i = 0; i < library.entry_count; ++i) library.entries[i].set(nullptr);
}

int bind(const LibraryBinding& library) {
    HMODULE& handle = *library.handle;
    // Freeing first clears the pointers too, or a failed reload would leave them in the freed library.
    if (library.frees_first) unbind(library);
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

}  // namespace

// The handles and entry pointers.
#define LIBRARY(id, file, load_text, load_result, style, entry_format, frees_first) HMODULE hmod_##id = nullptr;
#define ENTRY(id, name, text, result) ::name##_fn name = nullptr;
#define END_LIBRARY(id)
#include "binding_table.inc"
#undef LIBRARY
#undef ENTRY
#undef END_LIBRARY

// The entry lists.
namespace {
#define LIBRARY(id, file, load_text, load_result, style, entry_format, frees_first) \
    const EntryBinding id##_entries[] = {
#define ENTRY(id, name, text, result) {#name, text, result, &get_slot<&name>, &set_slot<&name>},
#define END_LIBRARY(id) };
#include "binding_table.inc"
#undef LIBRARY
#undef ENTRY
#undef END_LIBRARY

const LibraryBinding kLibraries[] = {
#define LIBRARY(id, file, load_text, load_result, style, entry_format, frees_first)                        \
    {#id, file, load_text, load_result, style, entry_format, frees_first, &hmod_##id, id##_entries,     \
     sizeof id##_entries / sizeof id##_entries[0]},
#define ENTRY(id, name, text, result)
#define END_LIBRARY(id)
#include "binding_table.inc"
#undef LIBRARY
#undef ENTRY
#undef END_LIBRARY
};

enum LibraryIndex {
#define LIBRARY(id, file, load_text, load_result, style, entry_format, frees_first) k_##id,
#define ENTRY(id, name, text, result)
#define END_LIBRARY(id)
#include "binding_table.inc"
#undef LIBRARY
#undef ENTRY
#undef END_LIBRARY
};
}  // namespace

// The binders and unloaders.
#define LIBRARY(id, file, load_text, load_result, style, entry_format, frees_first) \
    int load_##id() { return bind(kLibraries[k_##id]); }                          \
    void unload_##id() { unbind(kLibraries[k_##id]); }
#define ENTRY(id, name, text, result)
#define END_LIBRARY(id)
#include "binding_table.inc"
#undef LIBRARY
#undef ENTRY
#undef END_LIBRARY

const LibraryBinding* library_bindings(int* count) {
    *count = sizeof kLibraries / sizeof kLibraries[0];
    return kLibraries;
}

}  // namespace codec
