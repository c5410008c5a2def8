// The fit of a few parameters to points of one or two observations; see point_fit.h.
//
// Method: Gauss-Markov model with equal, uncorrelated weights (Niemeier, Ausgleichungsrechnung,
// ch. 4), the normal matrix equilibrated to unit diagonal and inverted through its
// eigen-decomposition, whose extreme eigenvalues refuse undetermined parameters. Data snooping as
// for the datum shift (snooping.cpp, point_test.h): each round refits the points left and takes
// out the one with the largest test value if it fails, so it costs a pass over the points per
// flagged point. Sites fit this way have tens to thousands of points; the datum shift's lazy
// search for millions is not needed here.
//
// Gross error of point i: C Qvv^-1 v in the fit, v itself outside it (there v is already the
// observation less the others' fit). Minimal detectable bias along observation k:
// sqrt(lambda0 sigma^2 / M_kk) with M = P Qvv P in the fit and Qvv^-1 outside, sigma^2 = 1 with
// a-priori accuracy and the variance factor without.
#include "adjust/point_fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <limits>

#include "adjust/distributions.h"
#include "adjust/point_test.h"
#include "text/translate.h"

namespace zerb::adjust {
namespace {

using MatrixX = Eigen::MatrixXd;
using VectorX = Eigen::VectorXd;

// As in linear_model.cpp: smallest eigenvalue over largest of the equilibrated normal matrix
// below which the parameters count as undetermined, and the smallest det(Qvv P) of a point whose
// residual cofactor is still inverted.
constexpr double kSingular = 1e-12;
constexpr double kTestable = 1e-9;
constexpr int kIterations = 30;

struct Solved {
  VectorX x;
  MatrixX cofactor;  // Qxx
  double omega = 0;
  std::size_t count = 0;
};

struct Evaluation {
  VectorX residual;
  MatrixX qvv;
  double quadratic = 0;
  VectorX gross_error;
  bool testable = false;
};

}  // namespace

struct PointFitResult::State {
  const std::vector<PointFit::Stored>* points = nullptr;
  const PointModel* model = nullptr;
  Settings settings;
  double variance = 1;            // of one observation with variance factor 1: sigma^2, or 1
  std::vector<std::uint8_t> out;  // 1: left out of the final fit
  std::vector<std::size_t> flag_round;
  std::vector<double> flag_statistic;
  std::vector<double> flag_critical;
  Solved fit;
  PointFitSolution solution;

  int d() const { return model->dimension(); }
  int u() const { return model->parameters(); }

  // The residual and design of point p at parameters x.
  void Linearize(const PointFit::Stored& p, const VectorX& x, VectorX* v, MatrixX* a) const {
    double predicted[2] = {};
    double design[12] = {};
    model->Evaluate(p.position, x.data(), predicted, design);
    v->resize(d());
    a->resize(d(), u());
    for (int r = 0; r < d(); ++r) {
      (*v)(r) = p.observation[r] - predicted[r];
      for (int c = 0; c < u(); ++c)
        (*a)(r, c) = design[r * u() + c];
    }
  }

  bool InFit(std::size_t i, const std::vector<std::uint8_t>& left_out) const {
    return !(*points)[i].check && !left_out[i];
  }

  // The normal matrix of the points in the fit at parameters x, and b = A' v when asked for.
  MatrixX Normal(const std::vector<std::uint8_t>& left_out, const VectorX& x, VectorX* b,
                 double* vv, std::size_t* count) const {
    MatrixX n = MatrixX::Zero(u(), u());
    if (b != nullptr)
      *b = VectorX::Zero(u());
    *vv = 0;
    *count = 0;
    VectorX v;
    MatrixX a;
    for (std::size_t i = 0; i < points->size(); ++i) {
      if (!InFit(i, left_out))
        continue;
      Linearize((*points)[i], x, &v, &a);
      n.noalias() += a.transpose() * a;
      if (b != nullptr)
        b->noalias() += a.transpose() * v;
      *vv += v.squaredNorm();
      ++*count;
    }
    return n;
  }

  // The fit of the points in it, from x0: Gauss-Newton until a step changes the predictions by
  // less than a nanometre (one step for a linear model).
  std::string Fit(const std::vector<std::uint8_t>& left_out, const VectorX& x0, Solved* s) const {
    VectorX x = x0;
    MatrixX q;
    VectorX b;
    double vv = 0;
    std::size_t count = 0;
    for (int it = 0; it < kIterations; ++it) {
      const MatrixX n = Normal(left_out, x, &b, &vv, &count);
      if (!Invert(n, &q))
        return Tr("the points do not determine the parameters: they coincide or lie on a line");
      const VectorX step = q * b;
      x += step;
      // |step| in the metric of N: the change of the predictions, summed over the points.
      if (model->linear() || step.dot(n * step) < 1e-18 * static_cast<double>(count))
        break;
    }
    const MatrixX n = Normal(left_out, x, nullptr, &vv, &count);
    if (!model->linear() && !Invert(n, &q))
      return Tr("the points do not determine the parameters: they coincide or lie on a line");
    // The sums had unit weights: Qxx and Omega take the a-priori variance here.
    s->x = x;
    s->cofactor = variance * q;
    s->omega = vv / variance;
    s->count = count;
    return {};
  }

  // (A'A)^-1 of the equilibrated normal matrix; false when its condition refuses it.
  static bool Invert(const MatrixX& n, MatrixX* q) {
    const VectorX scale = n.diagonal().cwiseSqrt().cwiseInverse();
    if (!scale.allFinite())
      return false;
    const MatrixX m = scale.asDiagonal() * n * scale.asDiagonal();
    const Eigen::SelfAdjointEigenSolver<MatrixX> eig(m);
    const VectorX lambda = eig.eigenvalues();
    if (!(lambda.minCoeff() > kSingular * lambda.maxCoeff()))
      return false;
    *q = scale.asDiagonal() * eig.eigenvectors() * lambda.cwiseInverse().asDiagonal() *
         eig.eigenvectors().transpose() * scale.asDiagonal();
    return true;
  }

  Evaluation Evaluate(std::size_t i, bool in_fit, const Solved& s) const {
    Evaluation e;
    MatrixX a;
    Linearize((*points)[i], s.x, &e.residual, &a);
    const MatrixX c = variance * MatrixX::Identity(d(), d());
    const MatrixX aqa = a * s.cofactor * a.transpose();
    e.qvv = in_fit ? MatrixX(c - aqa) : MatrixX(c + aqa);
    e.testable = !in_fit || e.qvv.determinant() / std::pow(variance, d()) > kTestable;
    if (!e.testable)
      return e;
    const VectorX y = e.qvv.ldlt().solve(e.residual);
    e.quadratic = e.residual.dot(y);
    e.gross_error = in_fit ? VectorX(c * y) : e.residual;
    return e;
  }

  double Criterion(const Evaluation& e) const {
    if (!e.testable || !(e.residual.norm() > settings.floor))
      return -1;
    return settings.max_residual > 0 ? e.gross_error.norm() : e.quadratic;
  }

  std::string Run(const std::vector<double>& start);
  void Finish();
};

void PointFit::Add(const double position[2], const double observation[2], std::uint64_t tag,
                   bool check) {
  points_.push_back({{position[0], position[1]}, {observation[0], observation[1]}, tag, check});
}

std::string PointFitResult::State::Run(const std::vector<double>& start) {
  const Settings& s = settings;
  const bool by_limit = s.max_residual > 0;
  const bool a_priori = s.sigma_horizontal > 0;
  std::size_t n = 0;
  for (const PointFit::Stored& p : *points)
    n += !p.check;
  // Points that determine the parameters, and those the test needs: one more, so that each has
  // others to be tested against, and a redundancy of at least 1 beside the point's own d.
  const std::size_t minimum_fit = static_cast<std::size_t>((u() + d() - 1) / d());
  const std::size_t minimum_test =
      by_limit ? minimum_fit + 1
               : std::max(minimum_fit + 1, static_cast<std::size_t>((u() + 2 * d()) / d()));
  if (n < minimum_fit) {
    // TRANSLATORS: {1} is the number of points the fit needs, {2} the number there are.
    return Fill(TrN("the fit needs at least {1} point that is not a check point; there is {2}",
                    "the fit needs at least {1} points that are not check points; there are {2}",
                    minimum_fit),
                minimum_fit, n);
  }
  PointFitSolution& sol = solution;
  sol.tested = n >= minimum_test;
  sol.test_minimum = minimum_test;
  out.assign(points->size(), 0);
  flag_round.assign(points->size(), 0);
  flag_statistic.assign(points->size(), 0);
  flag_critical.assign(points->size(), 0);
  VectorX x = VectorX::Zero(u());
  for (int k = 0; k < u() && k < static_cast<int>(start.size()); ++k)
    x(k) = start[k];

  std::size_t used = n;
  std::size_t round = 0;
  std::vector<std::size_t> flagged;
  while (true) {
    if (std::string e = Fit(out, x, &fit); !e.empty())
      return e;
    x = fit.x;
    if (!sol.tested || used < minimum_test)
      break;
    ++round;
    std::size_t worst = 0;
    double worst_c = -1;
    Evaluation worst_e;
    for (std::size_t i = 0; i < points->size(); ++i) {
      if (!InFit(i, out))
        continue;
      Evaluation e = Evaluate(i, true, fit);
      const double c = Criterion(e);
      if (c > worst_c) {
        worst = i;
        worst_c = c;
        worst_e = std::move(e);
      }
    }
    if (worst_c < 0)
      break;
    const TestedFit tested{s, a_priori, fit.omega, static_cast<double>(d()) * used - u(), d()};
    const double statistic =
        PointTestStatistic(tested, true, worst_e.quadratic, worst_e.gross_error.norm());
    const double critical = PointTestCritical(tested, true);
    if (!(statistic > critical))
      break;
    const bool last_two = by_limit && used == 2 && minimum_fit == 1;
    if (2 * (n - used + 1) > n && !last_two) {
      sol.snooping_stopped = true;
      break;
    }
    if (last_two) {
      // Each is the other's only other point: no telling which one is off.
      for (std::size_t i = 0; i < points->size(); ++i) {
        if (InFit(i, out)) {
          flag_round[i] = round;
          flag_statistic[i] = statistic;
          flag_critical[i] = critical;
          flagged.push_back(i);
        }
      }
      sol.undecided = true;
      break;
    }
    flag_round[worst] = round;
    flag_statistic[worst] = statistic;
    flag_critical[worst] = critical;
    flagged.push_back(worst);
    out[worst] = 1;
    --used;
  }
  sol.rounds = round;
  sol.points_flagged = flagged.size();
  if (s.keep_all && !flagged.empty()) {
    std::fill(out.begin(), out.end(), 0);
    if (std::string e = Fit(out, x, &fit); !e.empty())
      return e;
  }
  Finish();
  return {};
}

void PointFitResult::State::Finish() {
  PointFitSolution& sol = solution;
  const int n_par = u();
  sol.dimension = d();
  sol.parameter_count = n_par;
  sol.a_priori = settings.sigma_horizontal > 0;
  sol.points = points->size();
  sol.points_check = 0;
  for (const PointFit::Stored& p : *points)
    sol.points_check += p.check;
  sol.points_used = fit.count;
  const double f = static_cast<double>(d()) * fit.count - n_par;
  sol.dof = f;
  sol.omega = fit.omega;
  sol.variance_factor = f > 0 ? fit.omega / f : 0;
  sol.sigma0 = std::sqrt(sol.variance_factor);
  if (sol.a_priori && f > 0) {
    StatisticalTest& g = sol.global_test;
    g.run = true;
    g.statistic = fit.omega;
    g.critical = ChiSquareUpper(settings.alpha_global, f);
    g.dof1 = f;
    g.rejected = g.statistic > g.critical;
  }
  sol.parameters.assign(fit.x.data(), fit.x.data() + n_par);
  sol.covariance.assign(n_par * n_par, 0);
  sol.covariance_a_priori.assign(n_par * n_par, 0);
  sol.correlation.assign(n_par * n_par, 0);
  sol.standard_deviation.assign(n_par, 0);
  // Without a-priori accuracy the sums had unit weights: Qxx is in the observations' units, and
  // the variance factor scales it, as with a-priori accuracy.
  for (int r = 0; r < n_par; ++r) {
    for (int c = 0; c < n_par; ++c) {
      const double q = fit.cofactor(r, c);
      sol.covariance[r * n_par + c] = sol.variance_factor * q;
      sol.covariance_a_priori[r * n_par + c] = sol.a_priori ? q : 0;
      const double dd = std::sqrt(fit.cofactor(r, r) * fit.cofactor(c, c));
      sol.correlation[r * n_par + c] = dd > 0 ? q / dd : 0;
    }
    sol.standard_deviation[r] = std::sqrt(sol.covariance[r * n_par + r]);
  }
  sol.lambda0 = NonCentrality(settings.alpha_point, settings.power, d());
  const TestedFit tested{settings, sol.a_priori, sol.omega, f, d()};
  sol.point_critical = PointTestCritical(tested, true);
  sol.point_critical_outside = PointTestCritical(tested, false);
}

std::string PointFit::Solve(const PointModel& model, const Settings& settings, double sigma,
                            const std::vector<double>& start, PointFitResult* result) const {
  if (!(std::isfinite(sigma) && sigma >= 0))
    return Tr("the a-priori standard deviations must be finite lengths of 0 m or more");
  auto state = std::make_unique<PointFitResult::State>();
  state->points = &points_;
  state->model = &model;
  state->settings = settings;
  // The a-priori accuracy is sigma alone here; the datum shift's two values do not apply.
  state->settings.sigma_horizontal = sigma;
  state->settings.sigma_vertical = sigma;
  state->variance = sigma > 0 ? sigma * sigma : 1;
  if (std::string e = state->Run(start); !e.empty())
    return e;
  result->state_ = std::move(state);
  return {};
}

PointFitResult::PointFitResult() = default;
PointFitResult::~PointFitResult() = default;
PointFitResult::PointFitResult(PointFitResult&&) noexcept = default;
PointFitResult& PointFitResult::operator=(PointFitResult&&) noexcept = default;

const PointFitSolution& PointFitResult::solution() const {
  return state_->solution;
}

std::size_t PointFitResult::size() const {
  return state_->points->size();
}

void PointFitResult::Predict(const double position[2], double* predicted) const {
  double design[12];
  state_->model->Evaluate(position, state_->fit.x.data(), predicted, design);
}

PointFitPoint PointFitResult::Point(std::size_t i) const {
  const State& m = *state_;
  const PointFit::Stored& p = (*m.points)[i];
  const PointFitSolution& sol = m.solution;
  PointFitPoint r;
  r.tag = p.tag;
  r.check = p.check;
  r.used = m.InFit(i, m.out);
  r.flag_round = m.flag_round[i];
  r.flagged = r.flag_round > 0;
  r.flag_statistic = m.flag_statistic[i];
  r.flag_critical = m.flag_critical[i];
  const Evaluation e = m.Evaluate(i, r.used, m.fit);
  const int d = m.d();
  for (int k = 0; k < d; ++k)
    r.residual[k] = e.residual(k);
  r.residual_length = e.residual.norm();
  if (r.used) {
    const MatrixX red = e.qvv / m.variance;
    for (int k = 0; k < d; ++k)
      r.redundancy[k] = red(k, k);
    r.redundancy_sum = red.trace();
  }
  r.critical = r.used ? sol.point_critical : sol.point_critical_outside;
  r.tested = sol.tested && e.testable && r.critical > 0;
  if (!r.tested) {
    r.critical = 0;
    return r;
  }
  for (int k = 0; k < d; ++k)
    r.gross_error[k] = e.gross_error(k);
  r.gross_error_length = e.gross_error.norm();
  const TestedFit tested{m.settings, sol.a_priori, sol.omega, sol.dof, d};
  r.test_statistic = PointTestStatistic(tested, r.used, e.quadratic, r.gross_error_length);
  const MatrixX mm = r.used ? MatrixX(e.qvv / (m.variance * m.variance)) : MatrixX(e.qvv.inverse());
  const double var = sol.a_priori ? 1.0 : sol.variance_factor;
  for (int k = 0; k < d; ++k) {
    const double sens = mm(k, k);
    r.mdb[k] =
        sens > 0 ? std::sqrt(sol.lambda0 * var / sens) : std::numeric_limits<double>::infinity();
  }
  return r;
}

}  // namespace zerb::adjust
