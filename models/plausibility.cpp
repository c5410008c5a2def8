// The plausibility of fitted parameters; see plausibility.h.
#include "models/plausibility.h"

#include <cmath>
#include <cstdio>

namespace zerb {
namespace {

void Check(const char* name, double value, double sd, double limit, const char* unit,
           std::vector<std::string>* beyond) {
  if (!(std::fabs(value) - 3 * sd <= limit)) {
    char text[160];
    if (sd > 0) {
      std::snprintf(text, sizeof text, "%s = %.4f %s +- %.4f (limit %g %s)", name, value, unit, sd,
                    limit, unit);
    } else {
      std::snprintf(text, sizeof text, "%s = %.4f %s (limit %g %s)", name, value, unit, limit,
                    unit);
    }
    beyond->emplace_back(text);
  }
}

}  // namespace

std::vector<std::string> ImplausibleParameters(const adjust::FitResult& fit,
                                               const adjust::Settings& settings) {
  const adjust::Solution& s = fit.solution();
  std::vector<std::string> beyond;
  const adjust::Vec3 c = s.centroid;
  const adjust::Vec3 w = fit.Transform(c);
  const double shift[3] = {w.x - c.x, w.y - c.y, w.z - c.z};
  const char* shift_names[3] = {"the shift at the points' centre dx", "dy", "dz"};
  for (int k = 0; k < 3; ++k)
    Check(shift_names[k], shift[k], 0, kMaxCentroidShift, "m", &beyond);
  if (s.model == adjust::Model::kSevenParameter) {
    const adjust::BursaWolf& p = s.parameters;
    const double* sd = s.standard_deviation.data();
    Check("rx", p.rx, sd[adjust::kRx], kMaxRotation, "arc-seconds", &beyond);
    Check("ry", p.ry, sd[adjust::kRy], kMaxRotation, "arc-seconds", &beyond);
    Check("rz", p.rz, sd[adjust::kRz], kMaxRotation, "arc-seconds", &beyond);
    Check("scale", p.s, sd[adjust::kScale], kMaxScale, "ppm", &beyond);
  }
  if (s.dof > 0) {
    const double sigma0 = s.a_priori ? s.sigma0 * settings.sigma_horizontal : s.sigma0;
    Check("sigma0", sigma0, 0, kMaxSigma0, "m", &beyond);
  }
  return beyond;
}

}  // namespace zerb
