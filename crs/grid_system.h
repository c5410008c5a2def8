// The grid's geodetic system beyond its central meridian: the ellipsoid the grid is projected
// from (Beijing 1954 on Krassovsky 1940, Xi'an 1980 on IAG 1975, CGCS2000 on GRS80, WGS 84, or a
// user's own), and the transverse Mercator's false easting and northing, its scale on the
// central meridian and the height of the surface the grid lies on.
//
// A city or project grid ("local independent system") lies on the surface at the site's mean
// height h0, so that lengths on the grid match lengths on the ground. The surface is the
// ellipsoid grown by h0 at constant flattening (a' = a + h0, the usual way of moving the
// projection surface), and because the transverse Mercator is linear in a for a given
// flattening, the grid is exactly the ellipsoid's own projection with the scale factor
// multiplied by (a + h0) / a. Every CRS form can carry that, and the latitudes and longitudes,
// and the heights above the ellipsoid, stay those of the grid's datum.
#ifndef ZERB_CRS_GRID_SYSTEM_H
#define ZERB_CRS_GRID_SYSTEM_H

#include <string>
#include <string_view>

namespace zerb::crs {

enum class EllipsoidKind { kKrassovsky, kIag75, kGrs80, kWgs84, kOwn };

struct GridEllipsoid {
  EllipsoidKind kind = EllipsoidKind::kKrassovsky;
  double a = 6378245.0;  // semi-major axis, metres
  double inverse_flattening = 298.3;
};

// Reads --ellipsoid's value: krassovsky, iag75, cgcs2000 (GRS80), wgs84, or "A,RF" (semi-major
// axis in metres, inverse flattening) for a user's own. Returns the refusal, in the language of
// the messages, or an empty string.
std::string ParseEllipsoid(std::string_view text, GridEllipsoid* ellipsoid);

// The ellipsoid's name in the definitions: "Krassovsky 1940", "IAG 1975", "GRS 1980", "WGS 84",
// or "a = 6378000 m, 1/f = 298.25" for one's own.
std::string EllipsoidName(const GridEllipsoid& ellipsoid);

struct GridSystem {
  GridEllipsoid ellipsoid;
  double false_easting = 500000;  // metres, without a zone number
  double false_northing = 0;      // metres
  double scale = 1;               // on the central meridian
  double projection_height = 0;   // metres above the ellipsoid, h0

  // Whether the eastings may carry a zone number in front: only with the zones' own false
  // easting of 500000 m.
  bool zoned() const { return false_easting == 500000; }
  // Whether it is a Gauss-Krueger grid of the Chinese zones: false easting 500000 m, no false
  // northing, scale 1, on the ellipsoid itself (any ellipsoid).
  bool gauss_kruger() const {
    return zoned() && false_northing == 0 && scale == 1 && projection_height == 0;
  }
  // The default: Beijing 1954's Gauss-Krueger grid on Krassovsky, the only one the dialog knows.
  bool beijing_1954() const {
    return gauss_kruger() && ellipsoid.kind == EllipsoidKind::kKrassovsky;
  }
  // The scale factor on the central meridian of the projection of the ellipsoid itself:
  // scale * (a + h0) / a.
  double projection_scale() const {
    return scale * ((ellipsoid.a + projection_height) / ellipsoid.a);
  }
};

// Checks the values of --false-easting, --false-northing, --scale-factor and
// --projection-height together: finite, a scale between 0.9 and 1.1, a projection height
// between -1000 and 9000 m. Returns the refusal or an empty string.
std::string CheckGridSystem(const GridSystem& system);

}  // namespace zerb::crs

#endif  // ZERB_CRS_GRID_SYSTEM_H
