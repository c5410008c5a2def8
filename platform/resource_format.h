// The forms in which a program's resources are held as data: dialog templates, the string table,
// icon groups and the version block. A program lists its resources in one ResourceModule, defined
// by its resource script and linked into it, the way a module carries its resource section.
#ifndef ZERB_PLATFORM_RESOURCE_FORMAT_H
#define ZERB_PLATFORM_RESOURCE_FORMAT_H

#include <span>

#include "platform/win_types.h"

// Predefined control classes of the dialog manager.
enum class ControlClass { Button, Edit, Static };

// One control of a dialog template. Position and size are in dialog units. A static icon control
// names its icon group by `imageId` instead of a text.
struct DialogItemTemplate {
  ControlClass kind;
  int id;
  const char* text;
  short x, y, cx, cy;
  DWORD style;
  DWORD exStyle = 0;
  UINT imageId = 0;
};

// The name by which a screen reader announces a control, taken from the labels beside it.
struct AccessibleName {
  int id;
  const char* name;
};

// A dialog template: `extended` tells the extended template form (with weight, italic and
// character set of the font) from the plain one. Size in dialog units; the font in points.
struct DialogTemplate {
  UINT id;
  bool extended;
  DWORD style;
  DWORD exStyle;
  short cx, cy;
  const char* caption;
  WORD pointSize;
  WORD weight;
  bool italic;
  std::uint8_t charSet;
  const char* faceName;
  std::span<const DialogItemTemplate> items;
  std::span<const AccessibleName> accessibleNames = {};
};

struct StringResource {
  UINT id;
  const char* text;
};

// An icon group: the images as XPM data, the large (32 x 32) one and the small (16 x 16) one.
struct IconGroup {
  UINT id;
  const char* const* large;
  const char* const* small;
};

struct VersionString {
  const char* key;
  const char* value;
};

// The version block: fixed part, then one string table named by language and code page.
struct VersionInfo {
  WORD fileVersion[4];
  WORD productVersion[4];
  DWORD fileFlagsMask;
  DWORD fileFlags;
  DWORD fileOS;
  DWORD fileType;
  WORD language;
  WORD codePage;
  const char* stringTableKey;
  std::span<const VersionString> strings;
};

struct ResourceModule {
  WORD language;
  std::span<const DialogTemplate* const> dialogs;
  std::span<const StringResource> strings;
  std::span<const IconGroup> icons;
  const VersionInfo* version;
};

// The running program's own resources, defined by its resource script.
extern const ResourceModule g_moduleResources;

#endif  // ZERB_PLATFORM_RESOURCE_FORMAT_H
