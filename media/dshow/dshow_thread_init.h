// COM, OLE and the common controls for a thread that uses the DirectShow readers. Each successful
// dshow_thread_init is paired with dshow_thread_done on the same thread.
#pragma once
#include <windows.h>

// Registers the common control classes and initialises OLE (and with it COM) on this thread.
// Returns OleInitialize's result: S_OK, S_FALSE when already initialised here, or a failure.
HRESULT dshow_thread_init();
void dshow_thread_done();
