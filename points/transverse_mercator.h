// The inverse of the transverse Mercator projection on an ellipsoid, to a few nanometres.
//
// Method: Krueger's series in the third flattening n, to order n^6, as Karney gives them
// ("Transverse Mercator with an accuracy of a few nanometers", J. Geodesy 85, 2011): the grid
// position scaled by the rectifying radius A is the conformal sphere's
// position after the beta series; Gauss's formulas give the conformal latitude and the
// longitude; the delta series turns the conformal latitude into the geodetic one. It is the
// algorithm of PROJ's +proj=tmerc and GeographicLib's TransverseMercator.
//
// Why by hand: PROJ computes the same, but creating any PROJ object opens its database and holds
// 4.7 MiB, a thirteenth of zerb-shift's whole budget for a million points; the series is some
// thirty lines.
//
// Accuracy, measured against GeographicLib's TransverseMercatorExact on Krassovsky
// (tests/cli/grid_projection_test.cpp): within 20 nm over latitudes -60 to 60 degrees and 5
// degrees either side of the central meridian, the widest the program accepts.
#ifndef ZERB_POINTS_TRANSVERSE_MERCATOR_H
#define ZERB_POINTS_TRANSVERSE_MERCATOR_H

#include <array>

namespace zerb {

class TransverseMercatorInverse {
 public:
  // The ellipsoid's semi-major axis a (metres) and flattening f, and the scale k0 on the
  // central meridian.
  TransverseMercatorInverse(double a, double f, double k0);

  // The latitude and longitude from the central meridian (radians) of northing x and easting y
  // from the central meridian (metres, no false easting or northing).
  void Inverse(double x, double y, double* latitude, double* longitude) const;

 private:
  double scale_;  // k0 A: metres of grid per radian of the conformal sphere's rectified arc
  std::array<double, 6> beta_;
  std::array<double, 6> delta_;
};

}  // namespace zerb

#endif  // ZERB_POINTS_TRANSVERSE_MERCATOR_H
