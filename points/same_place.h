// Whether a common point's two descriptions are the same place: its grid position, inverse
// projected on the grid's ellipsoid (grid_projection.h), against its WGS-84 latitude and longitude,
// and its grid height h against its WGS-84 height H.
//
// A datum shift between Krassovsky and WGS-84 moves a point by less than the limits below, so a
// point beyond them was read wrongly: angles in another form, the wrong zone, northing and
// easting swapped, or a mistyped value. The shift computed from it would be kilometres of
// nonsense presented as a result, so such a point is refused before it enters any fit.
//
// The separation is a great-circle distance on a sphere of the mean Earth radius (6371 km)
// between the two latitude/longitude pairs: within 0.5 % of the distance on the ellipsoid, far
// finer than the limits, which is all it is compared with.
#ifndef ZERB_POINTS_SAME_PLACE_H
#define ZERB_POINTS_SAME_PLACE_H

#include "points/grid_projection.h"
#include "readers/angle.h"

namespace zerb {

// Metres. The published Beijing 1954 to WGS 84 transformations move points by under 200 m
// horizontally (with the EPSG translations 15.8, -154.4, -82.3 or 31.4, -144.3, -74.8, PROJ gives
// 18 to 113 m over China, latitudes 18 to 54 degrees, longitudes 73 to 135); the limit leaves half
// as much again for the local distortions of old networks.
inline constexpr double kMaxHorizontalSeparation = 300;
// Metres. The same transformations change ellipsoidal heights by -66 to -24 m over China, and a
// grid height that is a normal height differs from a height above the ellipsoid by the height
// anomaly, which lies within -107 to +86 m world-wide (EGM2008); 200 m holds both.
inline constexpr double kMaxVerticalSeparation = 200;

struct Separation {
  double horizontal = 0;  // metres; infinite when the grid position projects to no place
  double vertical = 0;    // H - h, metres
  // The grid position inverse projected on the grid's ellipsoid (radians), so that the shift need
  // not project it again: with the dialog's series, bit for bit as ComputeShift projects it.
  double grid_latitude = 0;
  double grid_longitude = 0;
  bool within() const;  // both within their limits
};

// The separation of the grid point (northing x, easting y with the grid's false easting and no
// zone number, height h, metres) in the zone with central meridian meridian (degrees),
// inverse projected by projection, from the WGS-84 point at latitude, longitude (decimal degrees)
// and height (metres).
Separation Separate(const GridProjection& projection, double x, double y, double h, double meridian,
                    double latitude, double longitude, double height);

}  // namespace zerb

#endif  // ZERB_POINTS_SAME_PLACE_H
