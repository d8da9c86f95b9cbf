// For tests of code that must show no message: installed as the seam's reporter, every message box
// fails the running test. Include after GoogleTest.
#pragma once

inline int refuse_message_boxes(const char* text, const char*, unsigned, void*) {
    ADD_FAILURE() << "message box: " << text;
    return 1;  // the OK button
}
