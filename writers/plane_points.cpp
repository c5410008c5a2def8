// What every form of the plane report takes from the fit; see plane_points.h.
#include "writers/plane_points.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/translate.h"
#include "writers/report.h"

namespace zerb {

std::string Dms(double arcseconds) {
  // Whole micro-arc-seconds first, so that seconds that round up carry into the minutes
  // (59.9999996″ is 1′00.000000″, never 60.000000″).
  const long long micro = std::llround(std::fabs(arcseconds) * 1e6);
  const long long d = micro / 3600000000LL;
  const long long m = micro / 60000000LL % 60;
  const long long s = micro % 60000000LL;
  char text[80];
  std::snprintf(text, sizeof text, "%s%lld\xC2\xB0%02lld\xE2\x80\xB2%02lld.%06lld\xE2\x80\xB3",
                arcseconds < 0 && micro > 0 ? "-" : "", d, m, s / 1000000, s % 1000000);
  return text;
}

PlanePoint PointOf(const PlaneFit& fit, std::size_t i) {
  PlanePoint p;
  if (fit.horizontal_index[i] >= 0) {
    p.in_horizontal = true;
    p.horizontal = fit.horizontal.Point(static_cast<std::size_t>(fit.horizontal_index[i]));
  }
  if (fit.vertical_index[i] >= 0 && !fit.vertical.empty()) {
    p.in_vertical = true;
    p.vertical = fit.vertical.Point(static_cast<std::size_t>(fit.vertical_index[i]));
  }
  return p;
}

double PlaneHorizontal(const PlanePoint& p) {
  return p.in_horizontal ? p.horizontal.residual_length : std::nan("");
}

double PlaneVertical(const PlanePoint& p) {
  return p.in_vertical ? p.vertical.residual[0] : std::nan("");
}

bool HasHeights(const PlaneFit& fit) {
  return fit.surface.kind != HeightFit::kNone;
}

CheckSummary Checks(const adjust::PointFitResult& r) {
  CheckSummary c;
  double squares = 0;
  for (std::size_t i = 0; i < r.size(); ++i) {
    const adjust::PointFitPoint p = r.Point(i);
    if (!p.check)
      continue;
    ++c.count;
    squares += p.residual_length * p.residual_length;
    c.largest = std::max(c.largest, p.residual_length);
  }
  c.rms = c.count > 0 ? std::sqrt(squares / c.count) : 0;
  return c;
}

const char* SurfaceName(HeightFit kind) {
  switch (kind) {
    case HeightFit::kConstant:
      return NoTr("a constant (the weighted mean of H - h)");
    case HeightFit::kPlane:
      return NoTr("an inclined plane");
    case HeightFit::kQuadric:
      return NoTr("a quadric surface");
    default:
      break;
  }
  return NoTr("none");
}

}  // namespace zerb
