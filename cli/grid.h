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
#ifndef ZERB_CLI_GRID_H
#define ZERB_CLI_GRID_H

#include <string>
#include <string_view>

namespace zerb {

inline constexpr double kMinEasting = 100000.0;
inline constexpr double kMaxEasting = 900000.0;
// Footpoint latitude up to about 81 degrees; the inverse series is not meant for the polar caps.
inline constexpr double kMaxNorthing = 9000000.0;

// How far the WGS-84 longitude may lie from the zone's central meridian, in degrees: half a
// 6-degree zone and a margin. Farther, the grid point and the WGS-84 point cannot be the same
// point, and the shift would be hundreds of kilometres of nonsense.
inline constexpr double kMaxMeridianDistance = 5.0;

// A finite decimal number, blanks around it allowed. Returns an empty string on success and the
// reason otherwise.
std::string ParseLength(std::string_view text, double* value);

// Whole degrees within -180 to 180 (the dialog's bounds); a ".0" fraction is accepted.
std::string ParseCentralMeridian(std::string_view text, int* degrees);

struct Easting {
  double y = 0;           // metres, 500000 m false easting, no prefix
  int zone = 0;           // 0 when the easting carried no zone number
  int zone_meridian = 0;  // central meridian of that zone, whole degrees
  std::string error;      // empty on success
};
Easting ParseEasting(std::string_view text);

}  // namespace zerb

#endif  // ZERB_CLI_GRID_H
