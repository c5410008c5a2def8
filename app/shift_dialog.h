// The main form: one point in the local Gauss-Krueger grid and in WGS-84, and the three shift
// parameters computed from it.
#ifndef ZERB_APP_SHIFT_DIALOG_H
#define ZERB_APP_SHIFT_DIALOG_H

#include "geodesy/geodesy.h"
#include "platform/afxwin.h"

class CShiftDialog : public CDialog {
 public:
  explicit CShiftDialog(CWnd* pParent = nullptr);

  zerb::geodesy::ShiftForm m_form;
  HICON m_hIcon;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();

  DECLARE_MESSAGE_MAP()
};

#endif  // ZERB_APP_SHIFT_DIALOG_H
