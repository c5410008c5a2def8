// Geodetic (B, L, h) to geocentric (X, Y, Z) on an ellipsoid given by a and e.
//
// Method: the closed form X = (N + h) cos B cos L, Y = (N + h) cos B sin L,
// Z = (N (1 - e^2) + h) sin B, with N = a / sqrt(1 - e^2 sin^2 B) the prime-vertical radius of
// curvature, the standard closed form of geometric geodesy (e.g. Torge and Mueller, Geodesy).
// Accuracy: exact up to a few units in the last place of the result for any finite input.
#include <cmath>

#include "geodesy/geodesy.h"

namespace zerb::geodesy {

void GeodeticToGeocentric(double a, double e, double B, double L, double h, double* X, double* Y,
                          double* Z) {
  const double cB = std::cos(B);
  const double sB = std::sin(B);
  const double s2 = std::pow(sB, 2.0);
  // e^2 is formed by multiplying by e twice, never taken from a stored square, so the radius
  // depends on the eccentricity passed in and nothing else.
  const double N = a / std::sqrt(1.0 - (s2 * e) * e);
  const double R = N + h;
  *X = (std::cos(L) * R) * cB;
  *Y = (std::sin(L) * R) * cB;
  // N (1 - e^2) + h written as R - e^2 N, so R is shared with X and Y.
  *Z = (R - (N * e) * e) * sB;
}

}  // namespace zerb::geodesy
