// Data snooping, the driver of the adjustment: repeated fits, each followed by one pass over the
// points that finds the worst one by Baarda's multidimensional test (adjust/point_test.h), or by
// the length of its estimated gross error against a limit in metres, which is left out before
// the next fit; the stop rules (no point fails, too few points left, half of them failed, the
// last two undecided); and keep_all, which flags but refits with every point.
//
// Points needed for the test: three for the three-parameter model (two for a limit in metres,
// where the last two can only be undecided), four for the seven-parameter model, where three
// points leave f = 2 and no point's residual cofactor can be inverted.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>

#include "adjust/adjustment_impl.h"
#include "adjust/point_test.h"
#include "text/translate.h"

namespace zerb::adjust {

std::string FitResult::State::Run() {
  const Settings& s = settings;
  const bool a_priori = s.sigma_horizontal > 0;
  weighting = a_priori ? Weighting{s.sigma_horizontal * s.sigma_horizontal,
                                   s.sigma_vertical * s.sigma_vertical}
                       : Weighting{};
  const int u = s.model == Model::kSevenParameter ? 7 : 3;
  const bool by_limit = s.max_residual > 0;

  // Reduction centre, spread length and reference shift from the points that may enter the fit.
  std::size_t n = 0;
  Eigen::Vector3d sum = Eigen::Vector3d::Zero();
  Eigen::Vector3d first = Eigen::Vector3d::Zero();
  Eigen::Vector3d shift0 = Eigen::Vector3d::Zero();
  double squares = 0;
  store.ForEach(kCheckPoint, [&](const Vec3& k, const Vec3& d, std::size_t) {
    const Eigen::Vector3d kk(k.x, k.y, k.z);
    if (n == 0) {
      first = kk;
      shift0 = Eigen::Vector3d(d.x, d.y, d.z);
    }
    sum += kk - first;
    squares += (kk - first).squaredNorm();
    ++n;
  });
  const std::size_t minimum_fit = u == 7 ? 3 : 1;
  if (n < minimum_fit) {
    // TRANSLATORS: {1} is the number of points there are (0, 1 or 2).
    return Fill(u == 7 ? TrN("the 7-parameter fit needs at least 3 points that are not check "
                             "points; there is {1}",
                             "the 7-parameter fit needs at least 3 points that are not check "
                             "points; there are {1}",
                             n)
                       : TrN("the 3-parameter fit needs at least 1 point that is not a check "
                             "point; there is {1}",
                             "the 3-parameter fit needs at least 1 point that is not a check "
                             "point; there are {1}",
                             n),
                n);
  }
  Reduction red;
  red.u = u;
  const Eigen::Vector3d mean = sum / static_cast<double>(n);
  red.centre = first + mean;
  red.length = std::max(1.0, std::sqrt(std::max(0.0, squares / n - mean.squaredNorm())));
  red.shift0 = shift0;

  const std::size_t minimum_test = u == 7 ? 4 : (by_limit ? 2 : 3);
  Solution& sol = solution;
  sol.tested = n >= minimum_test;
  sol.test_minimum = minimum_test;
  // Data snooping. A full pass over the points is a fit and a scan; between full passes the fit
  // is downdated point by point (a rank-3 update of Qxx, and Omega less the removed point's w,
  // both exact for leaving one point out), and the worst point is sought among the candidates of
  // the last scan, the kCandidates largest criteria, re-evaluated lazily; a set of no more points
  // than that has every point evaluated afresh in every round instead. A full pass follows
  // whenever points were removed, so the loop ends only after a scan of every point found none
  // failing. Over a million points, where alpha_point flags about a thousand good ones, this costs
  // a few passes instead of a thousand.
  std::size_t used = n;
  std::size_t round = 0;
  RoundScan scan;
  for (bool removed = true; removed;) {
    removed = false;
    const std::string error = FitPoints(store, kCheckPoint | kOutOfFit, weighting, red, &fit);
    if (!error.empty())
      return error;
    scan = Scan();
    if (!sol.tested)
      break;
    double omega = scan.omega;
    // Candidates as a max-heap on their criterion when last evaluated.
    std::vector<std::pair<double, std::size_t>>& heap = scan.candidates;
    std::make_heap(heap.begin(), heap.end());
    while (used >= minimum_test) {
      ++round;
      std::size_t worst = 0;
      double worst_c = -1;
      PointEvaluation worst_e;
      if (n <= kCandidates) {
        // Among few points, taking one out can unmask a blunder beside it whose criterion in the
        // last scan was small: the lazy search would take a lesser point first, and keep the
        // blunder.
        store.ForEach(kCheckPoint | kOutOfFit, [&](const Vec3& k, const Vec3& d, std::size_t i) {
          const PointEvaluation e = Evaluate(fit, weighting, k, d, true);
          const double c = Criterion(e);
          if (c > worst_c) {
            worst = i;
            worst_c = c;
            worst_e = e;
          }
        });
      }
      // Lazy search: re-evaluate the top candidate against the current fit; it is the worst when
      // its fresh criterion still leads every other candidate's last one, which a removal far
      // away changes only in the last digits, as it does where one point is one of thousands.
      while (n > kCandidates && !heap.empty()) {
        std::pop_heap(heap.begin(), heap.end());
        const std::size_t i = heap.back().second;
        heap.pop_back();
        if (store.flags(i) & kOutOfFit)
          continue;
        const PointEvaluation e = Evaluate(fit, weighting, store.local(i), store.shift(i), true);
        const double c = Criterion(e);
        if (c < 0)
          continue;
        if (heap.empty() || c >= heap.front().first) {
          worst = i;
          worst_c = c;
          worst_e = e;
          break;
        }
        heap.emplace_back(c, i);
        std::push_heap(heap.begin(), heap.end());
      }
      if (worst_c < 0)
        break;
      const TestedFit tested{s, a_priori, omega, 3.0 * used - u};
      const double statistic =
          PointTestStatistic(tested, true, worst_e.quadratic, worst_e.gross_error.norm());
      const double critical = PointTestCritical(tested, true);
      if (!(statistic > critical))
        break;
      // Data snooping looks for a few blunders among good points. When half of the points have
      // failed, the model or the a-priori accuracy does not describe these points at all, and
      // taking them out one by one would only walk through the whole set.
      if (2 * (n - used + 1) > n && !(by_limit && used == 2)) {
        snooping_stopped = true;
        break;
      }
      if (by_limit && used == 2) {
        // Each is the other's only other point: no telling which one is off.
        store.ForEach(kCheckPoint | kOutOfFit, [&](const Vec3&, const Vec3&, std::size_t i) {
          Flag(i, round, false, statistic, critical);
        });
        sol.undecided = true;
        break;
      }
      Flag(worst, round, true, statistic, critical);
      RemovePoint(store.local(worst), worst_e, &fit);
      omega -= worst_e.quadratic;
      --used;
      removed = true;
    }
    if (sol.undecided || snooping_stopped)
      break;
  }
  sol.rounds = round;
  if (s.keep_all && !flags.empty()) {
    for (std::size_t i = 0; i < store.size(); ++i)
      store.set_flags(i, store.flags(i) & ~kOutOfFit);
    const std::string error = FitPoints(store, kCheckPoint | kOutOfFit, weighting, red, &fit);
    if (!error.empty())
      return error;
    scan = Scan();
  }
  Finish(scan);
  return {};
}

}  // namespace zerb::adjust
