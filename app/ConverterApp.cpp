#include "ConverterApp.h"
#include "ConverterDlg.h"

CConverterApp theApp;

CConverterApp::CConverterApp() : CWinApp("Orvane多媒体MP4转换器") {}

BOOL CConverterApp::InitInstance() {
    // Texts of the window-free layers (library binders, decoders) become this program's message boxes.
    AfxInstallMessageSeam();
    AfxEnableControlContainer();
    Enable3dControls();
    INITCOMMONCONTROLSEX icc = {sizeof icc, 0xFF};
    InitCommonControlsEx(&icc);
    CConverterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
