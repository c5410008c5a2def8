// Shared by the zerb-shift tests: the program run in the test process, its CSV report read back,
// and a set of common points whose shift is known.
#ifndef ZERB_TESTS_CLI_SUPPORT_H
#define ZERB_TESTS_CLI_SUPPORT_H

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zerb::test {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs zerb-shift with args on input given as a string; its output and messages become strings.
RunResult RunZerbShift(const std::vector<std::string_view>& args, const std::string& input = "");

// The rows of a CSV report split at commas (the reports read back here quote nothing).
std::vector<std::vector<std::string>> Rows(const std::string& csv);
// A number as printed; NaN when the text is none.
double Number(const std::string& text);

// For comparisons that are exact by construction: the same double, bit for bit.
inline std::uint64_t Bits(double v) {
  return std::bit_cast<std::uint64_t>(v);
}

struct KnownPoint {
  double B, L, H;  // WGS-84, degrees and metres
  double x, y, h;  // Krassovsky grid northing, easting (500000 m false easting), height
};

// The translation WGS-84 minus Krassovsky (metres) that the known set is made with.
inline constexpr double kTrueDx = 15.8, kTrueDy = -130.4, kTrueDz = -84.9;

// count WGS-84 points over latitudes 25 to 45 degrees within 2 degrees of meridian L0 (the same
// in every run), carried by PROJ through the translation above onto the Krassovsky grid.
std::vector<KnownPoint> MakeKnownSet(int count, int L0);

// The table zerb-shift reads for the set: a name column, degrees to 10 places (0.01 mm).
std::string ToCsv(const std::vector<KnownPoint>& points, int L0);

}  // namespace zerb::test

#endif  // ZERB_TESTS_CLI_SUPPORT_H
