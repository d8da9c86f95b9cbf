// Every message box and other modal question goes through this seam, so that tests can record the
// text and answer it without a person. A test in the same process installs a hook; a test that drives
// the program from outside sets TARMELO_MODAL_LOG (a file that gets one "caption<TAB>text" line per
// question) and optionally TARMELO_MODAL_ANSWER (the button id to answer, default the first button).
#pragma once
#include <windows.h>
#include <shellapi.h>

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

// Every shell launch (ShellExecute, ShellExecuteEx, WinExec) of the window layer passes through this
// seam too, so that tests see what a click would open and nothing is launched. A test in the same
// process installs a hook; one that drives the program from outside sets TARMELO_SHELL_LOG (a file that
// gets one "verb<TAB>target<TAB>parameters" line per launch, and nothing is launched).
typedef BOOL (*AfxShellHook)(const char* verb, const char* target, const char* parameters, void* context);
AfxShellHook AfxSetShellHook(AfxShellHook hook, void* context);
// ShellExecuteA through the seam: the shell's result (above 32 on success; 33 when a seam took it).
HINSTANCE AfxShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                          const char* directory, int show);
// ShellExecuteExA through the seam (a seam that takes it reports success).
BOOL AfxShellExecuteEx(SHELLEXECUTEINFOA* info);
// WinExec through the seam: the command line is the target; above 31 on success.
UINT AfxWinExec(const char* command, UINT show);

// The common dialogs (file open and save, colour, font) pass through this seam too. A hook in the same
// process gets the request (OPENFILENAMEA, CHOOSECOLORA or CHOOSEFONTA), fills in the answer and
// returns IDOK or IDCANCEL. From outside, TARMELO_MODAL_LOG gets a line "title<TAB>kind: start" per
// dialog; TARMELO_DIALOG_VALUE then answers it (a path, a colour as 0xBBGGRR, a font face name) with
// IDOK, and without it the dialog is cancelled (TARMELO_MODAL_ANSWER may name the button instead).
// TARMELO_DIALOG_VALUE=@FILE reads the answer from FILE's first line at each dialog; a line "*" there
// shows the real dialog.
enum AfxDialogKind { AfxFileOpenDialog = 1, AfxFileSaveDialog, AfxColourDialog, AfxFontDialog };
typedef int (*AfxDialogHook)(HWND owner, AfxDialogKind kind, void* request, void* context);
AfxDialogHook AfxSetDialogHook(AfxDialogHook hook, void* context);
// Runs one common dialog through the seam; IDOK when the user (or a seam) chose something.
int AfxRunCommonDialog(HWND owner, AfxDialogKind kind, void* request);
