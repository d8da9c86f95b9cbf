// Handles the messages waiting on this thread, and keeps doing so for `ms` milliseconds when given.
// A test dialog's loop passes the framework's pre-translation; a host's plain loop passes none.
#pragma once
#include <windows.h>

inline void pump_messages(DWORD ms = 0, BOOL (*pretranslate)(MSG*) = nullptr) {
    const DWORD until = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (pretranslate && pretranslate(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms) Sleep(5);
    } while (GetTickCount() < until);
}
