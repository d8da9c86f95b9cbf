// The main dialog's window, target of every WM_DLG_NOTIFY the workers, pages and views send.
#pragma once
#include <windows.h>
#include <atomic>

extern std::atomic<HWND> g_main_hwnd;
