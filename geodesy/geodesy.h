// Geodetic computation of zerb: the shift parameters between a local Gauss-Krueger grid on the
// Krassovsky 1940 ellipsoid and WGS-84, from one point known in both systems.
//
// Plain C++ with no state, no allocation, no error codes and no exceptions. Angles are radians
// inside these functions and degrees-minutes-seconds (whole degrees for the central meridian) in
// ShiftForm and GeodeticDms; lengths are metres. Every expression is evaluated in a fixed order
// and form, so with the same elementary-function results the outputs are reproducible to the
// last bit.
#ifndef ZERB_GEODESY_GEODESY_H
#define ZERB_GEODESY_GEODESY_H

#include <cmath>

namespace zerb::geodesy {

// The fourteen values of the main form, in the form's exchange order. x is the local northing,
// y the local easting including the 500000 m false easting, h the height above Krassovsky;
// B, L, H are the WGS-84 latitude, longitude and ellipsoidal height; L0 (m_centralMeridian) is the
// zone's central meridian in whole degrees; dx, dy, dz are the results, WGS-84 minus local.
struct ShiftForm {
  double m_gridH = 0;
  double m_gridX = 0;
  double m_gridY = 0;
  int m_latDeg = 0;
  int m_latMin = 0;
  double m_latSec = 0;
  double m_geoH = 0;
  int m_lonDeg = 0;
  int m_lonMin = 0;
  double m_lonSec = 0;
  double m_dx = 0;
  double m_dy = 0;
  double m_dz = 0;
  int m_centralMeridian = 117;
};

// WGS-84: semi-major axis (metres) and first eccentricity squared.
inline constexpr double WGS84_A = 6378137.0;
inline constexpr double WGS84_E2 = 0.00669437999013;
// Krassovsky 1940: semi-major axis (metres) and first eccentricity squared.
inline constexpr double KRASSOVSKY_A = 6378245.0;
inline constexpr double KRASSOVSKY_E2 = 0.00669342162297;
// pi/180, the double nearest to it.
inline constexpr double DEG_TO_RAD = 0.017453292519943295;

// An ellipsoid as the functions below take it: semi-major axis a (metres), first eccentricity
// squared e2 as defined, and the eccentricity e, formed once as std::sqrt(e2) (correctly rounded,
// so every user gets the same bits), never passed around as a separately rounded constant.
struct Ellipsoid {
  Ellipsoid(double semi_major_axis, double eccentricity_squared)
      : a(semi_major_axis), e2(eccentricity_squared), e(std::sqrt(eccentricity_squared)) {}
  double a;
  double e2;
  double e;
};

// Inline, so each translation unit that includes this header initialises them before any of its
// own namespace-scope objects that use them.
inline const Ellipsoid kWgs84{WGS84_A, WGS84_E2};
inline const Ellipsoid kKrassovsky{KRASSOVSKY_A, KRASSOVSKY_E2};

// Geodetic latitude B, longitude L (radians, north and east positive) and height h (metres) on
// the ellipsoid with semi-major axis a (metres) and first eccentricity e (not e^2) to
// Earth-centred Cartesian X, Y, Z (metres; X toward B = 0, L = 0, Z toward the north pole).
// Closed form, exact up to rounding for every finite input; no range checks.
void GeodeticToGeocentric(double a, double e, double B, double L, double h, double* X, double* Y,
                          double* Z);

// Inverse Gauss-Krueger projection on the Krassovsky 1940 ellipsoid: grid northing x and easting
// y (metres, y with its 500000 m false easting and no zone prefix) in the zone with central
// meridian L0 (radians) to geodetic latitude B and longitude L (radians). a (metres) and e enter
// only through the radius of curvature and the second eccentricity: the footpoint series is fixed
// to Krassovsky. Within 1e-4 arc-second at latitudes 30 to 60 degrees and up to 3 degrees from L0.
// No checks: a footpoint near a pole gives meaningless values.
void GaussKrugerInverse(double a, double e, double L0, double x, double y, double* B, double* L);

// Degrees, minutes and seconds to radians. A negative deg makes the whole angle negative:
// -30, 15, 0 is -30.25 degrees, the exact negation of 30, 15, 0. Minutes and seconds are used as
// given, without range checks (60 seconds add one minute).
double DmsToRadians(int deg, int min, double sec);

// Computes form.m_dx, m_dy, m_dz (metres, WGS-84 minus Krassovsky, Earth-centred) from the
// form's inputs. The heights are taken as ellipsoidal heights on their own ellipsoids; no geoid
// term enters. Nothing is validated.
void ComputeShift(ShiftForm& form);

// An angle as degrees, minutes and seconds, with the sign of the whole angle in deg (see
// DmsToRadians).
struct Dms {
  int deg = 0;
  int min = 0;
  double sec = 0;
};

// A WGS-84 point: latitude B and longitude L (north and east positive) and ellipsoidal height H
// (metres).
struct GeodeticDms {
  Dms latitude;
  Dms longitude;
  double height = 0;
};

// A Gauss-Krueger grid point on Krassovsky 1940: northing x, easting y (metres, with its 500000 m
// false easting and no zone prefix) and height h above the ellipsoid (metres).
struct GaussKrugerPoint {
  double x = 0;
  double y = 0;
  double h = 0;
};

// An Earth-centred Cartesian position (metres), axes as for GeodeticToGeocentric.
struct GeocentricPoint {
  double X = 0;
  double Y = 0;
  double Z = 0;
};

// The shift dx, dy, dz (metres, WGS-84 minus Krassovsky) and the two Earth-centred positions it
// is the difference of: dx == wgs84.X - krassovsky.X exactly, and so on.
struct ShiftResult {
  double dx = 0;
  double dy = 0;
  double dz = 0;
  GeocentricPoint wgs84;
  GeocentricPoint krassovsky;
};

// The shift of one common point given as wgs84 and as grid in the zone with central meridian
// central_meridian (whole degrees), with the bits ComputeShift gives for the same values in the
// form (ComputeShift is this function on the form's fields). Nothing is validated.
ShiftResult Shift(const GeodeticDms& wgs84, const GaussKrugerPoint& grid, int central_meridian);

// Shift's result, bit for bit, for a grid point whose inverse projection is known already:
// grid_latitude, grid_longitude (radians) as GaussKrugerInverse gives them on Krassovsky for the
// point's x, y and central meridian, and grid_height its h (metres). Shift is this function after
// that projection, the dearest of its steps, so a caller that has projected already for its own
// checks does not project twice.
ShiftResult ShiftOfProjected(const GeodeticDms& wgs84, double grid_latitude, double grid_longitude,
                             double grid_height);

}  // namespace zerb::geodesy

#endif  // ZERB_GEODESY_GEODESY_H
