// A class that every module of the isolation test defines under the same name, each with its own
// variant, and the entry points through which the test asks a DLL about its own copy of the framework.
#pragma once
#include "afxwin.h"
#include "probe_ids.h"

class CModuleProbe : public CDialog {
public:
    CModuleProbe() : CDialog(IDD_PROBE) {}
    virtual const char* Variant() const;
};

extern "C" {
typedef const char*(__cdecl* probe_variant_t)();
typedef int(__cdecl* probe_text_t)(char* buffer, int size);
typedef HINSTANCE(__cdecl* probe_handle_t)();
typedef int(__cdecl* probe_flag_t)();
typedef unsigned(__cdecl* probe_skin_t)(int scheme, int* background_width);
typedef void(__cdecl* probe_action_t)();
}
