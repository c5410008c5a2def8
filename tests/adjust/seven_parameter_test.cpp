// The seven-parameter fit against PROJ: PROJ's own helmert step makes the WGS-84 positions, the
// fit must recover its parameters, and PROJ applying the exported, rounded parameters (as a
// +towgs84 datum) must land on the fitted positions.
#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <string_view>
#include <utility>

#include "adjust/adjust.h"
#include "adjust/bursa_wolf.h"
#include "geodesy/geodesy.h"
#include "support.h"

namespace zerb::adjust {
namespace {

using geodesy::DEG_TO_RAD;
using geodesy::GeodeticToGeocentric;
using geodesy::kKrassovsky;

using testing::Apply;
using testing::Area;
using testing::Minus;
using testing::Pj;
using testing::ProjHelmert;
using testing::Solving;
using testing::ThroughDatum;
using testing::TowgsDatum;

// A Krassovsky to WGS-84 datum shift of the usual size.
constexpr BursaWolf kTruth{-21.3, 118.7, 57.9, 0.35, -0.72, 1.05, 0.42};
// The same with digits beyond the exported ones, so the export's rounding is exercised.
constexpr BursaWolf kFine{-21.31234567, 118.76543219, 57.91234577, 0.351234567,
                          -0.723456789, 1.054321987,  0.423456789};

// The exact rotation matrix for the same angles, the form PROJ uses only with +exact.
Vec3 ExactRotation(const BursaWolf& p, const Vec3& k) {
  const double as = DEG_TO_RAD / 3600;
  const double f = p.rx * as, t = p.ry * as, q = p.rz * as;
  const double cf = std::cos(f), sf = std::sin(f), ct = std::cos(t), st = std::sin(t);
  const double cp = std::cos(q), sp = std::sin(q);
  // Coordinate-frame matrix, transposed for the position-vector convention.
  const double r[3][3] = {{ct * cp, cf * sp + sf * st * cp, sf * sp - cf * st * cp},
                          {-ct * sp, cf * cp - sf * st * sp, sf * cp + cf * st * sp},
                          {st, -sf * ct, cf * ct}};
  const double m = 1 + p.s * 1e-6;
  return {m * (r[0][0] * k.x + r[1][0] * k.y + r[2][0] * k.z) + p.tx,
          m * (r[0][1] * k.x + r[1][1] * k.y + r[2][1] * k.z) + p.ty,
          m * (r[0][2] * k.x + r[1][2] * k.y + r[2][2] * k.z) + p.tz};
}

TEST(BursaWolfConvention, IsProjsSmallAngleHelmertNotTheExactRotation) {
  // Rotations of 100 arc-seconds make the second-order terms of an exact rotation matrix about
  // r^2 R = 1.5 m at the Earth's surface, so the two forms cannot be confused.
  const BursaWolf big{10, -20, 30, 100, -80, 120, 5};
  const Pj helmert = ProjHelmert(big);
  ASSERT_NE(helmert, nullptr);
  std::mt19937_64 rng(11);
  for (const Vec3& k : Area(35, 110, 2000, 20, rng)) {
    const Vec3 proj = Apply(helmert.get(), k);
    const Vec3 ours = ApplyBursaWolf(big, k);
    // Same products in the same order; PROJ reads the parameters back from 17 digits, exact.
    EXPECT_NEAR(ours.x, proj.x, 1e-9);
    EXPECT_NEAR(ours.y, proj.y, 1e-9);
    EXPECT_NEAR(ours.z, proj.z, 1e-9);
    EXPECT_GT(testing::Length(Minus(ExactRotation(big, k), proj)), 0.1);
  }
}

TEST(BursaWolfConvention, TowgsDatumAppliesTheSameFormula) {
  const Pj datum = TowgsDatum("-21.3,118.7,57.9,0.35,-0.72,1.05,0.42");
  ASSERT_NE(datum, nullptr);
  std::mt19937_64 rng(12);
  for (const Vec3& k : Area(31, 121, 500, 10, rng)) {
    const Vec3 w = ThroughDatum(datum.get(), k);
    const Vec3 ours = ApplyBursaWolf(kTruth, k);
    // PROJ's geodetic round trips on both ellipsoids are good to about 1e-9 m.
    EXPECT_NEAR(ours.x, w.x, 1e-6);
    EXPECT_NEAR(ours.y, w.y, 1e-6);
    EXPECT_NEAR(ours.z, w.z, 1e-6);
  }
}

// Rounding for export, against PROJ applying both parameter sets: 2000 seeded sets with digits
// beyond the exported ones, each rounded about a point centre on the ground in China. Rounding
// 1e-6 arc-second and 1e-6 ppm moves the centre, 6.4e6 m from the Earth's centre, by up to 35
// micrometres; re-centring the translations before they are rounded leaves there only their own
// rounding, 0.05 mm per axis. PROJ's products of the same terms differ by nanometres, and 150 km
// from the centre the rounded rotations add under 1 micrometre.
// The decimals of the shortest fixed text that reads back as v.
int ShortestDecimals(double v) {
  char text[400];
  const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed);
  const std::string_view digits(text, static_cast<std::size_t>(r.ptr - text));
  const std::size_t point = digits.find('.');
  return point == std::string_view::npos ? 0 : static_cast<int>(digits.size() - point - 1);
}

TEST(ExportRounding, KeepsTheCentreWithinTheTranslationsRounding) {
  std::mt19937_64 rng(23);
  std::uniform_real_distribution<double> translation(-150, 150), rotation(-3, 3), scale(-8, 8);
  std::uniform_real_distribution<double> lat(22, 48), lon(80, 130);
  double worst_centre = 0, worst_away = 0;
  for (int run = 0; run < 2000; ++run) {
    const BursaWolf p{translation(rng), translation(rng), translation(rng), rotation(rng),
                      rotation(rng),    rotation(rng),    scale(rng)};
    const double b = lat(rng) * DEG_TO_RAD, l = lon(rng) * DEG_TO_RAD;
    Vec3 centre, away;
    GeodeticToGeocentric(kKrassovsky.a, kKrassovsky.e, b, l, 300, &centre.x, &centre.y, &centre.z);
    GeodeticToGeocentric(kKrassovsky.a, kKrassovsky.e, b + 150 / 6371.0, l, 300, &away.x, &away.y,
                         &away.z);
    const BursaWolf r = RoundForExport(p, centre);
    // A JSON reader gets the shortest text of each exported double: it must be the decimal the
    // +towgs84 text shows (the symptom was tz = -84.90140000000001).
    for (double t : {r.tx, r.ty, r.tz})
      ASSERT_LE(ShortestDecimals(t), 4) << t;
    for (double a : {r.rx, r.ry, r.rz, r.s})
      ASSERT_LE(ShortestDecimals(a), 6) << a;
    const Pj exact = ProjHelmert(p), rounded = ProjHelmert(r);
    ASSERT_NE(exact, nullptr);
    ASSERT_NE(rounded, nullptr);
    for (const auto& [k, worst] :
         {std::pair{centre, &worst_centre}, std::pair{away, &worst_away}}) {
      const Vec3 miss = Minus(Apply(rounded.get(), k), Apply(exact.get(), k));
      *worst = std::max({*worst, std::abs(miss.x), std::abs(miss.y), std::abs(miss.z)});
    }
  }
  EXPECT_LT(worst_centre, 0.5e-4 + 1e-8);
  EXPECT_LT(worst_away, 0.5e-4 + 1e-6);
}

struct Case {
  double lat, lon, km;
};

class RecoversProjParameters : public ::testing::TestWithParam<Case> {};

TEST_P(RecoversProjParameters, AndProjReproducesTheFitFromTheExport) {
  const Case c = GetParam();
  std::mt19937_64 rng(21);
  const std::vector<Vec3> local = Area(c.lat, c.lon, c.km, 40, rng);
  const Pj helmert = ProjHelmert(kFine);
  ASSERT_NE(helmert, nullptr);
  Solving a;
  for (std::size_t i = 0; i < local.size(); ++i)
    a.Add(local[i], Minus(Apply(helmert.get(), local[i]), local[i]), i, false);
  Settings s;
  s.model = Model::kSevenParameter;
  ASSERT_EQ(a.Solve(s), "");
  const BursaWolf& p = a.solution().parameters;
  // Noise-free: only the 1e-9 m rounding of the shifts enters. Over 50 km that fixes a rotation
  // to some 1e-13 rad, which moves the translations about the Earth's centre by 1e-6 m.
  EXPECT_NEAR(p.tx, kFine.tx, 1e-5);
  EXPECT_NEAR(p.ty, kFine.ty, 1e-5);
  EXPECT_NEAR(p.tz, kFine.tz, 1e-5);
  EXPECT_NEAR(p.rx, kFine.rx, 1e-7);
  EXPECT_NEAR(p.ry, kFine.ry, 1e-7);
  EXPECT_NEAR(p.rz, kFine.rz, 1e-7);
  EXPECT_NEAR(p.s, kFine.s, 1e-7);
  EXPECT_TRUE(a.solution().warnings.empty());

  // PROJ applying the exported parameters as a +towgs84 datum, geodetic in and out.
  const BursaWolf& e = a.solution().exported;
  char towgs[200];
  std::snprintf(towgs, sizeof towgs, "%.4f,%.4f,%.4f,%.6f,%.6f,%.6f,%.6f", e.tx, e.ty, e.tz, e.rx,
                e.ry, e.rz, e.s);
  const Pj datum = TowgsDatum(towgs);
  ASSERT_NE(datum, nullptr);
  double worst = 0;
  for (const Vec3& k : local) {
    const Vec3 w = ThroughDatum(datum.get(), k);
    const Vec3 fitted = a.Transform(k);
    worst = std::max(
        {worst, std::abs(w.x - fitted.x), std::abs(w.y - fitted.y), std::abs(w.z - fitted.z)});
  }
  // The promise to the user: every point within 0.1 mm per axis. Rounding the translations to
  // 1e-4 m alone costs up to 0.05 mm.
  EXPECT_LT(worst, 1e-4);
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", worst);
  RecordProperty("worst_axis_m", text);
}

INSTANTIATE_TEST_SUITE_P(ChinaAreas, RecoversProjParameters,
                         ::testing::Values(Case{25.5, 103, 50}, Case{44.5, 126, 50},
                                           Case{36, 117, 300}, Case{28, 112, 300}));

}  // namespace
}  // namespace zerb::adjust
