// Quantiles of chi-square and F, and the non-centrality of a non-central chi-square test.
//
// Method: Boost.Math's inverses of the regularised incomplete gamma and beta functions (the
// library of the field for these, so nothing is written by hand), and for lambda0 its solver for
// the non-centrality of the non-central chi-square distribution (Poisson mixture of central
// chi-square, Ding's method). Accuracy: to a few units in the last place of a double for the
// degrees of freedom used here (checked against printed tables in tests/adjust to their 3-4
// digits, and lambda0 = 17.07 for 1 dimension, alpha 0.001, power 0.80, Baarda's value).
#include "adjust/distributions.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <cmath>

namespace zerb::adjust {

double ChiSquareUpper(double alpha, double dof) {
  const boost::math::chi_squared_distribution<double> d(dof);
  return boost::math::quantile(boost::math::complement(d, alpha));
}

double FUpper(double alpha, double dof1, double dof2) {
  if (std::isinf(dof2))
    return ChiSquareUpper(alpha, dof1) / dof1;
  const boost::math::fisher_f_distribution<double> d(dof1, dof2);
  return boost::math::quantile(boost::math::complement(d, alpha));
}

double NonCentrality(double alpha, double power, double dof) {
  const double critical = ChiSquareUpper(alpha, dof);
  // The non-centrality at which the critical value is a lower quantile 1 - power.
  return boost::math::non_central_chi_squared_distribution<double>::find_non_centrality(
      dof, critical, 1.0 - power);
}

}  // namespace zerb::adjust
