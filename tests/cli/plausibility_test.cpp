// Which fits no Krassovsky to WGS-84 transformation can have: shifts made by PROJ's helmert step
// with parameters inside and outside the limits, fitted by the adjustment, judged.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "models/plausibility.h"
#include "tests/adjust/support.h"

namespace zerb::test {
namespace {

using adjust::BursaWolf;
using adjust::testing::Apply;
using adjust::testing::Area;
using adjust::testing::Minus;
using adjust::testing::ProjHelmert;

// The statements for a fit of points over a 200 km square at 40 N 117 E whose shifts PROJ makes
// with p, plus Gaussian noise of sigma metres per coordinate.
std::vector<Implausible> Judge(const BursaWolf& p, double sigma, adjust::Model model) {
  std::mt19937_64 rng(20261209);
  std::normal_distribution<double> noise(0, sigma);
  const auto helmert = ProjHelmert(p);
  adjust::Adjustment points;
  adjust::FitResult fit;
  std::uint64_t tag = 0;
  for (const adjust::Vec3& k : Area(40, 117, 200, 30, rng)) {
    adjust::Vec3 d = Minus(Apply(helmert.get(), k), k);
    d = {d.x + noise(rng), d.y + noise(rng), d.z + noise(rng)};
    points.Add(k, d, ++tag, false);
  }
  adjust::Settings settings;
  settings.model = model;
  settings.keep_all = true;
  EXPECT_EQ(points.Solve(settings, &fit), "");
  return ImplausibleParameters(fit, settings);
}

std::string Joined(const std::vector<Implausible>& v) {
  return ImplausibleList(v, NoTr);
}

TEST(Plausibility, PublishedSetsPassAndEachLimitIsHeld) {
  const auto seven = adjust::Model::kSevenParameter;
  // EPSG:15919-like: rotations under 1", scale under 1 ppm, over 1 cm of noise.
  EXPECT_TRUE(Judge({15.8, -154.4, -82.3, 0.1, -0.2, 0.814, -0.38}, 0.01, seven).empty());
  // Rotations and scale near their limits, well determined over 200 km: still a datum shift.
  EXPECT_TRUE(Judge({15.8, -154.4, -82.3, 0, 0, 18, 45}, 0.01, seven).empty());
  // Each limit on its own: rz 25" against 20", scale 60 ppm against 50, rx 25".
  EXPECT_NE(Joined(Judge({15.8, -154.4, -82.3, 0, 0, 25, 0}, 0.01, seven)).find("rz = "),
            std::string::npos);
  EXPECT_NE(Joined(Judge({15.8, -154.4, -82.3, 25, 0, 0, 0}, 0.01, seven)).find("rx = "),
            std::string::npos);
  EXPECT_NE(Joined(Judge({15.8, -154.4, -82.3, 0, 0, 0, 60}, 0.01, seven)).find("scale = "),
            std::string::npos);
  // A translation of 1.2 km, and sigma0 of 8 m (noise no old network has), for three parameters.
  const auto three = adjust::Model::kThreeParameter;
  EXPECT_NE(Joined(Judge({1200, -154.4, -82.3, 0, 0, 0, 0}, 0.01, three)).find("centre dx = "),
            std::string::npos);
  EXPECT_NE(Joined(Judge({15.8, -154.4, -82.3, 0, 0, 0, 0}, 8, three)).find("sigma0 = "),
            std::string::npos);
  EXPECT_TRUE(Judge({15.8, -154.4, -82.3, 0, 0, 0, 0}, 3, three).empty());
}

// Over a small area rotations scatter widely: 30" estimated with a standard deviation of 10"
// is within three of them of the limit, and no sign of input read wrongly.
TEST(Plausibility, APoorlyDeterminedRotationIsNotTakenForAWrongInput) {
  std::mt19937_64 rng(7);
  std::normal_distribution<double> noise(0, 0.1);
  adjust::Adjustment points;
  adjust::FitResult fit;
  std::uint64_t tag = 0;
  for (const adjust::Vec3& k : Area(40, 117, 1, 8, rng))
    points.Add(k, {15.8 + noise(rng), -154.4 + noise(rng), -82.3 + noise(rng)}, ++tag, false);
  adjust::Settings settings;
  settings.model = adjust::Model::kSevenParameter;
  settings.keep_all = true;
  ASSERT_EQ(points.Solve(settings, &fit), "");
  const adjust::Solution& s = fit.solution();
  const double worst_rotation = std::max(
      {std::fabs(s.parameters.rx), std::fabs(s.parameters.ry), std::fabs(s.parameters.rz)});
  EXPECT_GT(worst_rotation, kMaxRotation) << worst_rotation;  // the estimate alone would fail
  EXPECT_EQ(Joined(ImplausibleParameters(fit, settings)), "");
}

// The translation about the Earth's centre of a plausible fit can exceed 1000 m: rotations of
// 19" and a scale of 45 ppm move the points' centre by some 800 m, which the translation gives
// back. What is held to 1000 m is the shift where the points are.
TEST(Plausibility, TheShiftIsJudgedWhereThePointsAreNotAtTheEarthsCentre) {
  std::mt19937_64 rng(11);
  const std::vector<adjust::Vec3> area = Area(40, 117, 200, 30, rng);
  adjust::Vec3 c{};
  for (const adjust::Vec3& k : area)
    c = {c.x + k.x / area.size(), c.y + k.y / area.size(), c.z + k.z / area.size()};
  // The shift wanted at the centre; T follows from W = T + (1 + s) R K.
  const adjust::Vec3 wanted{15.8, -300, -82.3};
  BursaWolf p{0, 0, 0, -19, 0, -19, 45};
  const auto no_translation = ProjHelmert(p);
  const adjust::Vec3 moved = Minus(Apply(no_translation.get(), c), c);
  p.tx = wanted.x - moved.x;
  p.ty = wanted.y - moved.y;
  p.tz = wanted.z - moved.z;
  ASSERT_GT(std::fabs(p.ty), kMaxCentroidShift);
  const auto helmert = ProjHelmert(p);
  adjust::Adjustment points;
  adjust::FitResult fit;
  std::uint64_t tag = 0;
  for (const adjust::Vec3& k : area)
    points.Add(k, Minus(Apply(helmert.get(), k), k), ++tag, false);
  adjust::Settings settings;
  settings.model = adjust::Model::kSevenParameter;
  ASSERT_EQ(points.Solve(settings, &fit), "");
  EXPECT_EQ(Joined(ImplausibleParameters(fit, settings)), "");
}

}  // namespace
}  // namespace zerb::test
