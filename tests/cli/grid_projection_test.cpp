// The grid's inverse projection against GeographicLib's TransverseMercatorExact (Lee's exact
// solution, good to nanometres): the exact kind within 0.01 mm over every latitude the program
// accepts and 5 degrees either side of the central meridian (the widest it takes, common_point.h);
// the dialog kind bit for bit the dialog's series.
#include <gtest/gtest.h>
#include <GeographicLib/TransverseMercatorExact.hpp>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

#include "geodesy/geodesy.h"
#include "points/grid_projection.h"

namespace zerb::test {
namespace {

constexpr double kKrassovskyA = 6378245.0;
constexpr double kKrassovskyF = 1 / 298.3;

TEST(GridProjection, ExactAgreesWithGeographicLibWithinAHundredthOfAMillimetre) {
  const GeographicLib::TransverseMercatorExact tm(kKrassovskyA, kKrassovskyF, 1.0);
  const GridProjection exact(ProjectionKind::kExact);
  std::mt19937_64 rng(916);
  std::uniform_real_distribution<double> latitude(-60, 60), offset(-5, 5);
  std::uniform_int_distribution<int> meridian(70, 140);
  double worst = 0;
  for (int i = 0; i < 20000; ++i) {
    const double lat = latitude(rng), dlon = offset(rng);
    const int l0 = meridian(rng);
    double east, north;
    tm.Forward(l0, lat, l0 + dlon, east, north);
    double b, l;
    exact.Inverse(north, east + 500000, l0, &b, &l);
    ASSERT_TRUE(std::isfinite(b) && std::isfinite(l)) << lat << " " << dlon;
    const double rad = geodesy::DEG_TO_RAD;
    // The misses as lengths on the ground: a radian of latitude is a, of longitude a cos(B).
    const double miss = std::hypot((b - lat * rad) * kKrassovskyA,
                                   (l - (l0 + dlon) * rad) * kKrassovskyA * std::cos(b));
    worst = std::max(worst, miss);
  }
  // Krueger's series is good to a few nanometres this near the central meridian; 0.01 mm is what
  // the exports promise with room to spare (they are rounded to 0.1 mm).
  EXPECT_LT(worst, 1e-5);
}

TEST(GridProjection, DialogKindIsTheDialogsSeriesBitForBit) {
  const GridProjection dialog(ProjectionKind::kDialog);
  std::mt19937_64 rng(917);
  std::uniform_real_distribution<double> north(2000000, 6000000), east(100000, 900000);
  for (int i = 0; i < 1000; ++i) {
    const double x = north(rng), y = east(rng);
    double b1, l1, b2, l2;
    dialog.Inverse(x, y, 117, &b1, &l1);
    geodesy::GaussKrugerInverse(geodesy::kKrassovsky.a, geodesy::kKrassovsky.e,
                                117 * geodesy::DEG_TO_RAD, x, y, &b2, &l2);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(b1), std::bit_cast<std::uint64_t>(b2));
    ASSERT_EQ(std::bit_cast<std::uint64_t>(l1), std::bit_cast<std::uint64_t>(l2));
  }
}

TEST(GridProjection, KindIsReadFromItsName) {
  ProjectionKind kind = ProjectionKind::kDialog;
  EXPECT_EQ(ParseProjectionKind("exact", &kind), "");
  EXPECT_EQ(kind, ProjectionKind::kExact);
  EXPECT_EQ(ParseProjectionKind("dialog", &kind), "");
  EXPECT_EQ(kind, ProjectionKind::kDialog);
  EXPECT_EQ(ParseProjectionKind("series", &kind), "unknown projection 'series' (exact or dialog)");
}

}  // namespace
}  // namespace zerb::test
