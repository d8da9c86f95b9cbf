// Every message box and other modal question goes through this seam, so that tests can record the
// text and answer it without a person. A test in the same process installs a hook; a test that drives
// the program from outside sets TARMELO_MODAL_LOG (a file that gets one "caption<TAB>text" line per
// question) and optionally TARMELO_MODAL_ANSWER (the button id to answer, default the first button).
#pragma once
#include <windows.h>

typedef int (*AfxModalHook)(HWND owner, const char* text, const char* caption, UINT type, void* context);

// Installs (or with nullptr removes) the hook of this module; returns the previous one.
AfxModalHook AfxSetModalHook(AfxModalHook hook, void* context);
// MessageBoxA through the seam.
int AfxShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
// The framework's message box: owner is the active main window, caption the program's name.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT help_id = 0);
int AfxMessageBox(UINT prompt_id, UINT type = MB_OK, UINT help_id = (UINT)-1);
// Makes the reports of the window-free layers (base/message_seam.h) message boxes through this seam: a
// null caption becomes AfxMessageBox, any other caption a box with that caption and no owner.
void AfxInstallMessageSeam();
