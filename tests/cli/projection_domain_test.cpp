// The inverse projection's error table against a fresh measurement made another way, and the
// lookup zerb-shift's warning uses.
//
// The fresh measurement projects with GeographicLib's exact transverse Mercator projection and
// measures the ground error as the geodesic distance between the point and its inverse image,
// where the table was made with the Krueger series and the meridian and prime-vertical radii.
// Both are good to nanometres, so the two agree far inside the table's 0.01 mm rounding, and a
// change to GaussKrugerInverse that moves any sampled cell by more than that fails here.
#include <gtest/gtest.h>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>

#include "geodesy/geodesy.h"
#include "points/projection_domain.h"

namespace zerb {
namespace {

using geodesy::DEG_TO_RAD;
using geodesy::GaussKrugerInverse;
using geodesy::kKrassovsky;

constexpr double kCentralMeridian = 111;
constexpr double kFalseEasting = 500000;
// The flattening that belongs to the stored e^2 (1/f = 298.3 to twelve digits).
const double kFlattening = 1 - std::sqrt(1 - kKrassovsky.e2);

// The reference projection (a few nanometres) and the geodesic (15 nm) together stay below
// 1e-4 mm, against the table's values that are rounded up by less than 0.01 mm.
constexpr double kReferenceMm = 1e-4;
constexpr double kRoundingMm = 0.01;

// Ground distance (millimetres) between the point at latitude B, offset from L0 (degrees), and
// what GaussKrugerInverse makes of its exact grid coordinates.
double FreshErrorMm(double B, double offset) {
  static const GeographicLib::TransverseMercatorExact grid(kKrassovsky.a, kFlattening, 1);
  static const GeographicLib::Geodesic geodesic(kKrassovsky.a, kFlattening);
  double easting, northing;
  grid.Forward(kCentralMeridian, B, kCentralMeridian + offset, easting, northing);
  double lat, lon;
  GaussKrugerInverse(kKrassovsky.a, kKrassovsky.e, kCentralMeridian * DEG_TO_RAD, northing,
                     easting + kFalseEasting, &lat, &lon);
  double distance;
  geodesic.Inverse(B, kCentralMeridian + offset, lat / DEG_TO_RAD, lon / DEG_TO_RAD, distance);
  return distance * 1e3;
}

// The worst fresh error over the same lattice the table was measured on.
double FreshCellWorstMm(int row, int column) {
  constexpr int n = kInverseErrorSamples;
  const double south = kInverseErrorFirstLatitude + row * kInverseErrorLatitudeStep;
  const double near = column * kInverseErrorOffsetStep;
  double worst = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      worst = std::max(worst, FreshErrorMm(south + kInverseErrorLatitudeStep * i / (n - 1),
                                           near + kInverseErrorOffsetStep * j / (n - 1)));
    }
  }
  return worst;
}

TEST(InverseErrorTable, AgreesWithFreshMeasurementInEveryCell) {
  for (int row = 0; row < kInverseErrorRows; ++row) {
    for (int column = 0; column < kInverseErrorColumns; ++column) {
      const double fresh = FreshCellWorstMm(row, column);
      const double stored = kInverseErrorMillimetres[row][column];
      EXPECT_LE(fresh, stored + kReferenceMm) << "row " << row << " column " << column;
      EXPECT_GE(fresh, stored - kRoundingMm - kReferenceMm)
          << "row " << row << " column " << column;
    }
  }
}

TEST(InverseErrorTable, LookupNeverUnderstatesRandomPointsBetweenTheSamples) {
  // The lattice could miss a peak between its points; 20000 points drawn anywhere in the table
  // (fixed seed) must stay within their cell's value. The error is smooth on the scale of the
  // lattice spacing (0.125 by 0.02 degree), so the 0.01 mm of rounding up is margin enough.
  std::mt19937 random(20240917);
  std::uniform_real_distribution<double> latitude(18, 60), offset(-5, 5);
  for (int k = 0; k < 20000; ++k) {
    const double B = latitude(random), d = offset(random);
    EXPECT_LE(FreshErrorMm(B, d), ExpectedInverseError(B, d) * 1e3 + kReferenceMm) << B << " " << d;
  }
}

TEST(InverseErrorTable, GrowsWithDistanceFromCentralMeridian) {
  // The series' truncation in the easting only adds to the footpoint error as the point moves
  // away from L0, in every band; the farthest column is several times the nearest.
  for (int row = 0; row < kInverseErrorRows; ++row) {
    const auto& band = kInverseErrorMillimetres[row];
    for (int column = 1; column < kInverseErrorColumns; ++column) {
      EXPECT_GE(band[column], band[column - 1]) << "row " << row << " column " << column;
    }
    EXPECT_GT(band.back(), 3 * band.front()) << "row " << row;
  }
}

TEST(InverseErrorTable, WithinWarningDistanceStaysBelowThreeAndAHalfMillimetres) {
  // The series is built for 1e-4 arc-second (3 mm in latitude) within 3 degrees of L0; the
  // horizontal error there, latitude and longitude together, measured at most 3.37 mm. Were
  // the table to exceed this, the warning distance would have to move nearer L0.
  const int within = static_cast<int>(kWarnMeridianDistance / kInverseErrorOffsetStep);
  for (int row = 0; row < kInverseErrorRows; ++row) {
    for (int column = 0; column < within; ++column) {
      EXPECT_LT(kInverseErrorMillimetres[row][column], 3.5)
          << "row " << row << " column " << column;
    }
  }
  // The same for points drawn anywhere within the warning distance, measured afresh.
  std::mt19937 random(20240918);
  std::uniform_real_distribution<double> latitude(18, 60), offset(-3, 3);
  for (int k = 0; k < 500; ++k) {
    const double B = latitude(random), d = offset(random);
    EXPECT_LT(FreshErrorMm(B, d), 3.5) << B << " " << d;
  }
}

TEST(ExpectedInverseError, ReturnsTheCellValueInMetres) {
  // 40 degrees lies in the band 39-42 (row 7), 4.21 degrees in the column 4-4.5 (column 8).
  EXPECT_EQ(ExpectedInverseError(40, 4.21), kInverseErrorMillimetres[7][8] * 1e-3);
  EXPECT_EQ(ExpectedInverseError(18, 0), kInverseErrorMillimetres[0][0] * 1e-3);
  EXPECT_EQ(ExpectedInverseError(60, 5), kInverseErrorMillimetres[13][9] * 1e-3);
}

TEST(ExpectedInverseError, SignsOfLatitudeAndOffsetDoNotMatter) {
  // The series is odd in the northing and in the easting: the error is mirrored exactly.
  for (const auto& [B, d] : {std::pair{25.3, 1.7}, std::pair{47.0, 4.9}, std::pair{59.9, 0.1}}) {
    const double value = ExpectedInverseError(B, d);
    EXPECT_EQ(ExpectedInverseError(-B, d), value);
    EXPECT_EQ(ExpectedInverseError(B, -d), value);
    EXPECT_EQ(ExpectedInverseError(-B, -d), value);
  }
}

TEST(ExpectedInverseError, PointOnCellEdgeTakesTheNearerCell) {
  // 3 degrees is the far edge of column 5 and 21 degrees the north edge of row 0; both lattices
  // include their edges, so the nearer cell's value already covers the point.
  EXPECT_EQ(ExpectedInverseError(30, kWarnMeridianDistance), kInverseErrorMillimetres[3][5] * 1e-3);
  EXPECT_EQ(ExpectedInverseError(21, 2.2), kInverseErrorMillimetres[0][4] * 1e-3);
  EXPECT_EQ(ExpectedInverseError(21, 2.2 + 1e-9), ExpectedInverseError(21, 2.2));
  EXPECT_EQ(ExpectedInverseError(30, std::nextafter(kWarnMeridianDistance, 4.0)),
            kInverseErrorMillimetres[3][6] * 1e-3);
}

TEST(ExpectedInverseError, LatitudesOutsideTheTableUseTheNearestBand) {
  for (double d : {0.0, 2.6, 5.0}) {
    EXPECT_EQ(ExpectedInverseError(0, d), ExpectedInverseError(18, d)) << d;
    EXPECT_EQ(ExpectedInverseError(10, d), ExpectedInverseError(20, d)) << d;
    EXPECT_EQ(ExpectedInverseError(61, d), ExpectedInverseError(59, d)) << d;
    EXPECT_EQ(ExpectedInverseError(-89, d), ExpectedInverseError(59, d)) << d;
  }
  // South of the table the clamped value is an overestimate: the error falls toward the equator.
  for (double B : {0.0, 9.0, 17.9}) {
    EXPECT_LT(FreshErrorMm(B, 5), ExpectedInverseError(B, 5) * 1e3) << B;
  }
}

TEST(ExpectedInverseError, NoBoundBeyondFiveDegreesOrForNaN) {
  EXPECT_EQ(ExpectedInverseError(40, 5.0001), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ExpectedInverseError(40, -7), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(ExpectedInverseError(std::nan(""), 1)));
  EXPECT_TRUE(std::isnan(ExpectedInverseError(40, std::nan(""))));
}

}  // namespace
}  // namespace zerb
