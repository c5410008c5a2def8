// The About box: the program's icon, name, version and copyright.
#ifndef ZERB_APP_ABOUT_DIALOG_H
#define ZERB_APP_ABOUT_DIALOG_H

#include "platform/afxwin.h"

class CAboutDialog : public CDialog {
 public:
  CAboutDialog();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  DECLARE_MESSAGE_MAP()
};

#endif  // ZERB_APP_ABOUT_DIALOG_H
