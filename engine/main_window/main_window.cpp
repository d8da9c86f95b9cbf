#include "engine/main_window/main_window.h"

std::atomic<HWND> g_main_hwnd{nullptr};
