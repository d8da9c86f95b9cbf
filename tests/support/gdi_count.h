// The number of GDI objects this process holds, for leak checks around repeated painting.
// Wine leaves GetGuiResources unimplemented (it returns 0), so the count then comes from the
// process's GDI handle table, which Wine keeps as Windows does behind PEB::GdiSharedHandleTable.
#pragma once
#include <windows.h>
#include <winternl.h>
#include <ntgdi.h>

#ifndef GR_GDIOBJECTS
#define GR_GDIOBJECTS 0
#endif

inline int gdi_object_count() {
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted) return (int)counted;
    const GDI_SHARED_MEMORY* table = (const GDI_SHARED_MEMORY*)NtCurrentTeb()->Peb->GdiSharedHandleTable;
    if (!table) return -1;
    int n = 0;
    for (int i = 0; i < GDI_MAX_HANDLE_COUNT; ++i)
        if (table->Handles[i].Type) ++n;
    return n;
}
