// The dialog font of a template and the dialog base units derived from it.
#ifndef ZERB_PLATFORM_DETAIL_DIALOG_FONT_H
#define ZERB_PLATFORM_DETAIL_DIALOG_FONT_H

#include <QFont>

#include "platform/resource_format.h"

// The template's face at its point size, taken at the platform's 96 dots per inch so a layout
// in dialog units comes out the same on every screen (the toolkit scales it for high density).
// A face that is not installed, such as "宋体" on Linux, resolves to an installed Song/Ming-style
// CJK face, so Chinese text is drawn with real glyphs.
QFont DialogFont(const DialogTemplate& t);

struct DialogBaseUnits {
  int x;  // pixels per 4 horizontal dialog units
  int y;  // pixels per 8 vertical dialog units
};

// Horizontal base: the average width of the 52 Latin letters, rounded as the platform rounds
// it, (width of "A..Za..z" / 26 + 1) / 2. Vertical base: the font's height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

#endif  // ZERB_PLATFORM_DETAIL_DIALOG_FONT_H
