// The residual test and the RMS against a direct computation: for each point, the mean and the
// RMS of the other points summed afresh.
#include "cli/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace zerb {
namespace {

struct Direct {
  double distance;
  double rms_others;
};

Direct LeaveOneOut(const std::vector<Vec3>& d, std::size_t i) {
  Vec3 m;
  const double n = static_cast<double>(d.size() - 1);
  for (std::size_t j = 0; j < d.size(); ++j) {
    if (j == i)
      continue;
    m.x += d[j].x / n;
    m.y += d[j].y / n;
    m.z += d[j].z / n;
  }
  double ss = 0;
  for (std::size_t j = 0; j < d.size(); ++j) {
    if (j == i)
      continue;
    ss += std::pow(d[j].x - m.x, 2) + std::pow(d[j].y - m.y, 2) + std::pow(d[j].z - m.z, 2);
  }
  return {std::hypot(d[i].x - m.x, d[i].y - m.y, d[i].z - m.z), std::sqrt(ss / n)};
}

std::vector<Vec3> Scatter(int n, double sigma, unsigned seed) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> noise(0.0, sigma);
  std::vector<Vec3> d;
  for (int i = 0; i < n; ++i)
    d.push_back({15.8 + noise(random), -130.4 + noise(random), -84.9 + noise(random)});
  return d;
}

TEST(Summarize, FlagsExactlyThePointsTheDirectTestFlags) {
  std::vector<Vec3> d = Scatter(30, 0.02, 1);
  d[4].x += 0.3;    // about 15 sigma: flagged
  d[17].z -= 0.05;  // 2.5 sigma on one axis: kept
  const Summary s = Summarize(d, {});
  ASSERT_TRUE(s.tested);
  std::vector<std::size_t> flagged;
  for (std::size_t i = 0; i < d.size(); ++i) {
    const Direct direct = LeaveOneOut(d, i);
    if (direct.distance > std::max(3 * direct.rms_others, 0.001))
      flagged.push_back(i);
  }
  ASSERT_EQ(flagged, (std::vector<std::size_t>{4}));
  ASSERT_EQ(s.flags.size(), 1u);
  const Direct direct = LeaveOneOut(d, 4);
  EXPECT_EQ(s.flags[0].index, 4u);
  // Rounding only: sums of 30 values of 1e2 m agree to well below a micrometre.
  EXPECT_NEAR(s.flags[0].distance, direct.distance, 1e-9);
  EXPECT_NEAR(s.flags[0].limit, 3 * direct.rms_others, 1e-9);
  EXPECT_EQ(s.count_used, 29u);
  EXPECT_EQ(s.used[4], 0);
}

// Hand-derived: residuals of +-0.01 m on x only, and a point 1 m off that the limit leaves out.
// The values are sums of a few decimals, exact to rounding (1e-12 m).
TEST(Summarize, MeanAndRmsOfThePointsUsed) {
  const std::vector<Vec3> d = {
      {10.01, 5, 1}, {9.99, 5, 1}, {10.01, 5, 1}, {9.99, 5, 1}, {11.0, 5, 1}};
  ResidualRule rule;
  rule.max_residual = 0.5;
  const Summary s = Summarize(d, rule);
  EXPECT_NEAR(s.mean_all.x, 10.2, 1e-12);
  EXPECT_NEAR(s.mean.x, 10.0, 1e-12);
  EXPECT_NEAR(s.rms_axis.x, 0.01, 1e-12);
  EXPECT_NEAR(s.rms_axis.y, 0.0, 1e-12);
  EXPECT_NEAR(s.rms, 0.01, 1e-12);
  ASSERT_EQ(s.flags.size(), 1u);
  EXPECT_EQ(s.flags[0].index, 4u);
  EXPECT_NEAR(s.flags[0].distance, 1.0, 1e-12);

  rule.keep_all = true;
  const Summary kept = Summarize(d, rule);
  EXPECT_EQ(kept.flags.size(), 1u);
  EXPECT_EQ(kept.count_used, 5u);
  EXPECT_NEAR(kept.mean.x, 10.2, 1e-12);
}

TEST(Summarize, NoTestWithoutEnoughPointsOrSpread) {
  EXPECT_FALSE(Summarize(Scatter(3, 1.0, 2), {}).tested);
  ResidualRule limit;
  limit.max_residual = 0.1;
  EXPECT_TRUE(Summarize(Scatter(2, 1.0, 2), limit).tested);
  // Points that agree to rounding do not flag each other: the limit is at least 1 mm.
  std::vector<Vec3> same(10, Vec3{15.8, -130.4, -84.9});
  same[3].x = std::nextafter(same[3].x, 100.0);
  EXPECT_TRUE(Summarize(same, {}).flags.empty());
  // When every point fails the limit, none can be left out.
  const Summary all = Summarize({{0, 0, 0}, {5, 0, 0}}, limit);
  EXPECT_TRUE(all.all_flagged);
  EXPECT_EQ(all.count_used, 2u);
}

}  // namespace
}  // namespace zerb
