// The UI colour (a Windows colour 0x00BBGGRR) the frame and most controls derive their shades from.
// Each module has its own; the program hands it the colour its settings hold (skin_set_ui_color) and
// reads it back before saving them. The libraries keep the default.
#pragma once
#include <windows.h>

extern COLORREF skin_ui_color;
