#include "app/shift_dialog.h"

#include "app/about_dialog.h"
#include "res/resource.h"

CShiftDialog::CShiftDialog(CWnd* pParent) : CDialog(IDD_SHIFT_DIALOG, pParent) {
  // m_form starts with every value 0 and the central meridian at 117 degrees.
  m_hIcon = LoadIcon(AfxFindResourceHandle(IDI_APP_ICON, RT_GROUP_ICON), IDI_APP_ICON);
}

void CShiftDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GK_H, m_form.m_gridH);
  DDX_Text(pDX, IDC_GK_X, m_form.m_gridX);
  DDX_Text(pDX, IDC_GK_Y, m_form.m_gridY);
  DDX_Text(pDX, IDC_B_DEG, m_form.m_latDeg);
  DDV_MinMaxInt(pDX, m_form.m_latDeg, -90, 90);
  DDX_Text(pDX, IDC_B_MIN, m_form.m_latMin);
  DDV_MinMaxInt(pDX, m_form.m_latMin, 0, 60);
  DDX_Text(pDX, IDC_B_SEC, m_form.m_latSec);
  DDX_Text(pDX, IDC_WGS_H, m_form.m_geoH);
  DDX_Text(pDX, IDC_L_DEG, m_form.m_lonDeg);
  DDV_MinMaxInt(pDX, m_form.m_lonDeg, -180, 180);
  DDX_Text(pDX, IDC_L_MIN, m_form.m_lonMin);
  DDV_MinMaxInt(pDX, m_form.m_lonMin, 0, 60);
  DDX_Text(pDX, IDC_L_SEC, m_form.m_lonSec);
  DDX_Text(pDX, IDC_DX, m_form.m_dx);
  DDX_Text(pDX, IDC_DY, m_form.m_dy);
  DDX_Text(pDX, IDC_DZ, m_form.m_dz);
  DDX_Text(pDX, IDC_L0, m_form.m_centralMeridian);
  DDV_MinMaxInt(pDX, m_form.m_centralMeridian, -180, 180);
}

// The convert command. It computes and writes back only after every field has been read: when
// a field is refused, the fields keep exactly what the user typed, the refused one has the focus
// with its text selected, and the results shown are still those of the last valid conversion.
void CShiftDialog::OnOK() {
  if (!UpdateData(TRUE))
    return;
  ComputeShift(m_form);
  UpdateData(FALSE);
}

BEGIN_MESSAGE_MAP(CShiftDialog, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

BOOL CShiftDialog::OnInitDialog() {
  CDialog::OnInitDialog();

  // The About item goes below the system menu's own items.
  CMenu* pSysMenu = GetSystemMenu(FALSE);
  if (pSysMenu != nullptr) {
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUT_MENU);
    if (!strAboutMenu.IsEmpty()) {
      pSysMenu->AppendMenu(MF_SEPARATOR);
      pSysMenu->AppendMenu(MF_STRING, IDM_ABOUT, strAboutMenu);
    }
  }

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  // The platform gives the focus to the first tab stop, the convert button.
  return TRUE;
}

void CShiftDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUT) {
    CAboutDialog dlgAbout;
    dlgAbout.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

// While minimised the window shows the application icon, centred in its client area.
void CShiftDialog::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;

    dc.DrawIcon(x, y, m_hIcon);
  } else {
    CDialog::OnPaint();
  }
}

// The icon shown while the user drags the minimised window.
HCURSOR CShiftDialog::OnQueryDragIcon() {
  return m_hIcon;
}
