// Dialog template 102, the main form: fourteen fields in three groups (local grid point at the
// left, WGS-84 point below it, results at the right), their labels, and the two buttons.
#include "platform/resource_format.h"
#include "res/dialogs.h"
#include "res/resource.h"

namespace {

constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kResult = kEdit | ES_READONLY;
constexpr DWORD kLabel = SS_LEFT | WS_GROUP;

constexpr DialogItemTemplate kItems[] = {
    {ControlClass::Button, IDOK, "转换", 41, 116, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
    {ControlClass::Button, IDCANCEL, "取消", 124, 114, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
    {ControlClass::Edit, IDC_GK_X, "", 22, 10, 88, 13, kEdit},
    {ControlClass::Edit, IDC_GK_Y, "", 22, 25, 88, 13, kEdit},
    {ControlClass::Edit, IDC_GK_H, "", 22, 41, 88, 13, kEdit},
    {ControlClass::Edit, IDC_B_DEG, "", 22, 63, 27, 13, kEdit},
    {ControlClass::Edit, IDC_B_MIN, "", 61, 63, 27, 13, kEdit},
    {ControlClass::Edit, IDC_B_SEC, "", 100, 63, 46, 13, kEdit},
    {ControlClass::Edit, IDC_L_DEG, "", 22, 79, 27, 13, kEdit},
    {ControlClass::Edit, IDC_L_MIN, "", 61, 79, 27, 13, kEdit},
    {ControlClass::Edit, IDC_L_SEC, "", 100, 79, 46, 13, kEdit},
    {ControlClass::Edit, IDC_WGS_H, "", 22, 96, 79, 13, kEdit},
    {ControlClass::Edit, IDC_L0, "", 115, 96, 41, 13, kEdit},
    {ControlClass::Edit, IDC_DX, "", 126, 10, 88, 13, kResult},
    {ControlClass::Edit, IDC_DY, "", 126, 26, 88, 13, kResult},
    {ControlClass::Edit, IDC_DZ, "", 126, 42, 88, 13, kResult},
    {ControlClass::Static, IDC_STATIC, "x", 10, 12, 8, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "y", 10, 24, 8, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "h", 10, 44, 8, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "B", 10, 65, 8, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "L", 10, 81, 8, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "H", 10, 97, 8, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "分", 91, 64, 8, 9, kLabel},
    {ControlClass::Static, IDC_STATIC, "度", 51, 65, 8, 9, kLabel},
    {ControlClass::Static, IDC_STATIC, "分", 91, 81, 8, 9, kLabel},
    {ControlClass::Static, IDC_STATIC, "度", 51, 81, 8, 9, kLabel},
    {ControlClass::Static, IDC_STATIC, "秒", 148, 65, 8, 9, kLabel},
    {ControlClass::Static, IDC_STATIC, "秒", 148, 81, 8, 9, kLabel},
    {ControlClass::Static, IDC_STATIC, "dx", 114, 13, 9, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "dy", 114, 29, 9, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "dz", 114, 45, 9, 8, kLabel, WS_EX_RIGHT},
    {ControlClass::Static, IDC_STATIC, "L0", 105, 98, 9, 8, kLabel},
    {ControlClass::Static, IDC_STATIC, "度", 159, 98, 16, 9, kLabel},
};

// What a screen reader announces for each field: its row's label and, where there is one, the
// unit beside it.
constexpr AccessibleName kNames[] = {
    {IDC_GK_X, "x"},     {IDC_GK_Y, "y"},     {IDC_GK_H, "h"},  {IDC_B_DEG, "B 度"},
    {IDC_B_MIN, "B 分"}, {IDC_B_SEC, "B 秒"}, {IDC_WGS_H, "H"}, {IDC_L_DEG, "L 度"},
    {IDC_L_MIN, "L 分"}, {IDC_L_SEC, "L 秒"}, {IDC_L0, "L0"},   {IDC_DX, "dx"},
    {IDC_DY, "dy"},      {IDC_DZ, "dz"},
};

}  // namespace

const DialogTemplate kShiftDialogTemplate = {
    IDD_SHIFT_DIALOG,
    true,
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    WS_EX_APPWINDOW,
    221,
    137,
    "求转换参数",
    9,
    FW_NORMAL,
    false,
    DEFAULT_CHARSET,
    "宋体",
    kItems,
    kNames,
};
