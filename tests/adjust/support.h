// Common points for the adjustment tests: Krassovsky positions over an area, and shifts made
// with PROJ's helmert step or a constant, with seeded Gaussian noise.
#ifndef ZERB_TESTS_ADJUST_SUPPORT_H
#define ZERB_TESTS_ADJUST_SUPPORT_H

#include <proj.h>
#include <proj_experimental.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "adjust/adjust.h"
#include "geodesy/geodesy.h"

namespace zerb::adjust::testing {

// n positions on Krassovsky (metres, Earth-centred), uniform over a square of side km kilometres
// centred on latitude lat and longitude lon (degrees), heights 0 to 500 m.
inline std::vector<Vec3> Area(double lat, double lon, double km, int n, std::mt19937_64& rng) {
  const double half_lat = km / 2 / 111.0;
  const double half_lon = half_lat / std::cos(lat * geodesy::DEG_TO_RAD);
  std::uniform_real_distribution<double> ub(lat - half_lat, lat + half_lat);
  std::uniform_real_distribution<double> ul(lon - half_lon, lon + half_lon);
  std::uniform_real_distribution<double> uh(0, 500);
  std::vector<Vec3> out;
  for (int i = 0; i < n; ++i) {
    Vec3 k;
    geodesy::GeodeticToGeocentric(geodesy::kKrassovsky.a, geodesy::kKrassovsky.e,
                                  ub(rng) * geodesy::DEG_TO_RAD, ul(rng) * geodesy::DEG_TO_RAD,
                                  uh(rng), &k.x, &k.y, &k.z);
    out.push_back(k);
  }
  return out;
}

// An adjustment and the result of its latest solve, as most tests use them: add, solve, read.
class Solving {
 public:
  void Add(const Vec3& local, const Vec3& shift, std::uint64_t tag, bool check) {
    adjustment_.Add(local, shift, tag, check);
  }
  void Withdraw(std::size_t i) { adjustment_.Withdraw(i); }
  std::size_t size() const { return adjustment_.size(); }
  std::string Solve(const Settings& settings) { return adjustment_.Solve(settings, &fit_); }
  const Solution& solution() const { return fit_.solution(); }
  PointResult Point(std::size_t i) const { return fit_.Point(i); }
  Vec3 Transform(const Vec3& local) const { return fit_.Transform(local); }

 private:
  Adjustment adjustment_;
  FitResult fit_;
};

inline Vec3 Minus(const Vec3& a, const Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline double Length(const Vec3& a) {
  return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

using Pj = std::unique_ptr<PJ, decltype(&proj_destroy)>;

// PROJ's own seven-parameter step, position-vector convention (the one +towgs84 builds).
inline Pj ProjHelmert(const BursaWolf& p) {
  char text[400];
  std::snprintf(text, sizeof text,
                "+proj=helmert +x=%.17g +y=%.17g +z=%.17g +rx=%.17g +ry=%.17g +rz=%.17g +s=%.17g"
                " +convention=position_vector",
                p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.s);
  return Pj(proj_create(PJ_DEFAULT_CTX, text), &proj_destroy);
}

inline Vec3 Apply(PJ* pj, const Vec3& k) {
  const PJ_COORD c = proj_trans(pj, PJ_FWD, proj_coord(k.x, k.y, k.z, 0));
  return {c.xyz.x, c.xyz.y, c.xyz.z};
}

// PROJ's transformation from a Krassovsky geographic CRS with +towgs84 (the seven values as
// printed in towgs84) to WGS-84, both promoted to 3D so that heights take part: longitude and
// latitude in degrees, heights in metres.
inline Pj TowgsDatum(const std::string& towgs84) {
  const std::string source =
      "+proj=longlat +ellps=krass +towgs84=" + towgs84 + " +no_defs +type=crs";
  const Pj s2(proj_create(PJ_DEFAULT_CTX, source.c_str()), &proj_destroy);
  const Pj t2(proj_create(PJ_DEFAULT_CTX, "+proj=longlat +datum=WGS84 +no_defs +type=crs"),
              &proj_destroy);
  const Pj s3(proj_crs_promote_to_3D(PJ_DEFAULT_CTX, nullptr, s2.get()), &proj_destroy);
  const Pj t3(proj_crs_promote_to_3D(PJ_DEFAULT_CTX, nullptr, t2.get()), &proj_destroy);
  return Pj(proj_create_crs_to_crs_from_pj(PJ_DEFAULT_CTX, s3.get(), t3.get(), nullptr, nullptr),
            &proj_destroy);
}

// W through a TowgsDatum from K: geodetic on Krassovsky by PROJ, the datum, geocentric on WGS-84.
inline Vec3 ThroughDatum(PJ* datum, const Vec3& k) {
  const Pj krass(proj_create(PJ_DEFAULT_CTX, "+proj=cart +ellps=krass"), &proj_destroy);
  const Pj wgs(proj_create(PJ_DEFAULT_CTX, "+proj=cart +ellps=WGS84"), &proj_destroy);
  const PJ_COORD g = proj_trans(krass.get(), PJ_INV, proj_coord(k.x, k.y, k.z, 0));
  const PJ_COORD o = proj_trans(
      datum, PJ_FWD, proj_coord(proj_todeg(g.lpz.lam), proj_todeg(g.lpz.phi), g.lpz.z, 0));
  const PJ_COORD w = proj_trans(
      wgs.get(), PJ_FWD, proj_coord(proj_torad(o.lpz.lam), proj_torad(o.lpz.phi), o.lpz.z, 0));
  return {w.xyz.x, w.xyz.y, w.xyz.z};
}

}  // namespace zerb::adjust::testing

#endif  // ZERB_TESTS_ADJUST_SUPPORT_H
