// The adjustment with data snooping: repeated fits, each followed by one pass over the points
// that finds the worst one by Baarda's multidimensional test (or by the length of its estimated
// gross error against a limit in metres), which is left out before the next fit; then the
// statistics of the final fit.
//
// Choices, with their reasons:
// - Parameter covariance is scaled by the a-posteriori variance factor, JAG3D's default; with
//   a-priori accuracy the covariance with variance factor 1 is given as well.
// - Point test (Teunissen, Testing Theory; JAG3D's Tprio and Tpost): w = v' Qvv^-1 v. With a-priori
//   accuracy T = w / 3 against F(3, inf); without it externally studentised,
//   T = w / (3 s^2) with s^2 = (Omega - w) / (f - 3), against F(3, f - 3). The critical value is
//   the same for every point in the fit and T grows with w, so the worst point is the one with the
//   largest w among those whose 3D residual exceeds the floor.
// - Minimal detectable bias along north, east and up: sqrt(lambda0 sigma^2 / (e' P Qvv P e)), with
//   lambda0 for 3 dimensions at alpha_point and the power, and sigma^2 = 1 with a-priori accuracy,
//   the a-posteriori variance factor without (there is no other scale for it then).
// - Points needed for the test: three for the three-parameter model (two for a limit in metres,
//   where the last two can only be undecided), four for the seven-parameter model, where three
//   points leave f = 2 and no point's residual cofactor can be inverted.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <utility>

#include "adjust/adjust.h"
#include "adjust/bursa_wolf.h"
#include "adjust/distributions.h"
#include "adjust/linear_model.h"
#include "adjust/local_frame.h"
#include "adjust/point_store.h"
#include "adjust/point_test.h"

namespace zerb::adjust {
namespace {

bool Finite(double v) {
  return std::isfinite(v);
}

std::string CheckSettings(const Settings& s) {
  if (!(s.alpha_point > 0 && s.alpha_point < 1))
    return "alpha_point must lie strictly between 0 and 1";
  if (!(s.alpha_global > 0 && s.alpha_global < 1))
    return "alpha_global must lie strictly between 0 and 1";
  if (!(s.power > s.alpha_point && s.power < 1))
    return "power must lie between alpha_point and 1";
  if (!(Finite(s.floor) && s.floor >= 0))
    return "the floor must be a finite length of 0 m or more";
  if (!(Finite(s.max_residual) && s.max_residual >= 0))
    return "max_residual must be a finite length of 0 m or more";
  if (!(Finite(s.sigma_horizontal) && Finite(s.sigma_vertical) && s.sigma_horizontal >= 0 &&
        s.sigma_vertical >= 0))
    return "the a-priori standard deviations must be finite lengths of 0 m or more";
  if ((s.sigma_horizontal > 0) != (s.sigma_vertical > 0))
    return "give both a-priori standard deviations, horizontal and vertical, or neither";
  return {};
}

Vec3 ToVec(const Eigen::Vector3d& v) {
  return {v.x(), v.y(), v.z()};
}

Vec3 InFrame(const LocalFrame& f, const Eigen::Vector3d& v) {
  const Eigen::Vector3d n(f.north.x, f.north.y, f.north.z);
  const Eigen::Vector3d e(f.east.x, f.east.y, f.east.z);
  const Eigen::Vector3d u(f.up.x, f.up.y, f.up.z);
  return {n.dot(v), e.dot(v), u.dot(v)};
}

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
constexpr std::size_t kCandidates = 4096;

}  // namespace

struct Adjustment::Impl {
  PointStore store;
  Settings settings;
  Solution solution;
  Fit fit;
  Weighting weighting;
  bool solved = false;
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

std::string Adjustment::Impl::Run() {
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
    return "the " + std::to_string(u) + "-parameter fit needs at least " +
           std::to_string(minimum_fit) + (minimum_fit == 1 ? " point" : " points") +
           " that are not check points; there " + (n == 1 ? "is " : "are ") + std::to_string(n);
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

void Adjustment::Impl::Finish(const RoundScan& scan) {
  const Settings& s = settings;
  Solution& sol = solution;
  const int u = fit.reduction.u;
  const bool a_priori = s.sigma_horizontal > 0;
  sol.model = s.model;
  sol.parameter_count = u;
  sol.a_priori = a_priori;
  sol.points = 0;
  sol.points_used = fit.count;
  sol.points_flagged = 0;
  sol.points_check = 0;
  for (std::size_t i = 0; i < store.size(); ++i) {
    if (store.flags(i) & kWithdrawn)
      continue;
    ++sol.points;
    sol.points_check += (store.flags(i) & kCheckPoint) != 0;
    sol.points_flagged += (store.flags(i) & kFlagged) != 0;
  }
  const double f = 3.0 * fit.count - u;
  sol.dof = f;
  sol.omega = scan.omega;
  sol.variance_factor = f > 0 ? scan.omega / f : 0;
  sol.sigma0 = std::sqrt(sol.variance_factor);
  const double inf = std::numeric_limits<double>::infinity();
  if (a_priori && f > 0) {
    StatisticalTest& g = sol.global_test;
    g.run = true;
    g.statistic = scan.omega;
    g.critical = ChiSquareUpper(s.alpha_global, f);
    g.dof1 = f;
    g.rejected = g.statistic > g.critical;
  }

  Matrix7d cofactor;
  ToBursaWolf(fit, &sol.parameters, &cofactor);
  for (int i = 0; i < 7; ++i) {
    for (int j = 0; j < 7; ++j) {
      sol.covariance[i][j] = sol.variance_factor * cofactor(i, j);
      sol.covariance_a_priori[i][j] = a_priori ? cofactor(i, j) : 0;
      const double d = std::sqrt(cofactor(i, i) * cofactor(j, j));
      sol.correlation[i][j] = d > 0 ? cofactor(i, j) / d : 0;
    }
    sol.standard_deviation[i] = std::sqrt(sol.covariance[i][i]);
  }

  // Critical values of the point test, once for all points.
  sol.lambda0 = NonCentrality(s.alpha_point, s.power, 3);
  const TestedFit tested{s, a_priori, sol.omega, f};
  sol.point_critical = PointTestCritical(tested, true);
  sol.point_critical_outside = PointTestCritical(tested, false);

  if (u == 7 && f >= 1) {
    StatisticalTest& x = sol.extra_parameters;
    x.run = true;
    const double gain = std::max(0.0, fit.omega_translation - scan.omega);
    x.dof1 = 4;
    if (a_priori) {
      x.statistic = gain;
      x.critical = ChiSquareUpper(s.alpha_global, 4);
    } else {
      x.statistic = scan.omega > 0 ? (gain / 4) / (scan.omega / f) : (gain > 0 ? inf : 0);
      x.critical = FUpper(s.alpha_global, 4, f);
      x.dof2 = f;
    }
    x.rejected = x.statistic > x.critical;
    sol.extra_parameters_justified = x.rejected;
  }

  sol.centroid = ToVec(fit.reduction.centre + fit.mean);
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> eig(fit.scatter);
  for (int i = 0; i < 3; ++i)
    sol.spread[i] = std::sqrt(std::max(0.0, eig.eigenvalues()(2 - i)));
  if (snooping_stopped)
    sol.warnings.push_back({Warning::Code::kSnoopingStopped, sol.spread[0], sol.spread[1]});
  if (u == 7) {
    if (sol.spread[0] < kMinimumSpread)
      sol.warnings.push_back({Warning::Code::kPointsClose, sol.spread[0], sol.spread[1]});
    else if (sol.spread[1] < kCollinear * sol.spread[0])
      sol.warnings.push_back({Warning::Code::kPointsCollinear, sol.spread[0], sol.spread[1]});
  }
  sol.exported = RoundForExport(sol.parameters, sol.centroid);
  std::sort(flags.begin(), flags.end(),
            [](const FlagRecord& a, const FlagRecord& b) { return a.index < b.index; });
}

Adjustment::Adjustment() : impl_(std::make_unique<Impl>()) {}
Adjustment::~Adjustment() = default;
Adjustment::Adjustment(Adjustment&&) noexcept = default;
Adjustment& Adjustment::operator=(Adjustment&&) noexcept = default;

void Adjustment::Add(const Vec3& local, const Vec3& shift, std::uint64_t tag, bool check) {
  impl_->store.Add(local, shift, tag, check ? kCheckPoint : 0);
}

std::size_t Adjustment::size() const {
  return impl_->store.size();
}

std::uint64_t Adjustment::tag(std::size_t i) const {
  return impl_->store.tag(i);
}

void Adjustment::Withdraw(std::size_t i) {
  // A withdrawn point is skipped wherever a check point is, and counted as neither.
  impl_->store.set_flags(i, kCheckPoint | kWithdrawn);
}

std::string Adjustment::Solve(const Settings& settings) {
  Impl& m = *impl_;
  m.solved = false;
  m.solution = Solution{};
  m.flags.clear();
  m.snooping_stopped = false;
  for (std::size_t i = 0; i < m.store.size(); ++i)
    m.store.set_flags(i, m.store.flags(i) & (kCheckPoint | kWithdrawn));
  std::string error = CheckSettings(settings);
  if (!error.empty())
    return error;
  m.settings = settings;
  error = m.Run();
  m.solved = error.empty();
  return error;
}

const Solution& Adjustment::solution() const {
  return impl_->solution;
}

Vec3 Adjustment::Transform(const Vec3& local) const {
  const BursaWolf& p = impl_->solution.parameters;
  if (impl_->solution.parameter_count == 3)
    return {local.x + p.tx, local.y + p.ty, local.z + p.tz};
  return ApplyBursaWolf(p, local);
}

PointResult Adjustment::Point(std::size_t i) const {
  const Impl& m = *impl_;
  PointResult r;
  r.local = m.store.local(i);
  r.shift = m.store.shift(i);
  r.tag = m.store.tag(i);
  const std::uint8_t flags = m.store.flags(i);
  r.check = (flags & kCheckPoint) != 0;
  r.flagged = (flags & kFlagged) != 0;
  r.used = (flags & (kCheckPoint | kOutOfFit)) == 0;
  if (r.flagged) {
    const auto it =
        std::lower_bound(m.flags.begin(), m.flags.end(), i,
                         [](const FlagRecord& f, std::size_t j) { return f.index < j; });
    r.flag_round = it->round;
    r.flag_statistic = it->statistic;
    r.flag_critical = it->critical;
  }
  if (!m.solved)
    return r;
  const Solution& sol = m.solution;
  const PointEvaluation e = Evaluate(m.fit, m.weighting, r.local, r.shift, r.used);
  const LocalFrame frame = LocalFrameAt(r.local);
  r.residual = ToVec(e.residual);
  r.residual_neu = InFrame(frame, e.residual);
  r.residual_length = e.residual.norm();
  Eigen::Matrix3d rot;
  rot << frame.north.x, frame.north.y, frame.north.z, frame.east.x, frame.east.y, frame.east.z,
      frame.up.x, frame.up.y, frame.up.z;
  if (r.used) {
    const Eigen::Matrix3d red = rot * (e.qvv * e.weight.weight) * rot.transpose();
    r.redundancy_neu = {red(0, 0), red(1, 1), red(2, 2)};
    r.redundancy = red.trace();
  }
  r.critical = r.used ? sol.point_critical : sol.point_critical_outside;
  r.tested = sol.tested && e.testable && r.critical > 0;
  if (!r.tested) {
    r.critical = 0;
    return r;
  }
  r.gross_error = ToVec(e.gross_error);
  r.gross_error_length = e.gross_error.norm();
  const TestedFit tested{m.settings, sol.a_priori, sol.omega, sol.dof};
  r.test_statistic = PointTestStatistic(tested, r.used, e.quadratic, r.gross_error_length);
  const double inf = std::numeric_limits<double>::infinity();
  // Bias detectable along each local axis: its non-centrality e' M e |b|^2 / sigma^2 = lambda0.
  const Eigen::Matrix3d mm = r.used ? Eigen::Matrix3d(e.weight.weight * e.qvv * e.weight.weight)
                                    : Eigen::Matrix3d(e.qvv.inverse());
  const double var = sol.a_priori ? 1.0 : sol.variance_factor;
  double mdb[3];
  for (int k = 0; k < 3; ++k) {
    const Eigen::Vector3d axis = rot.row(k).transpose();
    const double sens = axis.dot(mm * axis);
    mdb[k] = sens > 0 ? std::sqrt(sol.lambda0 * var / sens) : inf;
  }
  r.mdb_neu = {mdb[0], mdb[1], mdb[2]};
  return r;
}

}  // namespace zerb::adjust
