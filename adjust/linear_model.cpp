// Normal equations of the shift model over the stored points, their solution, and each point's
// residual, residual cofactor and estimated gross error (see linear_model.h for the model).
//
// Method: Gauss-Markov model with block-diagonal weights (Niemeier, Ausgleichungsrechnung, ch. 4;
// Koch, Parameter Estimation and Hypothesis Testing in Linear Models). The normal matrix is
// equilibrated to unit diagonal and inverted through its eigen-decomposition, whose extreme
// eigenvalues also give the condition number that refuses undetermined rotations. Gross error of
// point i (Baarda; Teunissen, Testing Theory, the multidimensional case):
// grad_i = C_i Qvv_ii^-1 v_i, i.e. the observed shift minus the fit of the other points.
// Accuracy: the reduction to a centre keeps the condition number of the equilibrated matrix
// below about 1e3 for areas of 10 to 1000 km, so the solution keeps some 13 significant digits;
// sums run over shifts less a reference shift (metres, not hundreds of metres).
#include "adjust/linear_model.h"

#include <cmath>
#include <cstring>

#include "adjust/bursa_wolf.h"
#include "adjust/local_frame.h"
#include "text/translate.h"

namespace zerb::adjust {
namespace {

Eigen::Vector3d ToEigen(const Vec3& v) {
  return {v.x, v.y, v.z};
}

// Smallest eigenvalue over largest of the equilibrated normal matrix below which the rotations
// and scale are taken as undetermined: it would cost more than 12 of the 16 digits of a double.
constexpr double kSingular = 1e-12;

// Smallest product of a point's three redundancy numbers (det of Qvv P) for which its residual
// cofactor is still inverted: below it the point is controlled by the others in some direction.
constexpr double kTestable = 1e-9;

template <int U>
Eigen::Matrix<double, 3, U> Rows(const Reduction& r, const Eigen::Vector3d& k) {
  Eigen::Matrix<double, 3, U> a = Eigen::Matrix<double, 3, U>::Zero();
  a(0, 0) = 1;
  a(1, 1) = 1;
  a(2, 2) = 1;
  if constexpr (U == 7) {
    const Eigen::Vector3d s = (k - r.centre) / r.length;
    a.col(3) = s;
    // q x s as a matrix acting on q.
    a(0, 5) = s.z();
    a(0, 6) = -s.y();
    a(1, 4) = -s.z();
    a(1, 6) = s.x();
    a(2, 4) = s.y();
    a(2, 5) = -s.x();
  }
  return a;
}

template <int U>
std::string FitTemplate(const PointStore& store, std::uint8_t skip, const Weighting& w,
                        const Reduction& r, Fit* fit) {
  using MatU = Eigen::Matrix<double, U, U>;
  using VecU = Eigen::Matrix<double, U, 1>;
  MatU n = MatU::Zero();
  VecU b = VecU::Zero();
  double lpl = 0;
  std::size_t count = 0;
  Eigen::Vector3d sum = Eigen::Vector3d::Zero();
  Eigen::Matrix3d squares = Eigen::Matrix3d::Zero();
  const bool isotropic = w.isotropic();
  const double unit = 1.0 / w.var_h;
  store.ForEach(skip, [&](const Vec3& local, const Vec3& shift, std::size_t) {
    const Eigen::Vector3d k = ToEigen(local);
    const Eigen::Vector3d l = ToEigen(shift) - r.shift0;
    const Eigen::Matrix<double, 3, U> a = Rows<U>(r, k);
    if (isotropic) {
      n.noalias() += unit * (a.transpose() * a);
      b.noalias() += unit * (a.transpose() * l);
      lpl += unit * l.squaredNorm();
    } else {
      const Eigen::Matrix3d p = WeightAt(w, local).weight;
      const Eigen::Matrix<double, 3, U> pa = p * a;
      n.noalias() += a.transpose() * pa;
      b.noalias() += pa.transpose() * l;
      lpl += l.dot(p * l);
    }
    const Eigen::Vector3d kc = k - r.centre;
    sum += kc;
    squares.noalias() += kc * kc.transpose();
    ++count;
  });

  fit->reduction = r;
  fit->count = count;
  fit->mean = sum / static_cast<double>(count);
  fit->scatter = squares / static_cast<double>(count) - fit->mean * fit->mean.transpose();

  const VecU scale = n.diagonal().cwiseSqrt().cwiseInverse();
  const MatU m = scale.asDiagonal() * n * scale.asDiagonal();
  const Eigen::SelfAdjointEigenSolver<MatU> eig(m);
  const VecU lambda = eig.eigenvalues();
  if (!(lambda.minCoeff() > kSingular * lambda.maxCoeff()))
    return Tr("the rotations and scale cannot be determined: the points are collinear or coincide");
  const MatU minv =
      eig.eigenvectors() * lambda.cwiseInverse().asDiagonal() * eig.eigenvectors().transpose();
  const MatU q = scale.asDiagonal() * minv * scale.asDiagonal();
  fit->cofactor.setZero();
  fit->x.setZero();
  fit->cofactor.template topLeftCorner<U, U>() = q;
  fit->x.template head<U>() = q * b;

  const Eigen::Matrix3d n3 = n.template topLeftCorner<3, 3>();
  const Eigen::Vector3d b3 = b.template head<3>();
  fit->omega_translation = lpl - b3.dot(n3.ldlt().solve(b3));
  return {};
}

template <int U>
PointEvaluation EvaluateTemplate(const Fit& fit, const Weighting& w, const Vec3& local,
                                 const Vec3& shift, bool in_fit) {
  PointEvaluation e;
  const Eigen::Matrix<double, 3, U> a = Rows<U>(fit.reduction, ToEigen(local));
  const Eigen::Matrix<double, U, U> q = fit.cofactor.template topLeftCorner<U, U>();
  e.residual = ToEigen(shift) - fit.reduction.shift0 - a * fit.x.template head<U>();
  e.weight = WeightAt(w, local);
  const Eigen::Matrix3d aqa = a * q * a.transpose();
  e.qvv = in_fit ? Eigen::Matrix3d(e.weight.covariance - aqa)
                 : Eigen::Matrix3d(e.weight.covariance + aqa);
  // det(Qvv P) is the product of the point's redundancy numbers along its principal directions.
  const double det = e.qvv.determinant() * e.weight.weight.determinant();
  e.testable = !in_fit || det > kTestable;
  if (!e.testable)
    return e;
  // In the three-parameter fit with equal weights in every direction Qvv is one and the same
  // matrix for every point of the fit, so its factorization is kept: the same matrix gives the
  // same factors, bit for bit, and a 3x3 LDLT per point was a tenth of writing a report. (With
  // seven parameters Qvv depends on the point's position and the kept one just misses.)
  thread_local bool factored = false;
  thread_local Eigen::Matrix3d factored_qvv;
  thread_local Eigen::LDLT<Eigen::Matrix3d> factors;
  if (!factored || std::memcmp(factored_qvv.data(), e.qvv.data(), sizeof(double) * 9) != 0) {
    factors.compute(e.qvv);
    factored_qvv = e.qvv;
    factored = true;
  }
  const Eigen::Vector3d y = factors.solve(e.residual);
  e.quadratic = e.residual.dot(y);
  e.gross_error = in_fit ? Eigen::Vector3d(e.weight.covariance * y) : e.residual;
  return e;
}

}  // namespace

PointWeight WeightAt(const Weighting& w, const Vec3& local) {
  PointWeight p;
  if (w.isotropic()) {
    p.covariance = w.var_h * Eigen::Matrix3d::Identity();
    p.weight = (1.0 / w.var_h) * Eigen::Matrix3d::Identity();
    return p;
  }
  const Eigen::Vector3d u = ToEigen(LocalFrameAt(local).up);
  const Eigen::Matrix3d uu = u * u.transpose();
  p.covariance = w.var_h * Eigen::Matrix3d::Identity() + (w.var_v - w.var_h) * uu;
  p.weight = (1.0 / w.var_h) * Eigen::Matrix3d::Identity() + (1.0 / w.var_v - 1.0 / w.var_h) * uu;
  return p;
}

Design DesignAt(const Reduction& r, const Vec3& local) {
  Design d = Design::Zero();
  if (r.u == 7)
    d = Rows<7>(r, ToEigen(local));
  else
    d.leftCols<3>() = Rows<3>(r, ToEigen(local));
  return d;
}

std::string FitPoints(const PointStore& store, std::uint8_t skip, const Weighting& w,
                      const Reduction& r, Fit* fit) {
  return r.u == 7 ? FitTemplate<7>(store, skip, w, r, fit) : FitTemplate<3>(store, skip, w, r, fit);
}

PointEvaluation Evaluate(const Fit& fit, const Weighting& w, const Vec3& local, const Vec3& shift,
                         bool in_fit) {
  return fit.reduction.u == 7 ? EvaluateTemplate<7>(fit, w, local, shift, in_fit)
                              : EvaluateTemplate<3>(fit, w, local, shift, in_fit);
}

void RemovePoint(const Vec3& local, const PointEvaluation& e, Fit* fit) {
  const Design a = DesignAt(fit->reduction, local);
  const Eigen::Matrix<double, 7, 3> g = fit->cofactor * a.transpose();
  const Eigen::LDLT<Eigen::Matrix3d> qvv(e.qvv);
  fit->x -= g * qvv.solve(e.residual);
  fit->cofactor += g * qvv.solve(g.transpose());
  --fit->count;
}

void ToBursaWolf(const Fit& fit, BursaWolf* p, Matrix7d* cofactor) {
  const Reduction& r = fit.reduction;
  const Eigen::Vector3d t = fit.x.head<3>() + r.shift0;
  Matrix7d j = Matrix7d::Zero();
  j.topLeftCorner<3, 3>().setIdentity();
  if (r.u == 3) {
    *p = BursaWolf{t.x(), t.y(), t.z(), 0, 0, 0, 0};
    *cofactor = j * fit.cofactor * j.transpose();
    return;
  }
  const double m = fit.x(3) / r.length;
  const Eigen::Vector3d q = fit.x.tail<3>() / r.length;
  const Eigen::Vector3d c = r.centre;
  // T = t - m c - q x c about the Earth's centre; r = q / (1 + m).
  const Eigen::Vector3d big_t = t - m * c - q.cross(c);
  const double as = ArcSecondToRadian();
  const Eigen::Vector3d rot = q / (1 + m) / as;
  *p = BursaWolf{big_t.x(), big_t.y(), big_t.z(), rot.x(), rot.y(), rot.z(), m * 1e6};

  // Jacobian of (T, r in arc-seconds, s in ppm) with respect to (t, m L, q L).
  const double inv_l = 1.0 / r.length;
  j.block<3, 1>(0, 3) = -c * inv_l;
  Eigen::Matrix3d cx;  // c x q as a matrix acting on q
  cx << 0, -c.z(), c.y(), c.z(), 0, -c.x(), -c.y(), c.x(), 0;
  j.block<3, 3>(0, 4) = cx * inv_l;
  j.block<3, 1>(3, 3) = -q / ((1 + m) * (1 + m)) * inv_l / as;
  j.block<3, 3>(3, 4) = Eigen::Matrix3d::Identity() * (inv_l / ((1 + m) * as));
  j(6, 3) = 1e6 * inv_l;
  *cofactor = j * fit.cofactor * j.transpose();
}

}  // namespace zerb::adjust
