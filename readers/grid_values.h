// Parsing of the local Gauss-Krueger values as typed: plain lengths, the central meridian L0 in
// whole degrees, and the easting with an optional zone number in front.
//
// Zone prefix (the Chinese grid forms): an easting with 8 integer digits carries the zone number
// in its first two. Zones 13 to 23 are 6-degree zones with central meridian 6n - 3, zones 25 to
// 45 are 3-degree zones with central meridian 3n; other prefixes are refused. The prefix is
// removed from the text before the number is read, so 38500000.123 reads the same double as
// 500000.123 (reading the 8-digit value and subtracting would round at the larger magnitude).
// An easting without prefix must lie between 100000 and 900000 m: within 400 km of the central
// meridian, more than the half-width of a 6-degree zone at the equator (334 km). Anything else
// (7 digits, 9 or more, negative) is refused rather than turned into a meaningless longitude.
//
// Numbers are read by the shared number text (numtext/), so full-width digits, signs and decimal
// points from a Chinese input method read as in the dialog; on top of it a coordinate must be a
// plain decimal: no exponent, no "inf" or "nan".
#ifndef ZERB_READERS_GRID_VALUES_H
#define ZERB_READERS_GRID_VALUES_H

#include <string>
#include <string_view>

#include "text/text.h"

namespace zerb {

inline constexpr double kMinEasting = 100000.0;
inline constexpr double kMaxEasting = 900000.0;

// A finite decimal number in metres, blanks around it allowed.
Reason ParseLength(std::string_view text, double* value);

// Whole degrees within -180 to 180 (the dialog's bounds); a ".0" fraction is accepted.
Reason ParseCentralMeridian(std::string_view text, int* degrees);

struct Easting {
  double y = 0;           // metres, 500000 m false easting, no prefix
  int zone = 0;           // 0 when the easting carried no zone number
  int zone_meridian = 0;  // central meridian of that zone, whole degrees
};
Reason ParseEasting(std::string_view text, Easting* easting);

// An easting of a grid with another false easting: a plain length within 100000 km (the reach of
// --false-easting, which may hold a zone number, 36500000), as nothing else tells its range;
// whether it lies in the grid's reach is the same-place check's to say.
Reason ParsePlainEasting(std::string_view text, double* easting);

}  // namespace zerb

#endif  // ZERB_READERS_GRID_VALUES_H
