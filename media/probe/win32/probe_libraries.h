// The probe's own bindings of the outside libraries: the program's binders, tables and texts, but
// handles and pointers of its own (probe_lib::mp4de_init ...). Binding takes one more reference on a
// library a worker may be using and unbinding gives it back, so a probe never frees code or clears a
// pointer another thread is calling; the libraries keep their state per calling thread, so the
// probe's calls never disturb another thread's decoder either.
#pragma once
#include "media/binders/binders.h"

namespace probe_lib {
#include "media/binders/binding_declarations.inc"

// A binding for the length of a scope: bound by the constructor, unbound by the destructor (also
// after a failed binding, which may leave the library loaded).
class Bound {
public:
    Bound(int (*load)(), void (*unload)()) : unload_(unload), result_(load()) {}
    ~Bound() { unload_(); }
    Bound(const Bound&) = delete;
    Bound& operator=(const Bound&) = delete;
    bool ok() const { return result_ == 0; }

private:
    void (*unload_)();
    int result_;
};

#define PROBE_BIND(library) ::probe_lib::Bound(::probe_lib::load_##library, ::probe_lib::unload_##library)
}  // namespace probe_lib
