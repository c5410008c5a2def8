// The datum of the GNSS side's latitude, longitude and ellipsoidal height: WGS 84, or CGCS2000
// (China Geodetic Coordinate System 2000, on the GRS80 ellipsoid), in which many Chinese GNSS
// networks and controllers give their coordinates.
//
// The two ellipsoids share a = 6378137 m and differ only in the flattening (WGS 84 1/298.257223563,
// GRS80 1/298.257222101): the same latitude, longitude and height lie 0.1 to 0.2 mm apart
// Earth-centred, the size of the exports' last digit, so a CGCS2000 point is turned Earth-centred
// on GRS80 and never on WGS 84's ellipsoid.
#ifndef ZERB_POINTS_GNSS_DATUM_H
#define ZERB_POINTS_GNSS_DATUM_H

#include <string_view>

#include "geodesy/geodesy.h"
#include "points/grid_projection.h"
#include "text/text.h"

namespace zerb {

enum class GnssDatum { kWgs84, kCgcs2000 };

// Reads --gnss-datum's value: "wgs84" or "cgcs2000".
Reason ParseGnssDatum(std::string_view text, GnssDatum* datum);
// The name ParseGnssDatum reads.
const char* GnssDatumOption(GnssDatum datum);
// The datum's name as the definitions and the JSON report write it: "WGS 84", "CGCS2000".
const char* GnssDatumName(GnssDatum datum);

// GRS80: semi-major axis (metres) and first eccentricity squared from its defining inverse
// flattening 298.257222101, e2 = f (2 - f).
inline constexpr double kGrs80A = 6378137.0;
inline constexpr double kGrs80InverseFlattening = 298.257222101;
inline const geodesy::Ellipsoid kGrs80{kGrs80A,
                                       (2 - 1 / kGrs80InverseFlattening) / kGrs80InverseFlattening};

// Why the grid's inverse projection cannot go with the datum: the dialog's series exists to give
// the dialog's dx, dy, dz bit for bit, and the dialog's GNSS side is WGS 84 only, so with CGCS2000
// there are no such bits to give, only a projection 3 mm worse than the exact one.
Reason ProjectionForDatum(ProjectionKind projection, GnssDatum datum);

}  // namespace zerb

#endif  // ZERB_POINTS_GNSS_DATUM_H
