// The framework's per-thread state, in a Win32 TLS slot of this module.
#include "afximpl.h"
#include <new>

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;
DWORD g_slot = TLS_OUT_OF_INDEXES;
// Every live state of this module, newest first (under g_lock).
AfxThreadState* g_states = nullptr;
int g_state_count = 0;

void link(AfxThreadState* state) {
    AcquireSRWLockExclusive(&g_lock);
    state->next = g_states;
    if (g_states) g_states->prev = state;
    g_states = state;
    ++g_state_count;
    ReleaseSRWLockExclusive(&g_lock);
}

void unlink(AfxThreadState* state) {
    AcquireSRWLockExclusive(&g_lock);
    if (state->prev) state->prev->next = state->next;
    else g_states = state->next;
    if (state->next) state->next->prev = state->prev;
    state->prev = state->next = nullptr;
    --g_state_count;
    ReleaseSRWLockExclusive(&g_lock);
}

DWORD slot() {
    DWORD current = __atomic_load_n(&g_slot, __ATOMIC_ACQUIRE);
    if (current != TLS_OUT_OF_INDEXES) return current;
    AcquireSRWLockExclusive(&g_lock);
    if (g_slot == TLS_OUT_OF_INDEXES) __atomic_store_n(&g_slot, TlsAlloc(), __ATOMIC_RELEASE);
    current = g_slot;
    ReleaseSRWLockExclusive(&g_lock);
    return current;
}

// Should a thread's state not be had (no slot, no memory), the thread shares this one.
AfxThreadState& fallback() {
    static AfxThreadState state;
    return state;
}

}  // namespace

void AfxThreadState::Abandon() {
    // The module is going: its hooks go with it; the wrappers of another thread are let go without
    // their destructors, which may reach for what the module has already taken down.
    if (cbt_hook) ::UnhookWindowsHookEx(cbt_hook);
    if (pretranslate_hook) ::UnhookWindowsHookEx(pretranslate_hook);
    cbt_hook = pretranslate_hook = nullptr;
    for (auto& e : temp.windows) (void)e.second.release();
    for (auto& e : temp.dcs) (void)e.second.release();
    for (auto& e : temp.gdi) (void)e.second.release();
    for (auto& e : temp.menus) (void)e.second.release();
    for (auto& e : temp.image_lists) (void)e.second.release();
}

AfxThreadState::~AfxThreadState() {
    temp.Clear();
    if (cbt_hook) ::UnhookWindowsHookEx(cbt_hook);
    if (pretranslate_hook) ::UnhookWindowsHookEx(pretranslate_hook);
}

AfxThreadState& AfxThread() {
    // TlsGetValue clears the last error; callers of the framework may still want theirs.
    const DWORD error = GetLastError();
    const DWORD index = slot();
    if (index == TLS_OUT_OF_INDEXES) return fallback();
    auto* state = static_cast<AfxThreadState*>(TlsGetValue(index));
    if (!state) {
        state = new (std::nothrow) AfxThreadState;
        if (!state || !TlsSetValue(index, state)) {
            delete state;
            SetLastError(error);
            return fallback();
        }
        link(state);
    }
    SetLastError(error);
    return *state;
}

void AfxTermThread(HINSTANCE) {
    const DWORD error = GetLastError();
    const DWORD index = __atomic_load_n(&g_slot, __ATOMIC_ACQUIRE);
    auto* state = index == TLS_OUT_OF_INDEXES ? nullptr : static_cast<AfxThreadState*>(TlsGetValue(index));
    if (state) {
        TlsSetValue(index, nullptr);
        unlink(state);
        delete state;
    }
    SetLastError(error);
}

int AfxLiveThreadStates() {
    AcquireSRWLockShared(&g_lock);
    const int count = g_state_count;
    ReleaseSRWLockShared(&g_lock);
    return count;
}

void AfxTermModule() {
    AcquireSRWLockExclusive(&g_lock);
    AfxThreadState* states = g_states;
    g_states = nullptr;
    g_state_count = 0;
    const DWORD old_slot = g_slot;
    g_slot = TLS_OUT_OF_INDEXES;
    ReleaseSRWLockExclusive(&g_lock);
    while (states) {
        AfxThreadState* next = states->next;
        states->prev = states->next = nullptr;
        states->Abandon();
        delete states;
        states = next;
    }
    if (old_slot != TLS_OUT_OF_INDEXES) TlsFree(old_slot);
}
