// What every form of the plane model's report takes from the fit: each point's results in the
// fits it is in, the check points' summary, the height surface's names and units, and the
// rotation in degrees, minutes and seconds.
#ifndef ZERB_WRITERS_PLANE_POINTS_H
#define ZERB_WRITERS_PLANE_POINTS_H

#include <cstddef>
#include <string>

#include "adjust/point_fit.h"
#include "models/plane_model.h"

namespace zerb {

// An angle in arc-seconds as 0°00′12.345678″.
std::string Dms(double arcseconds);

// A point's results in the fits it is in.
struct PlanePoint {
  bool in_horizontal = false;
  bool in_vertical = false;
  adjust::PointFitPoint horizontal;
  adjust::PointFitPoint vertical;
};
PlanePoint PointOf(const PlaneFit& fit, std::size_t i);
// The residuals the point's limits are held against, metres: the horizontal fit's length and
// the height fit's residual, NaN for a fit the point is not in.
double PlaneHorizontal(const PlanePoint& p);
double PlaneVertical(const PlanePoint& p);

bool HasHeights(const PlaneFit& fit);

// The checks' residuals: count, root mean square and largest, horizontal lengths or heights.
struct CheckSummary {
  std::size_t count = 0;
  double rms = 0;
  double largest = 0;
};
CheckSummary Checks(const adjust::PointFitResult& r);

// The surface's name, marked for translation (Tr of it names it in the user's language).
const char* SurfaceName(HeightFit kind);

inline constexpr const char* kCoefficientNames[6] = {"a0", "an", "ae", "ann", "ane", "aee"};
inline constexpr const char* kCoefficientUnits[6] = {"m",      "mm/km",  "mm/km",
                                                     "mm/km2", "mm/km2", "mm/km2"};

}  // namespace zerb

#endif  // ZERB_WRITERS_PLANE_POINTS_H
