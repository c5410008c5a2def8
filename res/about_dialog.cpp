// Dialog template 100, the About box: the icon, the program's name and version, the copyright
// line and the button that closes it.
#include "platform/resource_format.h"
#include "res/dialogs.h"
#include "res/resource.h"

namespace {

constexpr DialogItemTemplate kItems[] = {
    {ControlClass::Static, IDC_STATIC, nullptr, 11, 17, 20, 20, SS_ICON, 0, IDI_APP_ICON},
    {ControlClass::Static, IDC_STATIC, "zerb 1.0 版", 40, 10, 119, 8,
     SS_LEFT | SS_NOPREFIX | WS_GROUP},
    {ControlClass::Static, IDC_STATIC, "版权所有 (C) 2026 zerb 开发组", 40, 25, 119, 8,
     SS_LEFT | WS_GROUP},
    {ControlClass::Button, IDOK, "确定", 178, 7, 50, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
};

}  // namespace

const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUT_DIALOG,
    false,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    235,
    55,
    "关于 zerb",
    9,
    FW_NORMAL,
    false,
    DEFAULT_CHARSET,
    "宋体",
    kItems,
};
