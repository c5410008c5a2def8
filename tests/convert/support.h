// Shared by the zerb-convert tests: the program run in the test process, definitions written by
// the crs stage from known parameters, grid points laid out by hand, and cct on the same text.
#ifndef ZERB_TESTS_CONVERT_SUPPORT_H
#define ZERB_TESTS_CONVERT_SUPPORT_H

#include <string>
#include <string_view>
#include <vector>

#include "crs/crs_definitions.h"

namespace zerb::convert_test {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs zerb-convert with args on input given as a string.
RunResult RunZerbConvert(const std::vector<std::string_view>& args, const std::string& input = "");

// The grid of the tests: zone 39 (3-degree zone, L0 117 E), eastings with the zone number.
inline constexpr crs::Grid kGrid = {117, 39};

// A shift like the published Beijing 1954 sets; and one with rotations and scale as large as a
// fit over a province gives (3" and 3.5 ppm), where PROJ's approximate inverse shows.
crs::Helmert ThreeParameters();
crs::Helmert SevenParameters();
crs::Helmert LargeSevenParameters();

// The definition text, as zerb-shift would write it for these parameters.
std::string Definition(crs::Form form, const crs::Helmert& shift);

struct Xyz {
  double x, y, z;
};
// Grid points of zone 39 from 25 to 45 degrees north, up to 2.7 degrees either side of L0,
// heights -20 to 3000 m, eastings with the zone number: 8 by 8.
std::vector<Xyz> GridPoints();

// The points through cct with the given pipeline text (its words as separate arguments, as the
// README tells to run it); inverse adds -I. Empty if cct failed.
std::vector<Xyz> Cct(const std::string& pipeline, const std::vector<Xyz>& points, bool inverse);

// The ground distance in metres between two geographic positions (degrees) millimetres apart:
// M dB and N cos B dL on the WGS 84 sphere of radius a, within 0.7 % of the ellipsoid's radii,
// which matters nothing at tolerances of hundredths of a millimetre.
double GroundMetres(const Xyz& a, const Xyz& b);

}  // namespace zerb::convert_test

#endif  // ZERB_TESTS_CONVERT_SUPPORT_H
