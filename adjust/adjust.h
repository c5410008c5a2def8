// Least-squares fit of the datum shift from a local Krassovsky 1940 datum K to WGS-84 W over many
// common points, with the statistics of geodetic adjustment: variance factor, global test,
// parameter covariance, redundancy numbers, Baarda's multidimensional outlier test with data
// snooping, minimal detectable bias, and the test of the seven-parameter model against the
// three-parameter one.
//
// Plain C++ with no toolkit; the linear algebra runs on Eigen inside the library and no Eigen type
// appears here. Errors: Solve returns an English message (empty on success); nothing throws for
// data or settings it is given.
//
// Units everywhere: positions and shifts in metres (Earth-centred Cartesian), rotations in
// arc-seconds, scale in parts per million. The observations are the shifts d = W - K with K taken
// as error-free.
#ifndef ZERB_ADJUST_ADJUST_H
#define ZERB_ADJUST_ADJUST_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zerb::adjust {

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

// Seven Bursa-Wolf parameters about the Earth's centre in the position-vector convention, exactly
// as PROJ applies a seven-value +towgs84 (its helmert step without +exact):
//   W = T + (1 + s 1e-6) R K,  R = [[1, -rz, ry], [rz, 1, -rx], [-ry, rx, 1]] (rotations in
//   radians).
struct BursaWolf {
  double tx = 0, ty = 0, tz = 0;  // metres
  double rx = 0, ry = 0, rz = 0;  // arc-seconds
  double s = 0;                   // ppm
};

// W from K (metres) with the parameters p, in PROJ's order of operations.
Vec3 ApplyBursaWolf(const BursaWolf& p, const Vec3& local);

enum class Model { kThreeParameter, kSevenParameter };

struct Settings {
  Model model = Model::kThreeParameter;
  // A-priori standard deviation of one coordinate of a shift, horizontal and vertical (metres).
  // Both 0: no a-priori accuracy; unit weights and the variance factor is estimated in m^2.
  double sigma_horizontal = 0;
  double sigma_vertical = 0;
  double alpha_point = 0.001;  // significance of each point's outlier test
  double alpha_global = 0.05;  // significance of the global test and of the extra-parameter test
  double power = 0.80;         // power of the point test for the minimal detectable bias
  double floor = 0.001;        // metres: a point whose 3D residual is below never gets flagged
  // Metres. Above 0 it replaces the statistical test: a point fails when the length of its
  // estimated gross error exceeds it.
  double max_residual = 0;
  bool keep_all = false;  // flags are reported, but every non-check point stays in the final fit
};

// Order of the parameter vector in the covariance and correlation matrices.
enum Parameter { kTx, kTy, kTz, kRx, kRy, kRz, kScale };
using Matrix7 = std::array<std::array<double, 7>, 7>;

struct StatisticalTest {
  bool run = false;       // false when there is too little redundancy for it
  double statistic = 0;   // test value
  double critical = 0;    // quantile it is compared with
  double dof1 = 0;        // degrees of freedom (numerator for F)
  double dof2 = 0;        // denominator for F; 0 for chi-square, infinity for F(d, inf)
  bool rejected = false;  // statistic > critical
};

// Below this principal spread of the points used (metres) rotations and scale are not
// determined: common points good to 1 cm over a 1 km lever arm fix a rotation only to about 2
// arc-seconds, more than the rotations between the datums themselves.
inline constexpr double kMinimumSpread = 1000;
// Second principal spread below this fraction of the first: the rotation about the points' line
// rests on a lever arm twenty times shorter than the others.
inline constexpr double kCollinear = 0.05;

// What weakens a fit, as a code and the numbers it needs; the writers say it in words.
struct Warning {
  enum class Code {
    kSnoopingStopped,  // half of the points failed the outlier test, which was stopped there
    kPointsClose,      // seven parameters: principal spread under kMinimumSpread
    kPointsCollinear,  // seven parameters: second spread under kCollinear of the first
  };
  Code code;
  double spread_first = 0;  // the points' first two principal spreads, metres
  double spread_second = 0;
};

struct Solution {
  Model model = Model::kThreeParameter;
  int parameter_count = 3;  // u: 3 or 7
  BursaWolf parameters;     // fitted, about the Earth's centre
  BursaWolf exported;       // rounded to 1e-4 m, 1e-6 arc-second and 1e-6 ppm (see bursa_wolf.cpp)
  // Standard deviations, covariance (units m, arc-second, ppm in Parameter order) and correlation
  // of the parameters. covariance is scaled by the a-posteriori variance factor; with a-priori
  // accuracy, covariance_a_priori is the same with the variance factor 1. For the three-parameter
  // model only the 3x3 translation block is filled.
  std::array<double, 7> standard_deviation{};
  Matrix7 covariance{};
  Matrix7 covariance_a_priori{};
  Matrix7 correlation{};

  std::size_t points = 0;          // all points added
  std::size_t points_used = 0;     // in the final fit
  std::size_t points_check = 0;    // marked check: never in any fit
  std::size_t points_flagged = 0;  // failed the outlier test in some round
  double dof = 0;                  // f = 3 n - u of the final fit
  double omega = 0;                // v' P v of the final fit (m^2 without a-priori accuracy)
  // A-posteriori variance factor Omega / f: in m^2 without a-priori accuracy (sigma0 is then a
  // standard deviation of one coordinate in metres), dimensionless with it (ideally 1).
  double variance_factor = 0;
  double sigma0 = 0;  // sqrt(variance_factor)
  bool a_priori = false;
  StatisticalTest global_test;  // chi-square: Omega against chi2(f); only with a-priori accuracy

  // Outlier detection. tested is false when there was too little redundancy for the rule chosen:
  // fewer points in the fit than test_minimum. undecided: the last two points both failed a limit
  // in metres; both are flagged and both kept.
  bool tested = false;
  std::size_t test_minimum = 0;  // points the outlier test needs in the fit
  bool undecided = false;
  std::size_t rounds = 0;  // rounds of the outlier test, one point out per failing round
  // Critical values of the point test against the final fit: for a point in it, and for one
  // outside it (a check point, or one left out), whose test has one more degree of freedom. 0
  // when such points cannot be tested.
  double point_critical = 0;
  double point_critical_outside = 0;
  double lambda0 = 0;  // Baarda's non-centrality for alpha_point, power, 3 dimensions

  // Seven-parameter model only: F (or chi-square with a-priori accuracy) test of the rotations and
  // scale against the three-parameter model on the same final points. justified: the extra
  // parameters reduce Omega significantly.
  StatisticalTest extra_parameters;
  bool extra_parameters_justified = false;

  Vec3 centroid;                   // mean local position of the points used, metres
  std::array<double, 3> spread{};  // principal standard spreads of those positions, metres
  std::vector<Warning> warnings;   // weak geometry and the like
};

struct PointResult {
  Vec3 local;  // K as stored (to a few centimetres of what was added), metres
  Vec3 shift;  // d as added, metres
  std::uint64_t tag = 0;
  bool check = false;    // never in the fit
  bool flagged = false;  // failed the outlier test (in round flag_round, 1-based)
  bool used = false;     // in the final fit
  std::size_t flag_round = 0;
  // The test that flagged the point, in its round: its statistic (an estimated gross error's
  // length in metres with a limit in metres) and the critical value it exceeded. The fit of that
  // round had other points in it, so these differ from the test against the final fit below.
  double flag_statistic = 0;
  double flag_critical = 0;
  // Residual: observed shift minus the shift of the final transformation at the point (metres),
  // Earth-centred and in local north, east, up, and its length.
  Vec3 residual;
  Vec3 residual_neu;
  double residual_length = 0;
  // Redundancy numbers: diagonal of Qvv P in north, east, up, and their sum (trace). Zero for
  // points outside the final fit.
  Vec3 redundancy_neu;
  double redundancy = 0;
  // Outlier test against the final fit (for points outside it: against the prediction of the fit
  // without them, which is the same test). tested false when the redundancy is too small.
  bool tested = false;
  double test_statistic = 0;
  double critical = 0;
  Vec3 gross_error;  // estimated gross error of the shift, metres (observed minus the others' fit)
  double gross_error_length = 0;
  Vec3 mdb_neu;  // minimal detectable bias along north, east and up, metres
};

class FitResult;

class Adjustment {
 public:
  Adjustment();
  ~Adjustment();
  Adjustment(const Adjustment&) = delete;
  Adjustment& operator=(const Adjustment&) = delete;
  Adjustment(Adjustment&&) noexcept;
  Adjustment& operator=(Adjustment&&) noexcept;

  // A common point: local position K and shift d = W - K (metres, Earth-centred), kept bit for
  // bit; tag is the caller's (e.g. the input line); check points are never in the fit.
  void Add(const Vec3& local, const Vec3& shift, std::uint64_t tag, bool check);
  std::size_t size() const;
  // The tag and the shift point i was added with.
  std::uint64_t tag(std::size_t i) const;
  Vec3 shift(std::size_t i) const;
  // Takes point i back for good (its name turned out to occur twice, say): it is never in a fit
  // and not counted, as if it had never been added; the indices of the others stay.
  void Withdraw(std::size_t i);

  // Fits the model with data snooping to the points added so far. Returns an empty string and
  // the fit in *result, or a sentence in the language of the messages saying why no fit is possible
  // (bad settings, too few points, rotations undetermined). Each call gives a fit of its own:
  // solving again, with these settings or others, leaves an earlier result as it was. A result
  // reads the points from here: it must not outlive the adjustment, nor be used after points are
  // added or withdrawn.
  std::string Solve(const Settings& settings, FitResult* result);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The result of one Solve, unchanged after it.
class FitResult {
 public:
  FitResult();
  ~FitResult();
  FitResult(const FitResult&) = delete;
  FitResult& operator=(const FitResult&) = delete;
  FitResult(FitResult&&) noexcept;
  FitResult& operator=(FitResult&&) noexcept;

  const Solution& solution() const;
  // The points of the adjustment when it was solved, in the order added.
  std::size_t size() const;
  // Point i against the final fit, computed on demand.
  PointResult Point(std::size_t i) const;
  // The final transformation applied to a local position (metres).
  Vec3 Transform(const Vec3& local) const;

  struct State;

 private:
  friend class Adjustment;
  std::unique_ptr<const State> state_;
};

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_ADJUST_H
