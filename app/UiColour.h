// The UI colour on the program's own controls: every face and band derives from it.
#pragma once
#include "controls/button/SkinButton.h"

// Normal face the UI colour, focused a little lighter, hovered or pressed lighter still.
inline void colour_button_faces(CSkinButton& button, COLORREF ui) {
    button.m_crNormalFace = ui;
    button.m_crFocusFace = color_lighten(ui, 24);
    button.m_crHoverFace = color_lighten(ui, 48);
    // The background colours of the three states (hovered or pressed, focused, normal).
    button.SetColour(0, color_lighten(ui, 48), FALSE);
    button.SetColour(4, color_lighten(ui, 24), FALSE);
    button.SetColour(2, ui, FALSE);
    if (button.m_hWnd) button.Invalidate();
}
