// Entry point of a program built on the framework: the global CWinApp object does the work.
#include "afxwin.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmd_line, int show) {
    return AfxWinMain(instance, prev, cmd_line, show);
}
