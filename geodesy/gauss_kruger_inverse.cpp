// Inverse Gauss-Krueger projection for the Krassovsky 1940 ellipsoid.
//
// Method: a footpoint latitude from the rectifying angle by a fixed three-term sine series
// (constants of the Krassovsky meridian arc), then the classic series in the normalised easting
// u = (y - 500000) / Nf, to u^6 in latitude and u^5 in longitude, with t = tan Bf and
// eta^2 = e'^2 cos^2 Bf, the inverse of the Gauss-Krueger conformal projection as developed by
// Krueger (1912) and tabulated in the classical geodesy textbooks.
// Accuracy: within 1e-4 arc-second at latitudes 30 to 60 degrees and up to 3 degrees from the
// central meridian. The divisions by cos Bf are not guarded: near the poles the series fails.
//
// Powers are taken with std::pow and the series divisors are multiplied as stored reciprocals, in
// the evaluation order written below; changing either changes the last bits of the result.
#include <cmath>

#include "geodesy/geodesy.h"

namespace zerb::geodesy {
namespace {

constexpr double kMeridianFactor = 1.57046064172e-7;  // radians of rectifying angle per metre
constexpr double kFootC1 = 0.005051773759;
constexpr double kFootC3 = 2.9837302e-05;
constexpr double kFootC5 = 2.38189e-07;
constexpr double kFalseEasting = 500000.0;

constexpr double kHalfNeg = -0.5;
constexpr double kInv24 = 0.041666666666666664;
constexpr double kInv720 = 0.001388888888888889;
constexpr double kInv6 = 0.16666666666666666;
constexpr double kInv120 = 0.008333333333333333;

}  // namespace

void GaussKrugerInverse(double a, double e, double L0, double x, double y, double* B, double* L) {
  const double beta = x * kMeridianFactor;
  const double e2 = std::pow(e, 2.0);
  const double s = std::sin(beta);
  const double Bf = beta + (kFootC1 * s - kFootC3 * std::pow(s, 3.0) + kFootC5 * std::pow(s, 5.0)) *
                               std::cos(beta);

  // One cosine of the footpoint latitude serves every division below.
  const double cf = std::cos(Bf);
  const double t = std::tan(Bf);
  const double eta2 = (std::pow(cf, 2.0) * e2) / (1.0 - e2);
  const double V2 = eta2 + 1.0;
  const double Nf = a / std::sqrt(1.0 - std::pow(std::sin(Bf), 2.0) * e2);
  const double u = (y - kFalseEasting) / Nf;
  const double t2 = t * t;
  const double t4 = std::pow(t, 4.0);

  // Each term carries t to the first power, so the series is odd in the northing.
  const double T4 =
      std::pow(u, 4.0) * (((3.0 * t2 + eta2) + 5.0) - ((eta2 * t) * t) * 9.0) * V2 * t * kInv24;
  const double T2 = u * u * V2 * t * kHalfNeg;
  const double T6 = std::pow(u, 6.0) * ((45.0 * t4 + 90.0 * t2) + 61.0) * V2 * t * kInv720;
  const double lat = ((T4 + T2) - T6) + Bf;

  const double S1 = (1.0 / cf) * u;
  const double S3 = std::pow(u, 3.0) * ((2.0 * t2 + eta2) + 1.0) * kInv6 / cf;
  const double S5 = std::pow(u, 5.0) *
                    ((((8.0 * eta2 + 28.0) * t) * t + 24.0 * t4) + 6.0 * eta2 + 5.0) * kInv120 / cf;
  const double lon = ((S1 - S3) + S5) + L0;

  *B = lat;
  *L = lon;
}

}  // namespace zerb::geodesy
