// The residual limits a survey's instructions set for its common points (水平限差 and 高程限差):
// each point's horizontal residual (the length of its north and east residuals) and its
// vertical residual are held against them, and the fit passes when every point is within.
// They judge the points; they change no fit.
#ifndef ZERB_MODELS_RESIDUAL_LIMITS_H
#define ZERB_MODELS_RESIDUAL_LIMITS_H

#include <cmath>

namespace zerb {

struct ResidualLimits {
  double horizontal = 0;  // metres; 0 when no horizontal limit is set
  double vertical = 0;    // metres; 0 when no vertical limit is set
  bool any() const { return horizontal > 0 || vertical > 0; }
};

// Whether a point is within the limits: horizontal and vertical are its residuals in metres,
// NaN where the point has none (a point in only one of the plane model's two fits).
inline bool WithinLimits(const ResidualLimits& limits, double horizontal, double vertical) {
  const bool h = !(limits.horizontal > 0) || std::isnan(horizontal) ||
                 std::fabs(horizontal) <= limits.horizontal;
  const bool v =
      !(limits.vertical > 0) || std::isnan(vertical) || std::fabs(vertical) <= limits.vertical;
  return h && v;
}

}  // namespace zerb

#endif  // ZERB_MODELS_RESIDUAL_LIMITS_H
