// Shift parameters dx, dy, dz (WGS-84 minus Krassovsky 1940, Earth-centred) from one point known
// as WGS-84 B, L, H and as Gauss-Krueger x, y, h with central meridian L0.
//
// Method: both descriptions of the point go to geocentric coordinates on their own ellipsoid
// (the grid point through the inverse Gauss-Krueger projection first) and are differenced: the
// three-parameter (translation-only) datum shift of a single common point.
// Shift returns the shift with both positions it is the difference of; ComputeShift is the
// dialog's form read into Shift's values and its results written back, nothing more.
// Accuracy: that of the inverse projection, 1e-4 arc-second (about 3 mm) within 3 degrees of the
// central meridian; the conversion to geocentric coordinates adds only rounding.
#include <cmath>

#include "geodesy/geodesy.h"

namespace zerb::geodesy {
namespace {

constexpr double kMinuteFactor = 0.016666666666666666;   // 1/60
constexpr double kSecondFactor = 0.0002777777777777778;  // 1/3600

// The angle deg + min/60 + sec/3600 in radians, summed minutes term first, then seconds term,
// then degrees, and only then scaled.
double DmsMagnitudeToRadians(double deg, int min, double sec) {
  return (min * kMinuteFactor + sec * kSecondFactor + deg) * DEG_TO_RAD;
}

}  // namespace

double DmsToRadians(int deg, int min, double sec) {
  // The sign of the degrees belongs to the whole angle: minutes and seconds add to the
  // magnitude. Negating the magnitude's result makes a negative angle the exact mirror of its
  // positive twin. The degrees are negated as a double, which is exact for every int.
  if (deg < 0) {
    return -DmsMagnitudeToRadians(-static_cast<double>(deg), min, sec);
  }
  return DmsMagnitudeToRadians(deg, min, sec);
}

ShiftResult ShiftOfProjected(const GeodeticDms& wgs84, double grid_latitude, double grid_longitude,
                             double grid_height) {
  const double B = DmsToRadians(wgs84.latitude.deg, wgs84.latitude.min, wgs84.latitude.sec);
  const double L = DmsToRadians(wgs84.longitude.deg, wgs84.longitude.min, wgs84.longitude.sec);

  ShiftResult r;
  GeocentricPoint& w = r.wgs84;
  GeodeticToGeocentric(kWgs84.a, kWgs84.e, B, L, wgs84.height, &w.X, &w.Y, &w.Z);

  GeocentricPoint& k = r.krassovsky;
  GeodeticToGeocentric(kKrassovsky.a, kKrassovsky.e, grid_latitude, grid_longitude, grid_height,
                       &k.X, &k.Y, &k.Z);

  r.dx = w.X - k.X;
  r.dy = w.Y - k.Y;
  r.dz = w.Z - k.Z;
  return r;
}

ShiftResult Shift(const GeodeticDms& wgs84, const GaussKrugerPoint& grid, int central_meridian) {
  const double L0 = central_meridian * DEG_TO_RAD;
  double Bk, Lk;
  GaussKrugerInverse(kKrassovsky.a, kKrassovsky.e, L0, grid.x, grid.y, &Bk, &Lk);
  return ShiftOfProjected(wgs84, Bk, Lk, grid.h);
}

void ComputeShift(ShiftForm& form) {
  const GeodeticDms wgs84{.latitude = {form.m_latDeg, form.m_latMin, form.m_latSec},
                          .longitude = {form.m_lonDeg, form.m_lonMin, form.m_lonSec},
                          .height = form.m_geoH};
  const GaussKrugerPoint grid{.x = form.m_gridX, .y = form.m_gridY, .h = form.m_gridH};
  const ShiftResult r = Shift(wgs84, grid, form.m_centralMeridian);
  form.m_dx = r.dx;
  form.m_dy = r.dy;
  form.m_dz = r.dz;
}

}  // namespace zerb::geodesy
