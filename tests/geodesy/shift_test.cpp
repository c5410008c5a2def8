// DmsToRadians and ComputeShift against hand-derived closed forms: points on the equator where
// the shift is the difference of the two semi-major axes, and the degree-minute-second rules.
#include <gtest/gtest.h>
#include <GeographicLib/TransverseMercator.hpp>

#include <cmath>
#include <numbers>

#include "geodesy/geodesy.h"

namespace {

using zerb::geodesy::ComputeShift;
using zerb::geodesy::DmsToRadians;
using zerb::geodesy::kKrassovsky;
using zerb::geodesy::kWgs84;
using zerb::geodesy::ShiftForm;

constexpr double kRadPerDeg = std::numbers::pi / 180;

// A form whose two descriptions both put the point on the equator at longitude Ldeg, at zero
// height, with the grid point on the central meridian.
ShiftForm EquatorForm(int Ldeg) {
  ShiftForm form;
  form.m_gridX = 0;
  form.m_gridY = 500000;
  form.m_lonDeg = Ldeg;
  form.m_centralMeridian = Ldeg;
  return form;
}

}  // namespace

TEST(DmsToRadians, MinutesAndSecondsAddToDegrees) {
  // The double nearest the angle is within half a unit in the last place (1e-16 rad); the sum
  // and the scaling round twice more. 1e-15 rad is 6 nm on the ground.
  EXPECT_NEAR(DmsToRadians(30, 15, 0), 30.25 * kRadPerDeg, 1e-15);
  EXPECT_NEAR(DmsToRadians(39, 54, 27.36), (39 + 54 / 60.0 + 27.36 / 3600) * kRadPerDeg, 1e-15);
  EXPECT_NEAR(DmsToRadians(0, 0, 1), kRadPerDeg / 3600, 1e-20);
}

TEST(DmsToRadians, SixtySecondsAddOneMinute) {
  // Seconds are used as typed, not wrapped into 0..60.
  EXPECT_NEAR(DmsToRadians(30, 14, 60), DmsToRadians(30, 15, 0), 1e-15);
  EXPECT_NEAR(DmsToRadians(116, 59, 90), DmsToRadians(117, 0, 30), 1e-15);
}

TEST(DmsToRadians, NegativeDegreesAreNotShiftedTowardZero) {
  // -30 15 0 is 30.25 degrees south or west, not 29.75 degrees.
  EXPECT_NEAR(DmsToRadians(-30, 15, 0), -30.25 * kRadPerDeg, 1e-15);
  EXPECT_NEAR(DmsToRadians(-1, 30, 0), -1.5 * kRadPerDeg, 1e-15);
}

TEST(DmsToRadians, NegativeDegreesMirrorPositiveAngle) {
  // The magnitude is computed as for the positive angle and then negated: exactly its mirror.
  EXPECT_EQ(DmsToRadians(-30, 15, 0), -DmsToRadians(30, 15, 0));
  EXPECT_EQ(DmsToRadians(-122, 25, 9.8765), -DmsToRadians(122, 25, 9.8765));
  EXPECT_EQ(DmsToRadians(-89, 59, 59.99999), -DmsToRadians(89, 59, 59.99999));
}

// In the cases below both ellipsoids meet the same point on the equator, where the prime-vertical
// radius is the semi-major axis and nothing is rounded (or only the cosine of a right angle).
TEST(ComputeShift, EquatorPrimeMeridianGivesDifferenceOfSemiMajorAxes) {
  ShiftForm form = EquatorForm(0);
  ComputeShift(form);
  EXPECT_EQ(form.m_dx, -108);
  EXPECT_EQ(form.m_dy, 0);
  EXPECT_EQ(form.m_dz, 0);
}

TEST(ComputeShift, NinetyDegreesEastMovesDifferenceToY) {
  ShiftForm form = EquatorForm(90);
  ComputeShift(form);
  // 108 m times the cosine of the double nearest pi/2 (6e-17).
  EXPECT_NEAR(form.m_dx, 0, 1e-9);
  EXPECT_EQ(form.m_dy, -108);  // the sine of that double rounds to 1
  EXPECT_EQ(form.m_dz, 0);
}

TEST(ComputeShift, HeightsEnterOnTheirOwnSide) {
  ShiftForm form = EquatorForm(0);
  form.m_geoH = 1;
  ComputeShift(form);
  EXPECT_EQ(form.m_dx, -107);

  form = EquatorForm(0);
  form.m_gridH = 1;
  ComputeShift(form);
  EXPECT_EQ(form.m_dx, -109);
}

TEST(ComputeShift, AllZeroFormIsStillComputed) {
  ShiftForm form;
  form.m_centralMeridian = 0;
  form.m_dx = form.m_dy = form.m_dz = 77;
  ComputeShift(form);
  // y = 0 is 500 km west of the central meridian on the equator. GeographicLib's inverse
  // projection puts that at lon0, and the point on the sphere of radius a at that longitude.
  const GeographicLib::TransverseMercator grid(kKrassovsky.a, 1 - std::sqrt(1 - kKrassovsky.e2), 1);
  double lat, lon;
  grid.Reverse(0, -500000, 0, lat, lon);
  ASSERT_EQ(lat, 0);
  // 4.5 degrees from the central meridian, beyond the 3 degrees the series is built for, its
  // error grows with the seventh power of the distance; a centimetre still bounds it.
  EXPECT_NEAR(form.m_dx, kWgs84.a - kKrassovsky.a * std::cos(lon * kRadPerDeg), 0.01);
  EXPECT_NEAR(form.m_dy, -kKrassovsky.a * std::sin(lon * kRadPerDeg), 0.01);
  EXPECT_EQ(form.m_dz, 0);  // the latitude series is zero on the equator
}
