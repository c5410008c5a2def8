// The fit of points with one or two observations against closed forms: a constant fitted to one
// observation a point is the mean, every redundancy number 1 - 1/n, sigma0 the sample standard
// deviation, the mean's standard deviation sigma0 / sqrt(n), and a point's gross error its
// distance from the mean of the others; and a blunder among them is the point snooping takes out.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "adjust/point_fit.h"

namespace zerb::adjust {
namespace {

class Constant : public PointModel {
 public:
  int dimension() const override { return 1; }
  int parameters() const override { return 1; }
  void Evaluate(const double*, const double* x, double* predicted, double* design) const override {
    predicted[0] = x[0];
    design[0] = 1;
  }
};

std::vector<double> Values(int n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> noise(-9.8, 0.01);
  std::vector<double> v;
  for (int i = 0; i < n; ++i)
    v.push_back(noise(rng));
  return v;
}

PointFit Load(const std::vector<double>& values) {
  PointFit fit;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double position[2] = {static_cast<double>(i), 0};
    const double observation[2] = {values[i], 0};
    fit.Add(position, observation, i + 1, false);
  }
  return fit;
}

TEST(PointFitConstant, IsTheMeanWithTheSampleStatistics) {
  const std::vector<double> v = Values(12, 7);
  const double n = static_cast<double>(v.size());
  double mean = 0;
  for (double x : v)
    mean += x / n;
  double squares = 0;
  for (double x : v)
    squares += (x - mean) * (x - mean);
  const double s0 = std::sqrt(squares / (n - 1));
  const PointFit fit = Load(v);
  const Constant model;
  Settings settings;
  PointFitResult r;
  ASSERT_EQ(fit.Solve(model, settings, 0, {}, &r), "");
  const PointFitSolution& s = r.solution();
  // Sums of a dozen values near 10 m: agreement to a few units of the last digit.
  EXPECT_NEAR(s.parameters[0], mean, 1e-12);
  EXPECT_NEAR(s.sigma0, s0, 1e-12);
  EXPECT_NEAR(s.standard_deviation[0], s0 / std::sqrt(n), 1e-12);
  EXPECT_EQ(s.dof, n - 1);
  for (std::size_t i = 0; i < v.size(); ++i) {
    const PointFitPoint p = r.Point(i);
    EXPECT_NEAR(p.redundancy_sum, 1 - 1 / n, 1e-12);
    EXPECT_NEAR(p.residual[0], v[i] - mean, 1e-12);
    // The gross error is the value less the mean of the others: v_i n / (n - 1).
    EXPECT_NEAR(p.gross_error[0], (v[i] - mean) * n / (n - 1), 1e-12);
  }
}

TEST(PointFitConstant, SnoopingTakesOutTheBlunderAndTestsItOutside) {
  std::vector<double> v = Values(10, 3);
  v[6] += 0.25;  // 25 sigma
  const PointFit fit = Load(v);
  const Constant model;
  Settings settings;
  PointFitResult r;
  ASSERT_EQ(fit.Solve(model, settings, 0, {}, &r), "");
  EXPECT_EQ(r.solution().points_flagged, 1u);
  EXPECT_EQ(r.solution().points_used, 9u);
  const PointFitPoint bad = r.Point(6);
  EXPECT_TRUE(bad.flagged);
  EXPECT_FALSE(bad.used);
  EXPECT_GT(bad.test_statistic, bad.critical);
  EXPECT_NEAR(bad.gross_error[0], 0.25, 0.03);  // 0.25 m put in, 1 cm noise in the others' mean
  for (std::size_t i = 0; i < v.size(); ++i)
    EXPECT_EQ(r.Point(i).flagged, i == 6) << i;
}

TEST(PointFitConstant, ACheckPointIsTestedAgainstTheMeanOfTheOthers) {
  const std::vector<double> v = Values(8, 13);
  PointFit fit = Load(v);
  const double position[2] = {0, 0};
  const double observation[2] = {-9.75, 0};
  fit.Add(position, observation, 99, true);
  const Constant model;
  Settings settings;
  PointFitResult r;
  ASSERT_EQ(fit.Solve(model, settings, 0, {}, &r), "");
  double mean = 0;
  for (double x : v)
    mean += x / 8;
  const PointFitPoint p = r.Point(8);
  EXPECT_TRUE(p.check);
  EXPECT_FALSE(p.used);
  // Outside the fit the residual is the gross error: the value less the others' mean.
  EXPECT_NEAR(p.residual[0], -9.75 - mean, 1e-12);
  EXPECT_NEAR(p.gross_error[0], -9.75 - mean, 1e-12);
  EXPECT_EQ(p.redundancy_sum, 0);
  // T = v^2 / ((1 + 1/n) s^2) against F(1, n - 1), the studentised distance from the mean.
  const double s2 = r.solution().variance_factor;
  EXPECT_NEAR(p.test_statistic, (-9.75 - mean) * (-9.75 - mean) / ((1 + 1.0 / 8) * s2), 1e-9);
}

TEST(PointFitConstant, WithAPrioriSigmaTheGlobalTestUsesIt) {
  const std::vector<double> v = Values(20, 11);
  const PointFit fit = Load(v);
  const Constant model;
  Settings settings;
  PointFitResult r;
  // Noise of 1 cm judged with 1 mm: rejected; with 1 cm: omega near its 19 degrees of freedom.
  // keep_all so that both fits have all 20 points, whatever snooping makes of the 1 mm one.
  ASSERT_EQ(fit.Solve(model, settings, 0.001, {}, &r), "");
  EXPECT_TRUE(r.solution().global_test.run);
  EXPECT_TRUE(r.solution().global_test.rejected);
  settings.keep_all = true;
  ASSERT_EQ(fit.Solve(model, settings, 0.01, {}, &r), "");
  EXPECT_FALSE(r.solution().global_test.rejected);
  EXPECT_NEAR(r.solution().standard_deviation[0] / std::sqrt(r.solution().variance_factor),
              0.01 / std::sqrt(20.0), 1e-12);
}

// The plane similarity about the points' centroid, equal weights: the normal matrix is diagonal,
// so point i's redundancy per coordinate is 1 - 1/n - (n_i^2 + e_i^2) / sum(n^2 + e^2).
class Similarity : public PointModel {
 public:
  int dimension() const override { return 2; }
  int parameters() const override { return 4; }
  void Evaluate(const double* p, const double* x, double* predicted,
                double* design) const override {
    predicted[0] = x[0] + x[2] * p[0] - x[3] * p[1];
    predicted[1] = x[1] + x[2] * p[1] + x[3] * p[0];
    const double rows[8] = {1, 0, p[0], -p[1], 0, 1, p[1], p[0]};
    std::copy(rows, rows + 8, design);
  }
};

TEST(PointFitSimilarity, RedundancyAndCriticalValuesHaveTheirClosedForms) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> u(-8000, 8000);
  std::normal_distribution<double> noise(0, 0.005);
  const int n = 12;
  std::vector<std::array<double, 2>> at(n);
  double mn = 0, me = 0;
  for (auto& a : at) {
    a = {u(rng), u(rng)};
    mn += a[0] / n;
    me += a[1] / n;
  }
  double spread = 0;
  PointFit fit;
  for (int i = 0; i < n; ++i) {
    at[i] = {at[i][0] - mn, at[i][1] - me};
    spread += at[i][0] * at[i][0] + at[i][1] * at[i][1];
    const double observation[2] = {-2.9 + noise(rng), 256.7 + noise(rng)};
    fit.Add(at[i].data(), observation, i + 1, false);
  }
  const Similarity model;
  Settings settings;
  PointFitResult r;
  ASSERT_EQ(fit.Solve(model, settings, 0, {}, &r), "");
  double sum = 0;
  for (int i = 0; i < n; ++i) {
    const PointFitPoint p = r.Point(i);
    const double expected = 1 - 1.0 / n - (at[i][0] * at[i][0] + at[i][1] * at[i][1]) / spread;
    EXPECT_NEAR(p.redundancy[0], expected, 1e-9) << i;
    EXPECT_NEAR(p.redundancy[1], expected, 1e-9) << i;
    sum += p.redundancy_sum;
  }
  EXPECT_NEAR(sum, 2 * n - 4, 1e-9);
  // Redundancy numbers are geometry alone: an a-priori sigma leaves them as they are.
  PointFitResult weighted;
  ASSERT_EQ(fit.Solve(model, settings, 0.005, {}, &weighted), "");
  for (int i = 0; i < n; ++i)
    EXPECT_NEAR(weighted.Point(i).redundancy_sum, r.Point(i).redundancy_sum, 1e-9) << i;
  EXPECT_EQ(r.solution().dof, 2 * n - 4);
  // F(2, 18) and F(2, 20) exceeded with probability 0.001, from published tables: 10.39, 9.95.
  EXPECT_NEAR(r.solution().point_critical, 10.39, 0.01);
  EXPECT_NEAR(r.solution().point_critical_outside, 9.95, 0.01);
}

}  // namespace
}  // namespace zerb::adjust
