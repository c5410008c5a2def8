// The inverse transverse Mercator projection; see transverse_mercator.h for the method and its
// accuracy.
#include "points/transverse_mercator.h"

#include <cmath>
#include <complex>

namespace zerb {
namespace {

// Sum over k = 1..6 of c[k-1] sin(k theta), by Clenshaw's recurrence, given sin(theta) and
// cos(theta): no further sine or cosine (theta complex for the beta series, real for the delta
// series).
template <typename T>
T SineSeries(const std::array<double, 6>& c, T sin_theta, T cos_theta) {
  const T two_cos = 2.0 * cos_theta;
  T b1 = 0;
  T b2 = 0;
  for (int k = 5; k >= 0; --k) {
    const T b0 = c[k] + two_cos * b1 - b2;
    b2 = b1;
    b1 = b0;
  }
  return b1 * sin_theta;
}

}  // namespace

TransverseMercatorInverse::TransverseMercatorInverse(double a, double f, double k0) {
  const double n = f / (2 - f);
  const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n, n6 = n5 * n;
  // The rectifying radius.
  const double rectifying = a / (1 + n) * (1 + n2 / 4 + n4 / 64 + n6 / 256);
  scale_ = k0 * rectifying;
  // From the grid's rectified position to the conformal sphere's.
  beta_ = {n / 2 - 2 * n2 / 3 + 37 * n3 / 96 - n4 / 360 - 81 * n5 / 512 + 96199 * n6 / 604800,
           n2 / 48 + n3 / 15 - 437 * n4 / 1440 + 46 * n5 / 105 - 1118711 * n6 / 3870720,
           17 * n3 / 480 - 37 * n4 / 840 - 209 * n5 / 4480 + 5569 * n6 / 90720,
           4397 * n4 / 161280 - 11 * n5 / 504 - 830251 * n6 / 7257600,
           4583 * n5 / 161280 - 108847 * n6 / 3991680,
           20648693 * n6 / 638668800};
  // From the conformal latitude to the geodetic one.
  delta_ = {2 * n - 2 * n2 / 3 - 2 * n3 + 116 * n4 / 45 + 26 * n5 / 45 - 2854 * n6 / 675,
            7 * n2 / 3 - 8 * n3 / 5 - 227 * n4 / 45 + 2704 * n5 / 315 + 2323 * n6 / 945,
            56 * n3 / 15 - 136 * n4 / 35 - 1262 * n5 / 105 + 73814 * n6 / 2835,
            4279 * n4 / 630 - 332 * n5 / 35 - 399572 * n6 / 14175,
            4174 * n5 / 315 - 144838 * n6 / 6237,
            601676 * n6 / 22275};
}

void TransverseMercatorInverse::Inverse(double x, double y, double* latitude,
                                        double* longitude) const {
  using Complex = std::complex<double>;
  const double xi0 = x / scale_;
  const double eta0 = y / scale_;
  // sin and cos of 2 (xi0 + i eta0) from one sine, cosine and exponential of the parts.
  const double s2 = std::sin(2 * xi0), c2 = std::cos(2 * xi0);
  const double e2 = std::exp(2 * eta0), sh2 = (e2 - 1 / e2) / 2, ch2 = (e2 + 1 / e2) / 2;
  const Complex sphere = Complex(xi0, eta0) - SineSeries(beta_, Complex(s2 * ch2, c2 * sh2),
                                                         Complex(c2 * ch2, -s2 * sh2));
  const double xi = sphere.real();
  const double eta = sphere.imag();
  // Gauss: the conformal latitude and the longitude on the sphere.
  const double e = std::exp(eta), sinh_eta = (e - 1 / e) / 2, cosh_eta = (e + 1 / e) / 2;
  const double conformal = std::asin(std::sin(xi) / cosh_eta);
  *longitude = std::atan2(sinh_eta, std::cos(xi));
  *latitude = conformal + SineSeries(delta_, std::sin(2 * conformal), std::cos(2 * conformal));
}

}  // namespace zerb
