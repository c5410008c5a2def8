// The seven-parameter Bursa-Wolf transformation as PROJ 9 applies +towgs84 (helmert step,
// position-vector convention, small-angle rotation matrix: PROJ's default without +exact), and
// the rounding of the parameters for export.
//
// Rounding: 1e-6 arc-second of rotation moves a point 6.4e6 m from the Earth's centre by 3e-5 m,
// 1e-6 ppm by 6e-6 m, so rounded rotations and scale alone would stay inside 0.1 mm; the 1e-4 m of
// the translations is the larger term. Re-centring the translation on the points' centroid after
// rounding the rotations moves the rotation term's error to the lever arm from the centroid
// (under 1e-6 m over 300 km), so every fitted W is reproduced to 0.05 mm per axis plus rounding.
#include <cmath>

#include "adjust/bursa_wolf.h"
#include "geodesy/geodesy.h"

namespace zerb::adjust {
namespace {

// v to a whole number of 1/per (per a power of ten, exact as a double). Dividing by per, not
// multiplying by the inexact 1/per, gives the double nearest the decimal: -849014 / 1e4 reads
// back as -84.9014, where -849014 * 1e-4 is -84.90140000000001.
double Round(double v, double per) {
  return std::round(v * per) / per;
}

}  // namespace

double ArcSecondToRadian() {
  return geodesy::DEG_TO_RAD / 3600.0;
}

Vec3 ApplyBursaWolf(const BursaWolf& p, const Vec3& k) {
  const double as = ArcSecondToRadian();
  const double rx = p.rx * as;
  const double ry = p.ry * as;
  const double rz = p.rz * as;
  const double scale = 1 + p.s * 1e-6;
  return {scale * (k.x + -rz * k.y + ry * k.z) + p.tx, scale * (rz * k.x + k.y + -rx * k.z) + p.ty,
          scale * (-ry * k.x + rx * k.y + k.z) + p.tz};
}

BursaWolf RoundForExport(const BursaWolf& p, const Vec3& centre) {
  BursaWolf r = p;
  r.rx = Round(p.rx, 1e6);
  r.ry = Round(p.ry, 1e6);
  r.rz = Round(p.rz, 1e6);
  r.s = Round(p.s, 1e6);
  const Vec3 exact = ApplyBursaWolf(p, centre);
  const Vec3 rounded = ApplyBursaWolf(r, centre);
  r.tx = Round(p.tx + (exact.x - rounded.x), 1e4);
  r.ty = Round(p.ty + (exact.y - rounded.y), 1e4);
  r.tz = Round(p.tz + (exact.z - rounded.z), 1e4);
  return r;
}

}  // namespace zerb::adjust
