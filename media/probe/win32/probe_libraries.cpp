#include "media/probe/win32/probe_libraries.h"

namespace probe_lib {
#include "media/binders/binding_definitions.inc"
}  // namespace probe_lib
