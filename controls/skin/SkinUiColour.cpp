#include "SkinUiColour.h"

COLORREF skin_ui_color = 0x70300C;
