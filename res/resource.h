// Resource ids of zerb: dialogs, string, icon, system-menu command and controls.
#ifndef ZERB_RES_RESOURCE_H
#define ZERB_RES_RESOURCE_H

inline constexpr unsigned IDM_ABOUT = 0x0010;

inline constexpr unsigned IDD_ABOUT_DIALOG = 100;
inline constexpr unsigned IDS_ABOUT_MENU = 101;
inline constexpr unsigned IDD_SHIFT_DIALOG = 102;
inline constexpr unsigned IDI_APP_ICON = 128;

inline constexpr int IDC_GK_X = 1000;
inline constexpr int IDC_GK_Y = 1001;
inline constexpr int IDC_WGS_H = 1002;
inline constexpr int IDC_B_DEG = 1003;
inline constexpr int IDC_GK_H = 1004;
inline constexpr int IDC_B_MIN = 1005;
inline constexpr int IDC_B_SEC = 1006;
inline constexpr int IDC_L_DEG = 1007;
inline constexpr int IDC_L_MIN = 1008;
inline constexpr int IDC_L_SEC = 1009;
inline constexpr int IDC_DX = 1010;
inline constexpr int IDC_DY = 1011;
inline constexpr int IDC_DZ = 1012;
inline constexpr int IDC_L0 = 1013;

#endif  // ZERB_RES_RESOURCE_H
