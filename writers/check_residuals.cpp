#include "writers/check_residuals.h"

#include <algorithm>
#include <cmath>

#include "writers/limit_tally.h"

namespace zerb {
namespace {

// Adds one residual length to a summary whose rms holds the sum of squares until Finish.
void Take(double length, CheckSummary* c) {
  ++c->count;
  c->rms += length * length;
  c->largest = std::max(c->largest, length);
}

void Finish(CheckSummary* c) {
  c->rms = c->count > 0 ? std::sqrt(c->rms / static_cast<double>(c->count)) : 0;
}

}  // namespace

CheckResiduals CheckResidualsOf(const PointSet& points, const adjust::FitResult& fit) {
  CheckResiduals c;
  for (std::size_t i = 0; i < fit.size(); ++i) {
    if (points.withdrawn(i))
      continue;
    const adjust::PointResult r = fit.Point(i);
    if (!r.check)
      continue;
    Take(HorizontalResidual(r), &c.horizontal);
    Take(std::fabs(r.residual_neu.z), &c.vertical);
  }
  Finish(&c.horizontal);
  Finish(&c.vertical);
  return c;
}

CheckResiduals CheckResidualsOf(const PlaneFit& fit) {
  return {Checks(fit.horizontal), HasHeights(fit) ? Checks(fit.vertical) : CheckSummary()};
}

}  // namespace zerb
