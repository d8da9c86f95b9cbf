// The hyperlink static without a window: the browser command a registered ".htm" class gives for a
// target, the text of the box that reports a target that would not open, and where the window goes
// when it is fitted to its text.
#pragma once
#include "skin_scheme.h"
#include <cstdint>
#include <string>

namespace skin {

// The command cut at the first "%1" between double quotes (the opening quote included), else at the
// first "%1", else kept whole; then a blank and the target.
std::string browser_command(const std::string& command, const std::string& target);

// The message for a shell result (0..32), "Unknown Error (%d) occurred." for any other.
std::string link_error_message(int result);
// The whole text of the box: "Unable to open hyperlink:" and a blank line before the message.
std::string link_error_text(int result);

// The window of a static with style bits `style` fitted to `size` (the text's extent plus the border):
// SS_CENTERIMAGE keeps its vertical centre (else its top), SS_CENTER its horizontal centre, SS_RIGHT
// its right edge (else its left edge).
Rect fit_link_window(Rect window, Size size, uint32_t style);

}  // namespace skin
