// The three-parameter fit with equal weights against its closed forms: the estimate is the mean
// shift, a point's estimated gross error is its distance from the mean of the others, every
// redundancy number is 1 - 1/n, and the point test studentises with the fit of the others.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "adjust/adjust.h"
#include "support.h"

namespace zerb::adjust {
namespace {

using testing::Area;
using testing::Length;
using testing::Minus;
using testing::Solving;

struct Data {
  std::vector<Vec3> local, shift;
};

// n points over 50 km near Beijing with a shift of about 100 m and 1 cm Gaussian noise.
Data Noisy(int n, unsigned seed) {
  std::mt19937_64 rng(seed);
  Data d;
  d.local = Area(40, 116, 50, n, rng);
  std::normal_distribution<double> noise(0, 0.01);
  for (int i = 0; i < n; ++i)
    d.shift.push_back({-15 + noise(rng), 120 + noise(rng), 60 + noise(rng)});
  return d;
}

Solving Load(const Data& d) {
  Solving a;
  for (std::size_t i = 0; i < d.local.size(); ++i)
    a.Add(d.local[i], d.shift[i], 100 + i, false);
  return a;
}

Vec3 Mean(const std::vector<Vec3>& v, std::size_t skip = SIZE_MAX) {
  long double x = 0, y = 0, z = 0;
  std::size_t n = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i == skip)
      continue;
    x += v[i].x;
    y += v[i].y;
    z += v[i].z;
    ++n;
  }
  return {static_cast<double>(x / n), static_cast<double>(y / n), static_cast<double>(z / n)};
}

TEST(ThreeParameterFit, EqualWeightsGiveTheMeanShift) {
  const Data d = Noisy(25, 1);
  Solving a = Load(d);
  ASSERT_EQ(a.Solve({}), "");
  const Solution& s = a.solution();
  const Vec3 mean = Mean(d.shift);
  // Sums of 25 shifts of 100 m in double: rounding stays near 1e-13 m; 1e-9 m is far below any
  // printed digit and far above that rounding.
  EXPECT_NEAR(s.parameters.tx, mean.x, 1e-9);
  EXPECT_NEAR(s.parameters.ty, mean.y, 1e-9);
  EXPECT_NEAR(s.parameters.tz, mean.z, 1e-9);
  EXPECT_EQ(s.parameter_count, 3);
  EXPECT_EQ(s.dof, 3 * 25 - 3);
  EXPECT_EQ(s.parameters.rx, 0);
  EXPECT_EQ(s.parameters.s, 0);
  // The translation's standard deviation is sigma0 / sqrt(n) by the closed form of the mean.
  EXPECT_NEAR(s.standard_deviation[kTx], s.sigma0 / 5, 1e-12);
}

TEST(ThreeParameterFit, KeepsEveryShiftBitForBit) {
  const Data d = Noisy(7, 2);
  Solving a = Load(d);
  ASSERT_EQ(a.Solve({}), "");
  for (std::size_t i = 0; i < d.shift.size(); ++i) {
    const PointResult p = a.Point(i);
    EXPECT_EQ(p.shift.x, d.shift[i].x);
    EXPECT_EQ(p.shift.y, d.shift[i].y);
    EXPECT_EQ(p.shift.z, d.shift[i].z);
    // The local position is stored as a single-precision offset from the first point: these
    // points lie within 100 km of it, where a float's rounding is below 4 mm.
    EXPECT_NEAR(p.local.z, d.local[i].z, 0.004);
    EXPECT_EQ(p.tag, 100 + i);
  }
}

// A withdrawn point is in no fit and counted nowhere, as if it had never been added.
TEST(ThreeParameterFit, WithdrawnPointIsAsIfNeverAdded) {
  const Data d = Noisy(7, 2);
  Solving all = Load(d);
  Data fewer = d;
  fewer.local.erase(fewer.local.begin() + 3);
  fewer.shift.erase(fewer.shift.begin() + 3);
  Solving without = Load(fewer);
  all.Withdraw(3);
  ASSERT_EQ(all.Solve({}), "");
  ASSERT_EQ(without.Solve({}), "");
  EXPECT_EQ(all.solution().points, 6u);
  EXPECT_EQ(all.solution().points_check, 0u);
  EXPECT_NEAR(all.solution().parameters.tx, without.solution().parameters.tx, 1e-12);
  EXPECT_NEAR(all.solution().sigma0, without.solution().sigma0, 1e-12);
}

TEST(ThreeParameterFit, GrossErrorIsTheDistanceFromTheMeanOfTheOthers) {
  const Data d = Noisy(12, 3);
  Solving a = Load(d);
  ASSERT_EQ(a.Solve({}), "");
  for (std::size_t i = 0; i < d.shift.size(); ++i) {
    const PointResult p = a.Point(i);
    const Vec3 loo = Minus(d.shift[i], Mean(d.shift, i));
    ASSERT_TRUE(p.tested);
    // Differences of 100 m shifts: 1e-9 m leaves room for their rounding and nothing else.
    EXPECT_NEAR(p.gross_error.x, loo.x, 1e-9);
    EXPECT_NEAR(p.gross_error.y, loo.y, 1e-9);
    EXPECT_NEAR(p.gross_error.z, loo.z, 1e-9);
    EXPECT_NEAR(p.gross_error_length, Length(loo), 1e-9);
  }
}

TEST(ThreeParameterFit, RedundancyNumbersAreOneLessOneOverN) {
  const Data d = Noisy(8, 4);
  Solving a = Load(d);
  ASSERT_EQ(a.Solve({}), "");
  for (std::size_t i = 0; i < d.shift.size(); ++i) {
    const PointResult p = a.Point(i);
    // Pure rounding of a 3x3 product: 1e-12.
    EXPECT_NEAR(p.redundancy_neu.x, 1 - 1.0 / 8, 1e-12);
    EXPECT_NEAR(p.redundancy_neu.y, 1 - 1.0 / 8, 1e-12);
    EXPECT_NEAR(p.redundancy_neu.z, 1 - 1.0 / 8, 1e-12);
    EXPECT_NEAR(p.redundancy, 3 * (1 - 1.0 / 8), 1e-12);
  }
}

// Without a-priori accuracy the point test is externally studentised: T = w / (3 s^2) with w =
// (n - 1) / n times the squared distance of the point's shift from the mean of the others and
// s^2 the variance factor of the fit of the others, compared with F(3, 3 (n - 1) - 3) at alpha
// 0.001: 10.80 for six points in the printed tables (F(3, 15), 9.34, would be the fit's own
// degrees of freedom). Point 0 is put at exactly T from the others, below and above 10.80.
TEST(ThreeParameterFit, PointTestStudentisesWithTheFitOfTheOthers) {
  for (const double t : {10.2, 11.4}) {
    Data d = Noisy(6, 6);
    const Vec3 others = Mean(d.shift, 0);
    double omega_others = 0;
    for (std::size_t i = 1; i < d.shift.size(); ++i) {
      const Vec3 v = Minus(d.shift[i], others);
      omega_others += v.x * v.x + v.y * v.y + v.z * v.z;
    }
    const double s2 = omega_others / (3 * 5 - 3);
    const double distance = std::sqrt(t * 3 * s2 * 6 / 5);
    d.shift[0] = {others.x + distance, others.y, others.z};
    Solving a = Load(d);
    ASSERT_EQ(a.Solve({}), "");
    const PointResult p = a.Point(0);
    ASSERT_TRUE(p.tested) << t;
    EXPECT_EQ(p.flagged, t > 10.80) << t;
    if (!p.flagged) {
      // Sums of six 100 m shifts: the statistic keeps some ten digits.
      EXPECT_NEAR(p.test_statistic, t, 1e-6);
      EXPECT_NEAR(p.critical, 10.80, 0.005);
    }
  }
}

TEST(ThreeParameterFit, ResidualsInTheLocalHorizonKeepTheirLength) {
  const Data d = Noisy(5, 5);
  Solving a = Load(d);
  ASSERT_EQ(a.Solve({}), "");
  const Vec3 mean = Mean(d.shift);
  for (std::size_t i = 0; i < d.shift.size(); ++i) {
    const PointResult p = a.Point(i);
    const Vec3 v = Minus(d.shift[i], mean);
    EXPECT_NEAR(p.residual.x, v.x, 1e-9);
    EXPECT_NEAR(p.residual.y, v.y, 1e-9);
    EXPECT_NEAR(p.residual.z, v.z, 1e-9);
    EXPECT_NEAR(Length(p.residual_neu), Length(v), 1e-12);
  }
}

}  // namespace
}  // namespace zerb::adjust
