// The probe's own bindings of the outside libraries: the program's binders, tables and texts, but
// handles and pointers of its own (probe_lib::mp4de_init ...). Binding takes a reference of the
// probe's on a library a worker may be using, so no unload of the program's or a worker's ever
// frees code or clears a pointer the probe is calling, nor the other way round; the libraries keep
// their state per calling thread, so the probe's calls never disturb another thread's decoder either.
//
// A library is bound on first need and kept for the life of the program: a library over libavformat
// (tolmmp4decode, tolmmtvdecode) cannot be loaded again under Wine once it has been used and freed
// (the second load faults), and keeping the probe's reference also keeps it loaded for the workers
// that bind and free it job by job.
#pragma once
#include "media/binders/binders.h"

namespace probe_lib {
#include "media/binders/binding_declarations.inc"

// True when the library of the probe's set is bound with every entry point: bound now when it was
// not (with the binder's message when that fails; a library lacking an entry point is freed again,
// so a later call tries once more).
bool keep_bound(const char* id, int (*load)(), void (*unload)());
}  // namespace probe_lib

#define PROBE_LIBRARY(library) \
    ::probe_lib::keep_bound(#library, ::probe_lib::load_##library, ::probe_lib::unload_##library)
