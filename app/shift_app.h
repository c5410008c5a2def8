// The zerb application: its start-up opens the main form and ends the program when it closes.
#ifndef ZERB_APP_SHIFT_APP_H
#define ZERB_APP_SHIFT_APP_H

#include "platform/afxwin.h"

class CShiftApp : public CWinApp {
 public:
  CShiftApp();
  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};

extern CShiftApp theApp;

#endif  // ZERB_APP_SHIFT_APP_H
