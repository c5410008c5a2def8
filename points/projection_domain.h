// How far a grid point's latitude and longitude can be trusted: the measured error of the inverse
// Gauss-Krueger projection (geodesy/gauss_kruger_inverse.cpp) by latitude and by distance from
// the central meridian L0, for the warning zerb-shift gives beyond kWarnMeridianDistance.
//
// Method: bench/projection/measure_inverse.cpp projects geodetic points on Krassovsky 1940
// (a = 6378245 m, f from e^2 = 0.00669342162297, k0 = 1, no false northing) to the grid with
// GeographicLib::TransverseMercator (Krueger's series to sixth order, accurate to 5 nm within
// 3900 km of L0; the farthest point here is 530 km out, and GeographicLib's exact projection
// agrees with it to 6 nm there), takes them back with GaussKrugerInverse and converts the
// latitude and longitude differences to metres on the ground with the meridian radius M and the
// prime-vertical radius N (north = M dB, east = N cos B dL). Each cell is 3 degrees of latitude by
// 0.5 degree of longitude; its value is the largest horizontal error over a lattice of
// kInverseErrorSamples x kInverseErrorSamples points spread evenly over the cell, edges included,
// rounded up to 0.01 mm. The error is the same east and west of L0 (the series is odd in the
// easting) and north and south of the equator (odd in the northing).
//
// Worst horizontal error, mm (rows: latitude, degrees; columns: |L - L0|, degrees):
//
// latitude    0-0.5   0.5-1   1-1.5   1.5-2   2-2.5   2.5-3   3-3.5   3.5-4   4-4.5   4.5-5
// 18-21        0.71    0.71    0.71    0.73    0.75    0.81    0.98    1.55    2.99    5.96
// 21-24        0.86    0.86    0.86    0.87    0.90    0.95    1.13    1.75    3.37    6.72
// 24-27        1.00    1.01    1.01    1.02    1.04    1.09    1.28    1.96    3.76    7.53
// 27-30        1.14    1.14    1.14    1.15    1.17    1.22    1.41    2.15    4.16    8.37
// 30-33        1.26    1.26    1.26    1.27    1.28    1.33    1.53    2.34    4.57    9.22
// 33-36        1.36    1.36    1.36    1.37    1.38    1.42    1.63    2.52    4.97   10.06
// 36-39        1.44    1.44    1.44    1.45    1.45    1.49    1.71    2.69    5.34   10.85
// 39-42        1.51    1.51    1.51    1.51    1.52    1.55    1.79    2.84    5.69   11.59
// 42-45        1.56    1.56    1.57    1.57    1.57    1.61    1.86    2.98    5.99   12.22
// 45-48        1.62    1.62    1.62    1.62    1.63    1.66    1.92    3.10    6.25   12.74
// 48-51        1.69    1.69    1.69    1.69    1.69    1.72    1.99    3.20    6.43   13.11
// 51-54        1.77    1.77    1.77    1.77    1.77    1.80    2.07    3.28    6.54   13.31
// 54-57        1.86    1.86    1.86    1.86    1.87    1.90    2.16    3.34    6.58   13.34
// 57-60        1.98    1.98    1.98    1.98    1.98    2.01    2.25    3.37    6.58   13.32
//
// Near L0 the error is that of the footpoint latitude, about in proportion to the northing (0.3 mm
// per 1000 km). Away from L0 the truncation of the series in the easting takes over and roughly
// doubles with every half degree beyond 3.5 degrees. Within kWarnMeridianDistance of L0 the error
// stays below 3.4 mm; at 5 degrees it reaches 13.3 mm at latitudes 51 to 60.
#ifndef ZERB_POINTS_PROJECTION_DOMAIN_H
#define ZERB_POINTS_PROJECTION_DOMAIN_H

#include <array>

namespace zerb {

// Within this distance from the central meridian (degrees) the inverse projection is good to
// 3.4 mm (measured above); beyond it the error climbs to 13 mm at 5 degrees, and zerb-shift says
// so for the point.
inline constexpr double kWarnMeridianDistance = 3.0;

// The table's cells: latitude bands of kInverseErrorLatitudeStep degrees from
// kInverseErrorFirstLatitude north, columns of kInverseErrorOffsetStep degrees from L0.
inline constexpr double kInverseErrorFirstLatitude = 18.0;
inline constexpr double kInverseErrorLatitudeStep = 3.0;
inline constexpr int kInverseErrorRows = 14;  // up to 60 degrees
inline constexpr double kInverseErrorOffsetStep = 0.5;
inline constexpr int kInverseErrorColumns = 10;  // up to 5 degrees from L0
// Points per cell side in the measurement.
inline constexpr int kInverseErrorSamples = 25;

using InverseErrorTable = std::array<std::array<double, kInverseErrorColumns>, kInverseErrorRows>;

// The table above, millimetres: [row][column], row 0 the band 18 to 21 degrees, column 0 the
// first half degree from L0.
extern const InverseErrorTable kInverseErrorMillimetres;

// The error (metres) to expect from the inverse projection at a point with geodetic latitude
// latitude_degrees and longitude offset_degrees from the central meridian (either sign): the
// worst value of the point's cell, so never less than the measurement at any of the cell's
// sample points. A point on a cell edge takes the cell nearer L0 and the equator, whose lattice
// includes that edge. The latitude's sign is dropped; south of 18 degrees the 18-21 band is used
// (measured: an overestimate, the error falls toward the equator), north of 60 degrees the 57-60
// band (measured: an underestimate near L0, by 0.14 mm at 60-63 degrees and 0.73 mm at 72-75,
// as the footpoint error keeps growing; no part of China lies north of 54 degrees). Returns
// +infinity farther than 5 degrees from L0, where nothing was measured, and NaN for a NaN input.
double ExpectedInverseError(double latitude_degrees, double offset_degrees);

}  // namespace zerb

#endif  // ZERB_POINTS_PROJECTION_DOMAIN_H
