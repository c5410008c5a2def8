// GaussKrugerInverse against its symmetries and against GeographicLib's transverse Mercator
// projection (Krueger's series to sixth order, accurate to 5 nm) on the Krassovsky ellipsoid.
#include <gtest/gtest.h>
#include <GeographicLib/TransverseMercator.hpp>

#include <cmath>

#include "geodesy/geodesy.h"

namespace {

using zerb::geodesy::DEG_TO_RAD;
using zerb::geodesy::GaussKrugerInverse;
using zerb::geodesy::kKrassovsky;

constexpr double kFalseEasting = 500000;
constexpr double kRadToArcsec = 3600 / DEG_TO_RAD;

// The accuracy the inverse series is built for; 1e-4 arc-second is 3 mm on the ground.
constexpr double kSeriesArcsec = 1e-4;

// The flattening that belongs to the stored e^2 (1/f = 298.3 to twelve digits), with k0 = 1
// and the latitude of origin at the equator: the Gauss-Krueger grid without false easting.
const GeographicLib::TransverseMercator& KrassovskyGrid() {
  static const GeographicLib::TransverseMercator grid(kKrassovsky.a,
                                                      1 - std::sqrt(1 - kKrassovsky.e2), 1);
  return grid;
}

struct Geodetic {
  double B, L;
};

Geodetic Inverse(double L0deg, double x, double y) {
  Geodetic g;
  GaussKrugerInverse(kKrassovsky.a, kKrassovsky.e, L0deg * DEG_TO_RAD, x, y, &g.B, &g.L);
  return g;
}

}  // namespace

TEST(GaussKrugerInverse, OriginIsEquatorOnCentralMeridian) {
  // Every term of both series vanishes with x = 0 and u = 0.
  const Geodetic g = Inverse(117, 0, kFalseEasting);
  EXPECT_EQ(g.B, 0);
  EXPECT_EQ(g.L, 117 * DEG_TO_RAD);
}

TEST(GaussKrugerInverse, CentralMeridianGivesFootpointLatitude) {
  for (double Bdeg = 20; Bdeg <= 70; Bdeg += 2.5) {
    // On the central meridian the grid northing is the meridian arc from the equator.
    double easting, northing;
    KrassovskyGrid().Forward(117, Bdeg, 117, easting, northing);
    const Geodetic g = Inverse(117, northing, kFalseEasting);
    EXPECT_EQ(g.L, 117 * DEG_TO_RAD);  // u = 0 leaves L0 untouched
    EXPECT_NEAR(g.B * kRadToArcsec, Bdeg * 3600, kSeriesArcsec) << Bdeg;
  }
}

TEST(GaussKrugerInverse, OddInNorthing) {
  for (double x : {1.5e6, 3.3e6, 6.1e6}) {
    for (double y : {290000.5, 500000.0, 711111.1}) {
      const Geodetic north = Inverse(111, x, y);
      const Geodetic south = Inverse(111, -x, y);
      // Sine, tangent and odd powers are odd, every latitude term carries one factor tan Bf
      // and the longitude only even functions of it: the mirror is exact.
      EXPECT_EQ(south.B, -north.B) << x << " " << y;
      EXPECT_EQ(south.L, north.L) << x << " " << y;
    }
  }
}

TEST(GaussKrugerInverse, MirroredEastingMirrorsLongitudeAboutCentralMeridian) {
  const double L0 = 117 * DEG_TO_RAD;
  for (double x : {3.3e6, 4.4e6, 5.5e6}) {
    for (double d : {1000.25, 120000.0, 250000.5}) {
      const Geodetic east = Inverse(117, x, kFalseEasting + d);
      const Geodetic west = Inverse(117, x, kFalseEasting - d);
      // u changes sign exactly and the latitude series has only even powers of u.
      EXPECT_EQ(west.B, east.B);
      EXPECT_LT(west.L, L0);
      EXPECT_GT(east.L, L0);
      // Only the final addition of L0 rounds differently: half a unit in the last place of a
      // two-radian angle each, far below a nanometre on the ground.
      EXPECT_NEAR(L0 - west.L, east.L - L0, 1e-15);
    }
  }
}

TEST(GaussKrugerInverse, RecoversGeographicLibForwardProjection) {
  const double L0deg = 117;
  for (double Bdeg = 30; Bdeg <= 60; Bdeg += 2.5) {
    for (double dL = -3; dL <= 3; dL += 0.5) {
      double easting, northing;
      KrassovskyGrid().Forward(L0deg, Bdeg, L0deg + dL, easting, northing);
      const Geodetic g = Inverse(L0deg, northing, easting + kFalseEasting);
      EXPECT_NEAR(g.B * kRadToArcsec, Bdeg * 3600, kSeriesArcsec) << Bdeg << " " << dL;
      EXPECT_NEAR(g.L * kRadToArcsec, (L0deg + dL) * 3600, kSeriesArcsec) << Bdeg << " " << dL;
    }
  }
}
