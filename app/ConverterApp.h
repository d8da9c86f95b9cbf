// The application object: runs the main dialog modally; the program ends when it ends.
#pragma once
#include "afxwin.h"

class CConverterApp : public CWinApp {
public:
    CConverterApp();
    BOOL InitInstance() override;
};
