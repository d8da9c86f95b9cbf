#include "afxdisp.h"
#include <ole2.h>
#include <atomic>

namespace {
// The thread on which AfxOleInit succeeded (0: none), so the release is paired on that thread.
std::atomic<DWORD> g_ole_thread{0};
}  // namespace

BOOL AfxOleInit() {
    if (g_ole_thread.load() == GetCurrentThreadId()) return TRUE;
    if (FAILED(OleInitialize(nullptr))) return FALSE;
    DWORD none = 0;
    if (!g_ole_thread.compare_exchange_strong(none, GetCurrentThreadId())) {
        // Another thread holds the application's OLE; this thread's initialisation is released here.
        OleUninitialize();
        return FALSE;
    }
    return TRUE;
}

void AfxOleTerm(BOOL just_revoke) {
    DWORD mine = GetCurrentThreadId();
    if (just_revoke || !g_ole_thread.compare_exchange_strong(mine, 0)) return;
    OleUninitialize();
}
