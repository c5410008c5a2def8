#include "app/shift_app.h"

#include "app/shift_dialog.h"

BEGIN_MESSAGE_MAP(CShiftApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CShiftApp::CShiftApp() : CWinApp(nullptr) {}

// The one application object, built during static initialisation.
CShiftApp theApp;

BOOL CShiftApp::InitInstance() {
  AfxEnableControlContainer(nullptr);
  Enable3dControls();

  CShiftDialog dlg(nullptr);
  m_pMainWnd = &dlg;
  dlg.DoModal();

  // The form has been closed: end the program instead of entering a message loop.
  return FALSE;
}
