// Quantiles of chi-square and F against printed tables, and Baarda's lambda0 against his value
// and against the closed form of the non-central chi-square distribution with 3 degrees of freedom.
#include "adjust/distributions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zerb::adjust {
namespace {

struct Row {
  double alpha, dof1, dof2, value;
};

// Tables print three decimals (four significant digits for the large ones), so a quantile must
// agree to half a unit of the last printed digit.
TEST(Quantiles, MatchPrintedTables) {
  const double inf = std::numeric_limits<double>::infinity();
  // Chi-square (dof2 = 0) and F upper quantiles, Abramowitz and Stegun tables 26.8 and 26.9.
  const Row rows[] = {
      {0.05, 1, 0, 3.841},     {0.05, 3, 0, 7.815},  {0.05, 10, 0, 18.307}, {0.001, 3, 0, 16.266},
      {0.05, 100, 0, 124.342}, {0.05, 4, 20, 2.866}, {0.05, 4, 10, 3.478},  {0.001, 3, 10, 12.553},
      {0.05, 3, inf, 2.605},   {0.01, 3, 60, 4.126},
  };
  for (const Row& r : rows) {
    const double q =
        r.dof2 == 0 ? ChiSquareUpper(r.alpha, r.dof1) : FUpper(r.alpha, r.dof1, r.dof2);
    EXPECT_NEAR(q, r.value, 5e-4) << r.alpha << " " << r.dof1 << " " << r.dof2;
  }
}

// Non-central chi-square with 3 degrees of freedom in closed form: with a = sqrt(x), b =
// sqrt(lambda), P(X <= x) = Phi(a - b) - Phi(-a - b) - (phi(a - b) - phi(a + b)) / b.
double NonCentralCdf3(double x, double lambda) {
  const double a = std::sqrt(x), b = std::sqrt(lambda);
  const auto phi = [](double t) { return std::exp(-t * t / 2) / std::sqrt(2 * M_PI); };
  const auto cdf = [](double t) { return 0.5 * std::erfc(-t / std::sqrt(2.0)); };
  return cdf(a - b) - cdf(-a - b) - (phi(a - b) - phi(a + b)) / b;
}

TEST(Quantiles, Lambda0GivesThePowerAskedFor) {
  // Baarda's classic value for one dimension, alpha 0.001 and power 0.80: 17.07.
  EXPECT_NEAR(NonCentrality(0.001, 0.80, 1), 17.07, 0.01);
  for (const double alpha : {0.001, 0.01, 0.05}) {
    const double lambda = NonCentrality(alpha, 0.80, 3);
    const double power = 1 - NonCentralCdf3(ChiSquareUpper(alpha, 3), lambda);
    // The closed form is exact; 1e-6 of probability is far below what the test needs.
    EXPECT_NEAR(power, 0.80, 1e-6) << alpha;
  }
}

}  // namespace
}  // namespace zerb::adjust
