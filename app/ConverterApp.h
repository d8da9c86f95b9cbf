// The application object: runs the main dialog modally; the program ends when it ends.
#pragma once
#include "afxwin.h"

class CConverterApp : public CWinApp {
public:
    CConverterApp();
    BOOL InitInstance() override;
};

// Loads a DirectShow filter library (a name without a backslash lies beside the program), calls its
// DllRegisterServer when it has one and unloads it; true only when that returned 0.
bool register_filter_dll(const char* name);
