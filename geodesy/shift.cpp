// Shift parameters dx, dy, dz (WGS-84 minus Krassovsky 1940, Earth-centred) from one point known
// as WGS-84 B, L, H and as Gauss-Krueger x, y, h with central meridian L0.
//
// Method: both descriptions of the point go to geocentric coordinates on their own ellipsoid
// (the grid point through the inverse Gauss-Krueger projection first) and are differenced: the
// three-parameter (translation-only) datum shift of a single common point.
// Accuracy: that of the inverse projection, 1e-4 arc-second (about 3 mm) within 3 degrees of the
// central meridian; the conversion to geocentric coordinates adds only rounding.
#include <cmath>

#include "geodesy/geodesy.h"

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

void ComputeShift(ShiftForm& form) {
  const double B = DmsToRadians(form.m_latDeg, form.m_latMin, form.m_latSec);
  const double L = DmsToRadians(form.m_lonDeg, form.m_lonMin, form.m_lonSec);
  const double L0 = form.m_centralMeridian * DEG_TO_RAD;
  const double eK = std::sqrt(KRASSOVSKY_E2);
  const double eW = std::sqrt(WGS84_E2);

  double Xw, Yw, Zw;
  GeodeticToGeocentric(WGS84_A, eW, B, L, form.m_geoH, &Xw, &Yw, &Zw);

  double Bk, Lk;
  GaussKrugerInverse(KRASSOVSKY_A, eK, L0, form.m_gridX, form.m_gridY, &Bk, &Lk);
  double Xk, Yk, Zk;
  GeodeticToGeocentric(KRASSOVSKY_A, eK, Bk, Lk, form.m_gridH, &Xk, &Yk, &Zk);

  form.m_dx = Xw - Xk;
  form.m_dy = Yw - Yk;
  form.m_dz = Zw - Zk;
}
