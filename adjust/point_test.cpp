// The outlier test of one point; see point_test.h.
#include "adjust/point_test.h"

#include <limits>

#include "adjust/distributions.h"

namespace zerb::adjust {

double PointTestCritical(const TestedFit& fit, bool inside) {
  const Settings& s = fit.settings;
  if (s.max_residual > 0)
    return s.max_residual;
  const double d = fit.dimension;
  if (fit.a_priori)
    return FUpper(s.alpha_point, d, std::numeric_limits<double>::infinity());
  const double dof = inside ? fit.dof - d : fit.dof;
  return dof >= 1 ? FUpper(s.alpha_point, d, dof) : 0;
}

double PointTestStatistic(const TestedFit& fit, bool inside, double w, double gross_error) {
  if (fit.settings.max_residual > 0)
    return gross_error;
  const double d = fit.dimension;
  if (fit.a_priori)
    return w / d;
  const double dof = inside ? fit.dof - d : fit.dof;
  const double rest = inside ? fit.omega - w : fit.omega;
  if (!(rest > 0))
    return w > 0 ? std::numeric_limits<double>::infinity() : 0;
  return w / (d * rest / dof);
}

}  // namespace zerb::adjust
