// North, east, up at an Earth-centred position, for the weights and the residuals in the local
// horizon.
//
// Method: geodetic latitude by Bowring's one-step formula (Bowring 1976, Survey Review 23:181),
// tan B = (Z + e'^2 b sin^3 t) / (p - e^2 a cos^3 t) with tan t = a Z / (b p), evaluated through
// its sine and cosine directly so no trigonometric function is called. Accuracy: below 1e-9 rad in
// latitude for heights within 10 km of the ellipsoid, far inside the 1e-6 rad the direction of a
// weight needs.
#include "adjust/local_frame.h"

#include <cmath>

#include "geodesy/geodesy.h"

namespace zerb::adjust {

LocalFrame LocalFrameAt(const Vec3& k) {
  const double a = geodesy::kKrassovsky.a;
  const double e2 = geodesy::kKrassovsky.e2;
  const double b = a * std::sqrt(1.0 - e2);
  const double ep2 = e2 / (1.0 - e2);
  const double p = std::hypot(k.x, k.y);
  double cos_l = 1.0;
  double sin_l = 0.0;
  if (p > 0) {
    cos_l = k.x / p;
    sin_l = k.y / p;
  }
  // Parametric latitude t from its tangent a Z / (b p), as a unit vector (cos t, sin t).
  const double tc = b * p;
  const double ts = a * k.z;
  const double tr = std::hypot(tc, ts);
  const double ct = tr > 0 ? tc / tr : 1.0;
  const double st = tr > 0 ? ts / tr : 0.0;
  const double num = k.z + ep2 * b * st * st * st;
  const double den = p - e2 * a * ct * ct * ct;
  const double r = std::hypot(num, den);
  const double sin_b = r > 0 ? num / r : 0.0;
  const double cos_b = r > 0 ? den / r : 1.0;
  return {{-sin_b * cos_l, -sin_b * sin_l, cos_b},
          {-sin_l, cos_l, 0.0},
          {cos_b * cos_l, cos_b * sin_l, sin_b}};
}

}  // namespace zerb::adjust
