// GeodeticToGeocentric against its closed forms on the equator, at the pole and on a sphere, and
// against GeographicLib's Geocentric on both ellipsoids of the program.
#include <gtest/gtest.h>
#include <GeographicLib/Geocentric.hpp>

#include <cmath>

#include "geodesy/geodesy.h"

namespace {

using zerb::geodesy::DEG_TO_RAD;
using zerb::geodesy::Ellipsoid;
using zerb::geodesy::GeodeticToGeocentric;
using zerb::geodesy::kKrassovsky;
using zerb::geodesy::kWgs84;

// One unit in the last place of a coordinate near the Earth's radius is 9.3e-10 m; a few of them
// cover the rounding of sine, cosine and the products, while any slip in the formula (e instead
// of e^2, a missing height) moves a point by metres or more.
constexpr double kRoundingM = 1e-8;

const Ellipsoid kEllipsoids[] = {kWgs84, kKrassovsky};

}  // namespace

TEST(GeodeticToGeocentric, EquatorPrimeMeridianIsSemiMajorAxis) {
  for (const Ellipsoid& ell : kEllipsoids) {
    double X, Y, Z;
    GeodeticToGeocentric(ell.a, ell.e, 0, 0, 0, &X, &Y, &Z);
    // N = a when sin B = 0, and cos 0 = 1: nothing is rounded.
    EXPECT_EQ(X, ell.a);
    EXPECT_EQ(Y, 0);
    EXPECT_EQ(Z, 0);
    GeodeticToGeocentric(ell.a, ell.e, 0, 0, 1, &X, &Y, &Z);
    EXPECT_EQ(X, ell.a + 1);
  }
}

TEST(GeodeticToGeocentric, NinetyDegreesEastLiesOnYAxis) {
  double X, Y, Z;
  GeodeticToGeocentric(kWgs84.a, kWgs84.e, 0, 90 * DEG_TO_RAD, 50, &X, &Y, &Z);
  // cos of the double nearest pi/2 is 6e-17, times the radius 4e-10 m.
  EXPECT_NEAR(X, 0, 1e-9);
  // Its sine rounds to exactly 1.
  EXPECT_EQ(Y, kWgs84.a + 50);
  EXPECT_EQ(Z, 0);
}

TEST(GeodeticToGeocentric, PoleIsSemiMinorAxisPlusHeight) {
  for (const Ellipsoid& ell : kEllipsoids) {
    double X, Y, Z;
    GeodeticToGeocentric(ell.a, ell.e, 90 * DEG_TO_RAD, 0, 123.25, &X, &Y, &Z);
    EXPECT_NEAR(X, 0, 1e-9);  // as on the Y axis above
    EXPECT_EQ(Y, 0);
    EXPECT_NEAR(Z, ell.a * std::sqrt(1 - ell.e2) + 123.25, kRoundingM);
  }
}

TEST(GeodeticToGeocentric, ZeroEccentricityIsSphere) {
  const double a = 6371000, h = -42.5;
  for (double Bdeg : {-75.0, -10.0, 0.0, 33.3, 89.0}) {
    for (double Ldeg : {-170.0, -45.0, 0.0, 117.0, 180.0}) {
      const double B = Bdeg * DEG_TO_RAD, L = Ldeg * DEG_TO_RAD;
      double X, Y, Z;
      GeodeticToGeocentric(a, 0, B, L, h, &X, &Y, &Z);
      EXPECT_NEAR(X, (a + h) * std::cos(B) * std::cos(L), kRoundingM);
      EXPECT_NEAR(Y, (a + h) * std::cos(B) * std::sin(L), kRoundingM);
      EXPECT_NEAR(Z, (a + h) * std::sin(B), kRoundingM);
    }
  }
}

TEST(GeodeticToGeocentric, SouthernLatitudeMirrorsZ) {
  const double e = kKrassovsky.e;
  double Xn, Yn, Zn, Xs, Ys, Zs;
  GeodeticToGeocentric(kKrassovsky.a, e, 0.6, 2.0, 80, &Xn, &Yn, &Zn);
  GeodeticToGeocentric(kKrassovsky.a, e, -0.6, 2.0, 80, &Xs, &Ys, &Zs);
  // Sine is odd and cosine and the square even, so the mirror is exact.
  EXPECT_EQ(Xs, Xn);
  EXPECT_EQ(Ys, Yn);
  EXPECT_EQ(Zs, -Zn);
}

TEST(GeodeticToGeocentric, AgreesWithGeographicLib) {
  for (const Ellipsoid& ell : kEllipsoids) {
    // The flattening that belongs to the stored e^2, so the comparison is of the formula alone.
    const GeographicLib::Geocentric reference(ell.a, 1 - std::sqrt(1 - ell.e2));
    for (double Bdeg = -90; Bdeg <= 90; Bdeg += 7.5) {
      for (double Ldeg = -180; Ldeg <= 180; Ldeg += 22.5) {
        for (double h : {-430.0, 0.0, 1523.7, 8848.0}) {
          double Xr, Yr, Zr;
          reference.Forward(Bdeg, Ldeg, h, Xr, Yr, Zr);
          double X, Y, Z;
          GeodeticToGeocentric(ell.a, ell.e, Bdeg * DEG_TO_RAD, Ldeg * DEG_TO_RAD, h, &X, &Y, &Z);
          // A micrometre: a thousand units in the last place, room for GeographicLib's exact
          // degree reduction against our radians, yet a million times below any fault.
          EXPECT_NEAR(X, Xr, 1e-6) << Bdeg << " " << Ldeg << " " << h;
          EXPECT_NEAR(Y, Yr, 1e-6) << Bdeg << " " << Ldeg << " " << h;
          EXPECT_NEAR(Z, Zr, 1e-6) << Bdeg << " " << Ldeg << " " << h;
        }
      }
    }
  }
}
