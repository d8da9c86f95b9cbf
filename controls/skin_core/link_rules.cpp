#include "link_rules.h"

namespace skin {

std::string browser_command(const std::string& command, const std::string& target) {
    size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos) cut = command.find("%1");
    std::string line = cut == std::string::npos ? command : command.substr(0, cut);
    return line + " " + target;
}

std::string link_error_message(int result) {
    switch (result) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30: return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: return "Unknown Error (" + std::to_string(result) + ") occurred.";
    }
}

std::string link_error_text(int result) { return "Unable to open hyperlink:\n\n" + link_error_message(result); }

Rect fit_link_window(Rect w, Size size, uint32_t style) {
    constexpr uint32_t kTypeMask = 0x1F, kCenter = 0x1, kRight = 0x2, kCenterImage = 0x200;
    Rect r;
    if (style & kCenterImage) {
        const int middle = (w.top + w.bottom) / 2;
        r.top = middle - size.height / 2;
    } else {
        r.top = w.top;
    }
    r.bottom = r.top + size.height;
    const uint32_t type = style & kTypeMask;
    if (type == kCenter) {
        const int middle = (w.left + w.right) / 2;
        r.left = middle - size.width / 2;
    } else if (type == kRight) {
        r.left = w.right - size.width;
    } else {
        r.left = w.left;
    }
    r.right = r.left + size.width;
    return r;
}

}  // namespace skin
