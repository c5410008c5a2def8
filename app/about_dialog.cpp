#include "app/about_dialog.h"

#include "res/resource.h"

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUT_DIALOG, nullptr) {}

void CAboutDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
}

BEGIN_MESSAGE_MAP(CAboutDialog, CDialog)
END_MESSAGE_MAP()
