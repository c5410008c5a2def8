#include "writers/check_residuals.h"

#include <algorithm>
#include <cmath>

#include "text/translate.h"
#include "writers/limit_tally.h"
#include "writers/output.h"

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

void CheckTally::Note(const adjust::PointResult& r) {
  if (!r.check)
    return;
  Take(HorizontalResidual(r), &sums_.horizontal);
  Take(std::fabs(r.residual_neu.z), &sums_.vertical);
}

CheckResiduals CheckTally::Result() const {
  CheckResiduals c = sums_;
  Finish(&c.horizontal);
  Finish(&c.vertical);
  return c;
}

CheckResiduals CheckResidualsOf(const PointSet& points, const adjust::FitResult& fit) {
  CheckTally tally;
  for (std::size_t i = 0; i < fit.size(); ++i) {
    if (!points.withdrawn(i))
      tally.Note(fit.Point(i));
  }
  return tally.Result();
}

CheckResiduals CheckResidualsOf(const PlaneFit& fit) {
  return {Checks(fit.horizontal), HasHeights(fit) ? Checks(fit.vertical) : CheckSummary()};
}

std::string CheckResidualsText(const CheckResiduals& checks) {
  const CheckSummary& h = checks.horizontal;
  const CheckSummary& v = checks.vertical;
  if (h.count == 0)
    return {};
  // TRANSLATORS: {1} is a number of check points, {2} to {5} numbers of metres.
  return Fill(TrN("{1} check point against the fit: horizontal residual RMS {2} m, largest {3} m; "
                  "vertical RMS {4} m, largest {5} m",
                  "{1} check points against the fit: horizontal residual RMS {2} m, largest {3} m; "
                  "vertical RMS {4} m, largest {5} m",
                  h.count),
              static_cast<std::uint64_t>(h.count), Fixed(h.rms), Fixed(h.largest), Fixed(v.rms),
              Fixed(v.largest));
}

}  // namespace zerb
