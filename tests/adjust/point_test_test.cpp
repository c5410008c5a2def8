// The outlier test of one point against closed forms: Boost.Math's F and chi-square quantiles
// for the critical values, and the studentised statistic worked by hand.
#include "adjust/point_test.h"

#include <gtest/gtest.h>

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <cmath>
#include <limits>

namespace zerb::adjust {
namespace {

// The quantiles come from the same Boost.Math behind FUpper, by another route (the complement
// of the lower quantile); 1e-9 relative leaves room for nothing but rounding.
constexpr double kRelative = 1e-9;

double FQuantile(double alpha, double d1, double d2) {
  return boost::math::quantile(boost::math::complement(boost::math::fisher_f(d1, d2), alpha));
}

TEST(PointTest, CriticalValuesFollowTheRuleAndWhereThePointStands) {
  Settings s;
  s.alpha_point = 0.001;
  // Without a-priori accuracy: F(3, f - 3) for a point in the fit, F(3, f) outside it.
  const TestedFit a_posteriori{s, false, 20.0, 10.0};
  EXPECT_NEAR(PointTestCritical(a_posteriori, true), FQuantile(0.001, 3, 7),
              kRelative * FQuantile(0.001, 3, 7));
  EXPECT_NEAR(PointTestCritical(a_posteriori, false), FQuantile(0.001, 3, 10),
              kRelative * FQuantile(0.001, 3, 10));
  // f = 3 leaves the other points no redundancy to studentise a point in the fit with.
  const TestedFit bare{s, false, 1.0, 3.0};
  EXPECT_EQ(PointTestCritical(bare, true), 0);
  EXPECT_GT(PointTestCritical(bare, false), 0);
  // With a-priori accuracy: chi-square(3) / 3, the same in and out.
  const double chi =
      boost::math::quantile(boost::math::complement(boost::math::chi_squared(3), 0.001));
  const TestedFit a_priori{s, true, 20.0, 10.0};
  EXPECT_NEAR(PointTestCritical(a_priori, true), chi / 3, kRelative * chi);
  EXPECT_NEAR(PointTestCritical(a_priori, false), chi / 3, kRelative * chi);
  // A limit in metres is its own critical value.
  Settings limit = s;
  limit.max_residual = 0.05;
  EXPECT_EQ(PointTestCritical({limit, false, 20.0, 10.0}, true), 0.05);
}

TEST(PointTest, StatisticIsStudentisedByTheOtherPoints) {
  Settings s;
  // Omega 20 over f = 10, the point's w 6: inside, the others give s^2 = 14 / 7 = 2 and
  // T = 6 / (3 * 2) = 1; outside, Omega is the others' already: T = 6 / (3 * 20 / 10) = 1.
  const TestedFit fit{s, false, 20.0, 10.0};
  EXPECT_DOUBLE_EQ(PointTestStatistic(fit, true, 6.0, 0.3), 1.0);
  EXPECT_DOUBLE_EQ(PointTestStatistic(fit, false, 6.0, 0.3), 1.0);
  // The same w with the point's share of Omega smaller: inside, 6 / (3 * (26 - 6) / 7) = 0.7.
  EXPECT_DOUBLE_EQ(PointTestStatistic({s, false, 26.0, 10.0}, true, 6.0, 0.3), 0.7);
  // The others fitting exactly: any misfit of the point is infinitely significant, none is none.
  EXPECT_EQ(PointTestStatistic({s, false, 6.0, 10.0}, true, 6.0, 0.3),
            std::numeric_limits<double>::infinity());
  EXPECT_EQ(PointTestStatistic({s, false, 0.0, 10.0}, true, 0.0, 0.0), 0);
  // A-priori accuracy: w / 3; a limit: the gross error's length in metres.
  EXPECT_DOUBLE_EQ(PointTestStatistic({s, true, 20.0, 10.0}, true, 6.0, 0.3), 2.0);
  Settings limit = s;
  limit.max_residual = 0.05;
  EXPECT_EQ(PointTestStatistic({limit, false, 20.0, 10.0}, true, 6.0, 0.3), 0.3);
}

}  // namespace
}  // namespace zerb::adjust
