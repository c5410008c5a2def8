// The check points' residuals summed up, horizontally and in height, for every model: how many
// checks there are, the root mean square and the largest of their residuals. A check point
// stands outside the fit, so these are the honest measure of how well the fit carries to points
// it did not see; the window shows them in a panel of their own.
#ifndef ZERB_WRITERS_CHECK_RESIDUALS_H
#define ZERB_WRITERS_CHECK_RESIDUALS_H

#include <string>

#include "adjust/adjust.h"
#include "models/plane_model.h"
#include "points/point_set.h"
#include "writers/plane_points.h"

namespace zerb {

struct CheckResiduals {
  CheckSummary horizontal;  // lengths of (vN, vE), metres
  CheckSummary vertical;    // |vU|, or the height fit's |vH|, metres
};

// The checks summed up one point at a time, for a writer that walks the points anyway.
class CheckTally {
 public:
  // Takes the point into the summary when it is a check point.
  void Note(const adjust::PointResult& r);
  CheckResiduals Result() const;

 private:
  CheckResiduals sums_;  // the rms fields hold the sums of squares
};

// The checks of a three- or seven-parameter fit of points (the points withdrawn as repeats are
// in no fit and not counted).
CheckResiduals CheckResidualsOf(const PointSet& points, const adjust::FitResult& fit);
// The checks of the plane model: its horizontal fit's and its height fit's.
CheckResiduals CheckResidualsOf(const PlaneFit& fit);

// The summary of a three- or seven-parameter fit's checks in a sentence of the reports, in the
// user's language; empty when there are none.
std::string CheckResidualsText(const CheckResiduals& checks);

}  // namespace zerb

#endif  // ZERB_WRITERS_CHECK_RESIDUALS_H
