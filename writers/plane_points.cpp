// What every form of the plane report takes from the fit; see plane_points.h.
#include "writers/plane_points.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/translate.h"
#include "writers/report.h"

namespace zerb {

std::string Dms(double arcseconds) {
  const double a = std::fabs(arcseconds);
  const auto d = static_cast<long>(a / 3600);
  const auto m = static_cast<long>((a - d * 3600.0) / 60);
  const double s = a - d * 3600.0 - m * 60.0;
  char text[64];
  std::snprintf(text, sizeof text, "%s%ld\xC2\xB0%02ld\xE2\x80\xB2%s\xE2\x80\xB3",
                arcseconds < 0 ? "-" : "", d, m, Number(s < 10 ? "0%.6f" : "%.6f", s).c_str());
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
