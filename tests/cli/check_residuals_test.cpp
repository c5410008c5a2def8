// The check points' summary against the closed form of the three-parameter fit: with GP04 left
// out and GP05, GP06 as checks, the fit is the mean of the shifts of GP01, GP02 and GP03, and a
// check's residual is its own shift less that mean, turned into north, east and up at the
// point. GP06's vertical residual is negative and the larger: the largest is a magnitude. The
// shifts are PROJ's (its exact transverse Mercator, its geocentric conversions), not the
// library's.
#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "models/model.h"
#include "points/gather.h"
#include "tests/cli/support.h"
#include "tests/cli/temp_folder.h"
#include "tests/fit/readme_points.h"
#include "writers/check_residuals.h"

namespace zerb::test {
namespace {

using Vector = std::array<double, 3>;

const fit::Known& Point(const std::string& name) {
  return *std::find_if(std::begin(fit::kKnown), std::end(fit::kKnown),
                       [&](const fit::Known& k) { return k.name == name; });
}

// The README's points read and fitted with three parameters, as zerb-shift does; their checks.
CheckResiduals ChecksOfTheFit(const InputSettings& s) {
  PointSet points;
  InputSummary summary;
  StreamDiagnostics said(stderr, "test");
  EXPECT_EQ(GatherPoints(s, nullptr, &said, &points, &summary), Gathered::kPoints);
  adjust::FitResult fit;
  const Reason why = FitPoints(points, adjust::Settings(), &fit);
  EXPECT_EQ(why, "");
  return why.empty() ? CheckResidualsOf(points, fit) : CheckResiduals();
}

using CheckResidualsTest = TempFolder;

TEST_F(CheckResidualsTest, AreThoseOfTheChecksAgainstTheMeanOfTheOthers) {
  InputSettings s;
  s.table = Write("points.csv", kReadmePoints);
  s.left_out_names = {"GP04"};
  s.check_names = {"GP05", "GP06"};
  const CheckResiduals got = ChecksOfTheFit(s);

  Vector mean{};
  for (const char* name : {"GP01", "GP02", "GP03"}) {
    const Vector d = fit::ShiftByProj(Point(name));
    for (int c = 0; c < 3; ++c)
      mean[c] += d[c] / 3;
  }
  CheckSummary horizontal, vertical;
  for (const char* name : {"GP05", "GP06"}) {
    const fit::Known& k = Point(name);
    const Vector d = fit::ShiftByProj(k);
    const Vector v = {d[0] - mean[0], d[1] - mean[1], d[2] - mean[2]};
    const double lat = k.gnss.lat_deg * std::numbers::pi / 180;
    const double lon = k.gnss.lon_deg * std::numbers::pi / 180;
    const double up = std::cos(lat) * std::cos(lon) * v[0] + std::cos(lat) * std::sin(lon) * v[1] +
                      std::sin(lat) * v[2];
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    const double h = std::sqrt(length * length - up * up);
    ++horizontal.count;
    ++vertical.count;
    horizontal.rms += h * h / 2;
    vertical.rms += up * up / 2;
    horizontal.largest = std::max(horizontal.largest, h);
    vertical.largest = std::max(vertical.largest, std::fabs(up));
  }
  // PROJ's shifts and the library's agree to far below a micrometre; the up direction taken on
  // WGS 84 rather than Krassovsky turns sub-millimetre residuals by a few arc-seconds, 1e-8 m.
  constexpr double kAgree = 1e-6;
  EXPECT_EQ(got.horizontal.count, 2u);
  EXPECT_EQ(got.vertical.count, 2u);
  EXPECT_NEAR(got.horizontal.rms, std::sqrt(horizontal.rms), kAgree);
  EXPECT_NEAR(got.horizontal.largest, horizontal.largest, kAgree);
  EXPECT_NEAR(got.vertical.rms, std::sqrt(vertical.rms), kAgree);
  EXPECT_NEAR(got.vertical.largest, vertical.largest, kAgree);

  // The text and HTML reports say it in one sentence, to 0.1 mm.
  const auto metres4 = [](double metres) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", metres);
    return std::string(text);
  };
  const std::string sentence = "2 check points against the fit: horizontal residual RMS " +
                               metres4(std::sqrt(horizontal.rms)) + " m, largest " +
                               metres4(horizontal.largest) + " m; vertical RMS " +
                               metres4(std::sqrt(vertical.rms)) + " m, largest " +
                               metres4(vertical.largest) + " m";
  // zerb-shift has no points left out by the user: its table has no GP04.
  std::string without = kReadmePoints;
  const std::size_t gp04 = without.find("GP04");
  without.erase(gp04, without.find('\n', gp04) + 1 - gp04);
  const std::string table = Write("without.csv", without);
  for (const char* format : {"text", "html"}) {
    const RunResult r = RunZerbShift({"--check", "GP05,GP06", "--format", format, table});
    EXPECT_NE(r.out.find(sentence), std::string::npos) << format << "\n"
                                                       << sentence << "\n"
                                                       << r.out;
  }
}

TEST_F(CheckResidualsTest, NoCheckPointsSumUpToNothing) {
  InputSettings s;
  s.table = Write("points.csv", kReadmePoints);
  const CheckResiduals got = ChecksOfTheFit(s);
  EXPECT_EQ(got.horizontal.count, 0u);
  EXPECT_EQ(got.vertical.count, 0u);
  EXPECT_EQ(got.horizontal.rms, 0);
}

}  // namespace
}  // namespace zerb::test
