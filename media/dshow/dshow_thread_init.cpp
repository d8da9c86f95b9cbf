#include "dshow_thread_init.h"
#include <commctrl.h>
#include <ole2.h>

HRESULT dshow_thread_init() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    return OleInitialize(nullptr);
}

void dshow_thread_done() { OleUninitialize(); }
