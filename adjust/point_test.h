// The outlier test of one point, the one place its statistic and critical value are formed: in
// every round of data snooping, for the critical values of the final fit, and for each point
// reported against it.
//
// Method (Teunissen, Testing Theory; JAG3D's Tprio and Tpost): w = v' Qvv^-1 v of the point's d
// observations (the three shift components; two of a plane position, one of a height). With
// a-priori accuracy T = w / d against F(d, inf). Without it the test is externally studentised:
// the variance factor comes from the other points, s^2 = (Omega - w) / (f - d), and T = w / (d s^2)
// against F(d, f - d); a point outside the fit (a check point, or one left out) has Omega without
// its w and f of its own, so T = w / (d Omega / f) against F(d, f).
// With a limit in metres (Settings::max_residual) the statistic is the length of the estimated
// gross error instead, and the limit its critical value.
#ifndef ZERB_ADJUST_POINT_TEST_H
#define ZERB_ADJUST_POINT_TEST_H

#include "adjust/adjust.h"

namespace zerb::adjust {

// The fit a point is tested against: its settings, whether they give a-priori accuracy, its
// Omega (v' P v) and redundancy f = d n - u, and d, the observations of one point.
struct TestedFit {
  const Settings& settings;
  bool a_priori;
  double omega;
  double dof;
  int dimension = 3;
};

// The critical value for a point in the fit (inside) or outside it; 0 when the fit leaves too
// little redundancy to test such a point.
double PointTestCritical(const TestedFit& fit, bool inside);

// The statistic of a point with quadratic form w and estimated gross error of length
// gross_error (metres); infinite when the other points fit exactly and w is not 0.
double PointTestStatistic(const TestedFit& fit, bool inside, double w, double gross_error);

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_POINT_TEST_H
