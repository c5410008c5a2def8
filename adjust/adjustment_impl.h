// The state of an adjustment between its calls, shared by the final fit's statistics
// (adjustment.cpp) and the data-snooping driver (snooping.cpp). Private to adjust/.
#ifndef ZERB_ADJUST_ADJUSTMENT_IMPL_H
#define ZERB_ADJUST_ADJUSTMENT_IMPL_H

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "adjust/adjust.h"
#include "adjust/linear_model.h"
#include "adjust/point_store.h"

namespace zerb::adjust {

struct FlagRecord {
  std::size_t index;
  std::size_t round;
  double statistic;  // of the test that flagged the point
  double critical;
};

// One pass over the points of a fit: Omega and the worst candidate for the outlier test.
struct RoundScan {
  double omega = 0;
  // The points with the largest criteria, as (criterion, index) in a min-heap.
  std::vector<std::pair<double, std::size_t>> candidates;
};

// Points whose test is followed between full passes (see Run).
inline constexpr std::size_t kCandidates = 4096;

struct Adjustment::Impl {
  PointStore store;
};

// One solve: its settings, the fits and flags of its rounds, and at the end the final fit and
// each point's flags, which FitResult keeps unchanged. The store's own flag byte is scratch for
// the rounds; point_flags is this solve's copy of it.
struct FitResult::State {
  explicit State(PointStore& points) : store(points) {}
  PointStore& store;
  std::vector<std::uint8_t> point_flags;
  Settings settings;
  Solution solution;
  Fit fit;
  Weighting weighting;
  std::vector<FlagRecord> flags;
  bool snooping_stopped = false;  // half of the points failed: the test was given up

  // The criterion by which the worst point is chosen, or a negative value for a point that is
  // not tested: untestable, or its 3D residual within the floor.
  double Criterion(const PointEvaluation& e) const {
    if (!e.testable || !(e.residual.norm() > settings.floor))
      return -1;
    return settings.max_residual > 0 ? e.gross_error.norm() : e.quadratic;
  }

  RoundScan Scan() const {
    RoundScan r;
    const auto greater = std::greater<std::pair<double, std::size_t>>();
    store.ForEach(kCheckPoint | kOutOfFit, [&](const Vec3& k, const Vec3& d, std::size_t i) {
      const PointEvaluation e = Evaluate(fit, weighting, k, d, true);
      r.omega += e.residual.dot(e.weight.weight * e.residual);
      const double c = Criterion(e);
      if (c < 0)
        return;
      if (r.candidates.size() < kCandidates) {
        r.candidates.emplace_back(c, i);
        std::push_heap(r.candidates.begin(), r.candidates.end(), greater);
      } else if (c > r.candidates.front().first) {
        std::pop_heap(r.candidates.begin(), r.candidates.end(), greater);
        r.candidates.back() = {c, i};
        std::push_heap(r.candidates.begin(), r.candidates.end(), greater);
      }
    });
    return r;
  }

  void Flag(std::size_t i, std::size_t round, bool leave_out, double statistic, double critical) {
    store.set_flags(i, store.flags(i) | kFlagged | (leave_out ? kOutOfFit : 0));
    flags.push_back({i, round, statistic, critical});
  }

  std::string Run();
  void Finish(const RoundScan& final_scan);
};

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_ADJUSTMENT_IMPL_H
