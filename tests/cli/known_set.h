// Common points whose shift is known: WGS-84 points carried to a Krassovsky Gauss-Krueger grid
// by PROJ with a chosen translation, so that zerb-shift must find that translation again.
#ifndef ZERB_TESTS_CLI_KNOWN_SET_H
#define ZERB_TESTS_CLI_KNOWN_SET_H

#include <string>
#include <vector>

namespace zerb::test {

struct KnownPoint {
  double B, L, H;  // WGS-84, degrees and metres
  double x, y, h;  // Krassovsky grid northing, easting (500000 m false easting), height
};

// The translation WGS-84 minus Krassovsky (metres) that the set is made with.
inline constexpr double kTrueDx = 15.8, kTrueDy = -130.4, kTrueDz = -84.9;

// count points spread over latitudes 25 to 45 degrees and within 2 degrees of meridian L0,
// the same for every run (fixed seed).
std::vector<KnownPoint> MakeKnownSet(int count, int L0);

// Carries geocentric Krassovsky to WGS-84 geodetic, or the grid to WGS-84, through PROJ.
// pipeline: a PROJ pipeline from (easting, northing, h) to (lon, lat, H) in degrees.
bool GridToWgs84(const std::string& pipeline, double y, double x, double h, double* B, double* L,
                 double* H);

// The CSV table of the set (decimal degrees to 10 places, 0.01 mm), with a name column.
std::string ToCsv(const std::vector<KnownPoint>& points, int L0);

}  // namespace zerb::test

#endif  // ZERB_TESTS_CLI_KNOWN_SET_H
