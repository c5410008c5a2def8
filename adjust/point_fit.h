// Least-squares fit of a few parameters to points that each give one or two observations, with
// the statistics adjust.h gives the datum shift, in their one- and two-dimensional form: variance
// factor, global test, parameter covariance and correlation, redundancy numbers, Baarda's test of
// each point with data snooping, minimal detectable bias, and check points tested against the fit
// of the others. The plane similarity between projected GNSS positions and the grid fits through
// it (two observations a point), and so does each surface of a height fit (one).
//
// The model is the caller's (PointModel): what a point at its position would observe under given
// parameters, and the derivatives. A model linear in its parameters is solved at once; another
// (a similarity with its scale held at 1) by Gauss-Newton from the caller's start, until a step
// changes the predictions by less than a nanometre.
//
// Units: positions and observations in metres; parameters in the model's own units. Errors: Solve
// returns why there is no fit, in the language of the messages; nothing throws for data it is
// given.
#ifndef ZERB_ADJUST_POINT_FIT_H
#define ZERB_ADJUST_POINT_FIT_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adjust/adjust.h"

namespace zerb::adjust {

class PointModel {
 public:
  virtual ~PointModel() = default;
  virtual int dimension() const = 0;   // observations of one point: 1 or 2
  virtual int parameters() const = 0;  // u, 1 to 6
  virtual bool linear() const { return true; }
  // The observations predicted at position (two coordinates, metres) for the parameters x, and
  // their derivatives by x: design is dimension rows of u, row by row.
  virtual void Evaluate(const double position[2], const double* x, double* predicted,
                        double* design) const = 0;
};

struct PointFitSolution {
  int dimension = 2;
  int parameter_count = 0;
  // The parameters, their covariance (scaled by the a-posteriori variance factor), the same with
  // variance factor 1 (with a-priori accuracy only), correlation (u by u, row by row) and standard
  // deviations.
  std::vector<double> parameters;
  std::vector<double> covariance;
  std::vector<double> covariance_a_priori;
  std::vector<double> correlation;
  std::vector<double> standard_deviation;

  std::size_t points = 0;          // all points added
  std::size_t points_used = 0;     // in the final fit
  std::size_t points_check = 0;    // never in any fit
  std::size_t points_flagged = 0;  // failed the outlier test in some round
  double dof = 0;                  // f = d n - u
  double omega = 0;                // v' P v
  double variance_factor = 0;      // Omega / f: m^2 without a-priori accuracy, else ideally 1
  double sigma0 = 0;
  bool a_priori = false;
  StatisticalTest global_test;  // chi-square, with a-priori accuracy only

  bool tested = false;            // the fit had test_minimum points or more
  std::size_t test_minimum = 0;   // points in the fit the outlier test needs
  bool undecided = false;         // the last two both failed a limit in metres: both flagged, kept
  bool snooping_stopped = false;  // half of the points failed: the test was given up there
  std::size_t rounds = 0;
  double point_critical = 0;          // for a point in the fit; 0 when none can be tested
  double point_critical_outside = 0;  // for a check point or one left out
  double lambda0 = 0;                 // Baarda's non-centrality for d dimensions
};

struct PointFitPoint {
  std::uint64_t tag = 0;
  bool check = false;
  bool flagged = false;
  bool used = false;
  std::size_t flag_round = 0;
  double flag_statistic = 0;  // the test that flagged the point, in its round
  double flag_critical = 0;
  double residual[2] = {};  // observed minus fitted, metres
  double residual_length = 0;
  double redundancy[2] = {};  // diagonal of Qvv P; 0 outside the fit
  double redundancy_sum = 0;
  bool tested = false;
  double test_statistic = 0;
  double critical = 0;
  double gross_error[2] = {};  // observed minus the fit of the others, metres
  double gross_error_length = 0;
  double mdb[2] = {};  // minimal detectable bias along each observation, metres
};

class PointFitResult;

class PointFit {
 public:
  // A point at position (metres) with its observations; check points are never in the fit.
  void Add(const double position[2], const double observation[2], std::uint64_t tag, bool check);
  std::size_t size() const { return points_.size(); }

  // Fits model to the points with data snooping, the settings' test rules and sigma, the a-priori
  // standard deviation of one observation (metres; 0: none, unit weights). start: the parameters
  // Gauss-Newton starts from (zeros when empty). Returns why no fit is possible, or an empty
  // string and the fit in *result; the result reads the points here and the model: neither may
  // change or go before it.
  std::string Solve(const PointModel& model, const Settings& settings, double sigma,
                    const std::vector<double>& start, PointFitResult* result) const;

  struct Stored {
    double position[2];
    double observation[2];
    std::uint64_t tag;
    bool check;
  };

 private:
  std::vector<Stored> points_;
};

class PointFitResult {
 public:
  PointFitResult();
  ~PointFitResult();
  PointFitResult(PointFitResult&&) noexcept;
  PointFitResult& operator=(PointFitResult&&) noexcept;

  bool empty() const { return !state_; }
  const PointFitSolution& solution() const;
  std::size_t size() const;
  // Point i, in the order added, against the final fit.
  PointFitPoint Point(std::size_t i) const;
  // The fitted model's observations at a position (metres).
  void Predict(const double position[2], double* predicted) const;

  struct State;

 private:
  friend class PointFit;
  std::unique_ptr<const State> state_;
};

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_POINT_FIT_H
