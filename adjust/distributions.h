// Quantiles of the test distributions of adjustment, and Baarda's non-centrality parameter.
#ifndef ZERB_ADJUST_DISTRIBUTIONS_H
#define ZERB_ADJUST_DISTRIBUTIONS_H

namespace zerb::adjust {

// The value a chi-square variable with dof degrees of freedom (> 0) exceeds with probability alpha
// (0 < alpha < 1).
double ChiSquareUpper(double alpha, double dof);

// The value an F(dof1, dof2) variable exceeds with probability alpha; dof2 may be infinite, which
// is chi-square(dof1) / dof1.
double FUpper(double alpha, double dof1, double dof2);

// Baarda's lambda0: the non-centrality at which a chi-square test with dof degrees of freedom and
// significance alpha rejects with probability power (0 < alpha < power < 1).
double NonCentrality(double alpha, double power, double dof);

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_DISTRIBUTIONS_H
