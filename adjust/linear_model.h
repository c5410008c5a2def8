// Internal: the shift model, linear in its parameters, its normal equations over the stored
// points, and each point's residual and cofactors against a fit.
//
// Both models are written as d = t + m k + q x k with k = K - c, the position reduced to a centre c
// near the points' centroid. t is the shift at c; m = s 1e-6 and q = (1 + m) r. In these parameters
// the Bursa-Wolf formula PROJ applies, W = T + (1 + m) R K with the small-angle R, is exactly
// linear: (1 + m) R K = K + m K + q x K. So one solve fits it, with no iteration and no
// linearisation error, and r = q / (1 + m) is recovered at the end. The three-parameter model is
// the same with m = 0, q = 0. m and q are carried multiplied by a length L of the point spread, so
// all seven normal-equation columns have comparable size.
#ifndef ZERB_ADJUST_LINEAR_MODEL_H
#define ZERB_ADJUST_LINEAR_MODEL_H

#include <Eigen/Dense>
#include <cstdint>
#include <string>

#include "adjust/adjust.h"
#include "adjust/point_store.h"

namespace zerb::adjust {

using Vector7 = Eigen::Matrix<double, 7, 1>;
using Matrix7d = Eigen::Matrix<double, 7, 7>;
using Design = Eigen::Matrix<double, 3, 7>;

// Observation covariance of one shift with variance factor 1, in metres squared: var_h and var_v
// of one horizontal and the vertical coordinate. Unit weights are var_h = var_v = 1.
struct Weighting {
  double var_h = 1;
  double var_v = 1;
  bool isotropic() const { return var_h == var_v; }
};

struct PointWeight {
  Eigen::Matrix3d covariance;  // C
  Eigen::Matrix3d weight;      // P = C^-1
};
// C = var_h I + (var_v - var_h) u u' with u the ellipsoid normal at K: the rotation of
// diag(var_h, var_h, var_v) out of north, east, up.
PointWeight WeightAt(const Weighting& w, const Vec3& local);

struct Reduction {
  int u = 3;               // parameters: 3 or 7
  Eigen::Vector3d centre;  // c, metres
  double length = 1;       // L, metres
  Eigen::Vector3d shift0;  // a shift subtracted from every observation to keep sums small
};

// Design matrix of one point (first u columns used).
Design DesignAt(const Reduction& r, const Vec3& local);

struct Fit {
  Reduction reduction;
  Vector7 x = Vector7::Zero();           // t (less shift0), m L, q L; zero beyond u
  Matrix7d cofactor = Matrix7d::Zero();  // Qxx = N^-1; zero beyond u
  std::size_t count = 0;                 // points in the fit
  double omega_translation = 0;          // Omega of the translation-only fit on the same points
  Eigen::Vector3d mean;                  // unweighted mean of K - c over the points in the fit
  Eigen::Matrix3d scatter;               // unweighted covariance of K over those points, m^2
};

// Fits the model to the points whose flags have none of the bits in skip. Returns an empty
// string, or why the normal equations cannot be solved.
std::string FitPoints(const PointStore& store, std::uint8_t skip, const Weighting& w,
                      const Reduction& r, Fit* fit);

// Everything the tests need at one point.
struct PointEvaluation {
  Eigen::Vector3d residual;  // observed minus fitted shift, metres
  PointWeight weight;
  Eigen::Matrix3d qvv;   // cofactor of the residual: C - A Qxx A' in the fit, C + A Qxx A' out
  double quadratic = 0;  // v' Qvv^-1 v
  Eigen::Vector3d gross_error;  // estimated gross error, metres
  bool testable = false;        // Qvv regular enough to invert
};
PointEvaluation Evaluate(const Fit& fit, const Weighting& w, const Vec3& local, const Vec3& shift,
                         bool in_fit);

// Downdates fit for leaving out one point in it, at local with evaluation e (from Evaluate with
// in_fit): Qxx + G Qvv^-1 G' and x - G Qvv^-1 v with G = Qxx A', the exact leave-one-out fit.
// Only x, cofactor and count change; the sums of the points' positions stay those of the fit.
void RemovePoint(const Vec3& local, const PointEvaluation& e, Fit* fit);

// The parameters about the Earth's centre and their cofactor (units m, arc-second, ppm in the
// Parameter order) from a fit.
void ToBursaWolf(const Fit& fit, BursaWolf* p, Matrix7d* cofactor);

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_LINEAR_MODEL_H
