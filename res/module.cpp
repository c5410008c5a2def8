// zerb's resource module, language Chinese (PRC), 0x0804: the two dialog templates, the string
// table, icon group 128 and the version block.
#include "platform/resource_format.h"
#include "res/dialogs.h"
#include "res/icons/app_16.xpm"
#include "res/icons/app_32.xpm"
#include "res/resource.h"

namespace {

constexpr WORD kChinesePrc = 0x0804;

const DialogTemplate* const kDialogs[] = {&kAboutDialogTemplate, &kShiftDialogTemplate};

constexpr StringResource kStrings[] = {
    {IDS_ABOUT_MENU, "关于 zerb(&A)..."},
    // Shown by the Help command (F1).
    {ID_HELP,
     "在左侧输入点的地方高斯-克吕格坐标 x（北）、y（东，含 500000 米东伪偏移）、高程 h "
     "和中央子午线 "
     "L0（度），在下方输入同一点的 WGS-84 纬度 B、经度 L（度、分、秒）和大地高 H，然后按“转换”或 "
     "Enter。右侧显示三个平移参数 dx、dy、dz（WGS-84 减地方坐标系，地心直角坐标，单位米）。"},
};

constexpr IconGroup kIcons[] = {{IDI_APP_ICON, app_32_xpm, app_16_xpm}};

constexpr VersionString kVersionStrings[] = {
    {"Comments", ""},
    {"CompanyName", "zerb 开发组"},
    {"FileDescription", "求取参数变换的转换参数"},
    {"FileVersion", "1, 0, 0, 1"},
    {"InternalName", "org.example.zerb"},
    {"LegalCopyright", "版权所有 (C) 2026 zerb 开发组"},
    {"LegalTrademarks", ""},
    {"OriginalFilename", "zerb.EXE"},
    {"PrivateBuild", ""},
    {"ProductName", "zerb 应用程序"},
    {"ProductVersion", "1, 0, 0, 1"},
    {"SpecialBuild", ""},
};

constexpr VersionInfo kVersion = {
    {1, 0, 0, 1}, {1, 0, 0, 1}, 0x3F,       0,
    0x4,  // 32-bit Windows
    0x1,  // application
    kChinesePrc,  0x04B0,       "080404b0", kVersionStrings,
};

}  // namespace

const ResourceModule g_moduleResources = {kChinesePrc, kDialogs, kStrings, kIcons, &kVersion};
