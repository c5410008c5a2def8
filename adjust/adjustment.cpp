// The adjustment's public face and its final statistics: the settings checked, data snooping run
// (snooping.cpp), then from the final fit the variance factor, the global test, the parameters'
// covariance and correlation, the critical values of the point test, the test of the extra
// parameters, the points' spread and the warnings of weak geometry; and each point's residual,
// redundancy, test and minimal detectable bias on demand.
//
// Choices, with their reasons:
// - Parameter covariance is scaled by the a-posteriori variance factor, JAG3D's default; with
//   a-priori accuracy the covariance with variance factor 1 is given as well.
// - The point test is that of point_test.h. Its critical value is the same for every point in the
//   fit and T grows with w, so the worst point is the one with the largest w among those whose 3D
//   residual exceeds the floor.
// - Minimal detectable bias along north, east and up: sqrt(lambda0 sigma^2 / (e' P Qvv P e)), with
//   lambda0 for 3 dimensions at alpha_point and the power, and sigma^2 = 1 with a-priori accuracy,
//   the a-posteriori variance factor without (there is no other scale for it then).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <utility>

#include "adjust/adjust.h"
#include "adjust/adjustment_impl.h"
#include "adjust/bursa_wolf.h"
#include "adjust/distributions.h"
#include "adjust/linear_model.h"
#include "adjust/local_frame.h"
#include "adjust/point_store.h"
#include "adjust/point_test.h"
#include "text/translate.h"

namespace zerb::adjust {
namespace {

bool Finite(double v) {
  return std::isfinite(v);
}

std::string CheckSettings(const Settings& s) {
  if (!(s.alpha_point > 0 && s.alpha_point < 1))
    return Tr("alpha_point must lie strictly between 0 and 1");
  if (!(s.alpha_global > 0 && s.alpha_global < 1))
    return Tr("alpha_global must lie strictly between 0 and 1");
  if (!(s.power > s.alpha_point && s.power < 1))
    return Tr("power must lie between alpha_point and 1");
  if (!(Finite(s.floor) && s.floor >= 0))
    return Tr("the floor must be a finite length of 0 m or more");
  if (!(Finite(s.max_residual) && s.max_residual >= 0))
    return Tr("max_residual must be a finite length of 0 m or more");
  if (!(Finite(s.sigma_horizontal) && Finite(s.sigma_vertical) && s.sigma_horizontal >= 0 &&
        s.sigma_vertical >= 0))
    return Tr("the a-priori standard deviations must be finite lengths of 0 m or more");
  if ((s.sigma_horizontal > 0) != (s.sigma_vertical > 0))
    return Tr("give both a-priori standard deviations, horizontal and vertical, or neither");
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

}  // namespace

void FitResult::State::Finish(const RoundScan& scan) {
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

Vec3 Adjustment::shift(std::size_t i) const {
  return impl_->store.shift(i);
}

void Adjustment::Withdraw(std::size_t i) {
  // A withdrawn point is skipped wherever a check point is, and counted as neither.
  impl_->store.set_flags(i, kCheckPoint | kWithdrawn);
}

std::string Adjustment::Solve(const Settings& settings, FitResult* result) {
  PointStore& store = impl_->store;
  for (std::size_t i = 0; i < store.size(); ++i)
    store.set_flags(i, store.flags(i) & (kCheckPoint | kWithdrawn));
  std::string error = CheckSettings(settings);
  if (!error.empty())
    return error;
  auto state = std::make_unique<FitResult::State>(store);
  state->settings = settings;
  error = state->Run();
  if (!error.empty())
    return error;
  state->point_flags.resize(store.size());
  for (std::size_t i = 0; i < store.size(); ++i)
    state->point_flags[i] = store.flags(i);
  result->state_ = std::move(state);
  return {};
}

FitResult::FitResult() = default;
FitResult::~FitResult() = default;
FitResult::FitResult(FitResult&&) noexcept = default;
FitResult& FitResult::operator=(FitResult&&) noexcept = default;

std::size_t FitResult::size() const {
  return state_->point_flags.size();
}

const Solution& FitResult::solution() const {
  return state_->solution;
}

Vec3 FitResult::Transform(const Vec3& local) const {
  const BursaWolf& p = state_->solution.parameters;
  if (state_->solution.parameter_count == 3)
    return {local.x + p.tx, local.y + p.ty, local.z + p.tz};
  return ApplyBursaWolf(p, local);
}

PointResult FitResult::Point(std::size_t i) const {
  const State& m = *state_;
  PointResult r;
  r.local = m.store.local(i);
  r.shift = m.store.shift(i);
  r.tag = m.store.tag(i);
  const std::uint8_t flags = m.point_flags[i];
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
