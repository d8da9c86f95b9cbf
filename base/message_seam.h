// Texts the user must see, and the answer they give, pass through this one seam. Code below the
// window layer reports here; the program installs the message-box implementation at start-up, and a
// test installs a recorder. Without one installed, the text goes to the error stream and the first
// button counts as pressed.
#pragma once

namespace seam {

// Styles and answers with the values of the Win32 message box, so an implementation passes them on.
enum Style : unsigned {
    kOk = 0x0,
    kOkCancel = 0x1,
    kAbortRetryIgnore = 0x2,
    kYesNoCancel = 0x3,
    kYesNo = 0x4,
    kRetryCancel = 0x5,
    kIconStop = 0x10,
    kIconQuestion = 0x20,
    kIconWarning = 0x30,
    kIconInformation = 0x40,
};
enum Answer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerAbort = 3, kAnswerRetry = 4, kAnswerYes = 6, kAnswerNo = 7 };

// caption null means the program's own name; "" an empty caption.
using Reporter = int (*)(const char* text, const char* caption, unsigned style, void* context);

// Installs (or with nullptr removes) the reporter of this module; returns the previous one.
Reporter set_reporter(Reporter reporter, void* context);
int report(const char* text, const char* caption, unsigned style);

// The answer of the first button of a style (what Enter would give).
int first_button(unsigned style);

}  // namespace seam
