// The unit a column title may give in parentheses, "X(m)", "纬度（°）", "H (m)", and whether it
// suits the field: zerb-shift reads lengths in metres and angles in degrees, and a column in
// feet, kilometres or radians must be converted first, never read as if it were in metres or
// degrees.
//
// Lengths (x, y, h, H): m, 米, metre, metres, meter, meters. Angles (L0, B, L): °, deg, degree,
// degrees, 度, which allow every notation of the angle, and dms, d:m:s, dd:mm:ss, °′″, 度分秒,
// which say that degrees, minutes and seconds are written apart: in such a column a decimal
// number is refused, for it would be the packed dd.mmss of a calculator, unless --angle-format
// says how to read it.
// Words and letter marks in any case but m, which is only metres in lower case. Parentheses may
// be ASCII or full-width, blanks around the unit are ignored; empty parentheses give no unit.
#ifndef ZERB_READERS_UNITS_H
#define ZERB_READERS_UNITS_H

#include <string>
#include <string_view>

#include "text/text.h"

namespace zerb {

// What the values of a field measure.
enum class Quantity { kText, kLength, kAngle };

// A title cut into the title proper and the unit in parentheses at its end (empty when none),
// both without the blanks around them.
struct TitleUnit {
  std::string_view title;
  std::string_view unit;
};
TitleUnit SplitUnit(std::string_view title);

// Whether unit suits a field measuring quantity; *dms tells whether it marks degrees, minutes
// and seconds written apart. The reason names the unit and the units accepted.
Reason CheckUnit(std::string_view unit, Quantity quantity, bool* dms);

// The units accepted, as the help and the messages list them: of lengths ("m, 米, metre, ..."),
// of angles in degrees, and of angles in degrees, minutes and seconds written apart.
std::string LengthUnits();
std::string DegreeUnits();
std::string DmsUnits();

}  // namespace zerb

#endif  // ZERB_READERS_UNITS_H
