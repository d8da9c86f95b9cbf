// Binding of the outside libraries that the program loads by file name at run time. For each library
// in binding_table.inc: a module handle codec::hmod_<library>, one pointer per entry point named
// exactly like the entry point (codec::mux_init ...), the binder codec::load_<library>() and the
// unloader codec::unload_<library>(). They live in namespace codec so that a pointer never collides
// with a C function of the same name (zlib's compress, xvid.h's xvid_encore).
//
// A binder sets the handle to 0 (two binders free a library still loaded instead), loads the library,
// looks up every entry point in order and stops at the first missing one with its message and result;
// 0 when all were found. A load failure leaves the handle 0; a missing entry leaves the library loaded,
// so the unloader still frees it. The unloader frees a loaded library, sets the handle to 0 and clears
// every entry pointer, so a late call cannot jump into freed code.
//
// A caller that must not share the program's handles and pointers (the probe, which may run while a
// worker decodes with the same library) declares a set of its own in its own namespace with
// binding_declarations.inc and binding_definitions.inc: same tables, same texts, its own handles.
#pragma once
#include <windows.h>
#include <cstring>
#include "soundfx/olumbra.h"
#include "codecs/tolmaac_decode/tolmaac_decode.h"
#include "codecs/tolmaac_encode/tolmaac_encode.h"
#include "codecs/tolmac3buf/tolmac3buf.h"
#include "codecs/tolmadpcmdecode/tolmadpcmdecode.h"
#include "codecs/tolmamr_decode/tolmamr_decode.h"
#include "codecs/tolmamr_encode/tolmamr_encode.h"
#include "codecs/tolmdivxplay/tolmdivxplay.h"
#include "codecs/tolmh263dec1/tolmh263dec1.h"
#include "codecs/tolmh263dec2/tolmh263dec2.h"
#include "codecs/tolmmp3dec/tolmmp3dec.h"
#include "codecs/tolmmp3enc/tolmmp3enc.h"
#include "codecs/tolmmp4decode/tolmmp4decode.h"
#include "codecs/tolmmp4encode/tolmmp4encode.h"
#include "codecs/tolmmpeg4decode/tolmmpeg4decode.h"
#include "codecs/tolmmtvdecode/tolmmtvdecode.h"
#include "codecs/tolmmux/tolmmux.h"
#include "codecs/tolmpicpack/tolmpicpack.h"
#include "codecs/tolmvpdecode/tolmvpdecode.h"
#include "codecs/tolmx264decode/tolmx264decode.h"
#include "codecs/tolmx264encode/tolmx264encode.h"
#include "codecs/xvidcore/xvidcore.h"

namespace codec {

// The table as data, for tests, diagnostics and sets of bindings of their own.
struct EntryBinding {
    const char* name;
    const char* text;     // message number or whole message
    int result;           // binder result when this entry is missing
    FARPROC (*get)();     // current value of the entry's pointer
    void (*set)(FARPROC);
};
enum MessageStyle { kAfxBox, kPlainBox, kXvidBox };
struct LibraryBinding {
    const char* id;
    const char* file;
    const char* load_text;     // null: "装载动态库<file>错误"
    int load_result;
    MessageStyle style;
    const char* entry_format;  // null: a missing entry gives no message
    bool frees_first;
    HMODULE* handle;
    const EntryBinding* entries;
    int entry_count;
};

// Message of a missing entry point for most libraries (%s = the entry's number).
inline constexpr char kGetEntryText[] = "取函数%s错误，请检查是否该版本动态库";

// The binder and the unloader of one library, whichever set its handle and pointers belong to.
int bind_library(const LibraryBinding& library);
void unbind_library(const LibraryBinding& library);

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

// The program's set.
#include "media/binders/binding_declarations.inc"

}  // namespace codec
