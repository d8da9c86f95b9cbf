// The wave-scope thread: every 10 ms it draws what the audio path collected into the main dialog's
// second status label (control 1002), through a device context of its own.
#pragma once
#include <windows.h>

// Runs while g_scope_running is set (the starter sets it before creating the thread); the argument is
// not used. Returns the device context's release result.
DWORD WINAPI wave_scope_thread(LPVOID argument);
