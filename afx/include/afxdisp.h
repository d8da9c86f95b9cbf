// OLE for the program's own thread, as the framework gives it: AfxOleInit at start-up, released again
// when the application ends (AfxWinMain calls AfxOleTerm on the thread that initialised it).
#pragma once
#include <windows.h>

// Initialises OLE (and COM) on the calling thread; TRUE when it is initialised.
BOOL AfxOleInit();
// Releases what AfxOleInit set up, when called on the thread that called it.
void AfxOleTerm(BOOL just_revoke = FALSE);
