// The main dialog's window, target of every WM_DLG_NOTIFY the workers, pages and views send.
#pragma once
#include <windows.h>
#include <atomic>

extern std::atomic<HWND> g_main_hwnd;

// The private message of the main dialog: WM_DLG_NOTIFY(code, argument), sent with SendMessage.
constexpr UINT WM_DLG_NOTIFY = WM_USER + 30;
