// The mean shift, the residuals and the residual test against a direct computation, and on a set
// whose answer is known: 20 points carried by PROJ through a known translation plus one with a
// 5 m blunder, which must be flagged; every export, read back by PROJ, gives the mean of the rest.
#include "cli/statistics.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/cli/support.h"

namespace zerb::test {
namespace {

// The translation WGS-84 minus Krassovsky (metres) that the known set is made with.
constexpr double kTrue[3] = {15.8, -130.4, -84.9};

// The distance of point i from the mean of the other points and the RMS of those about their
// mean, summed afresh for each point.
std::pair<double, double> LeaveOneOut(const std::vector<Vec3>& d, std::size_t i) {
  const double n = static_cast<double>(d.size() - 1);
  Vec3 m;
  for (std::size_t j = 0; j < d.size(); ++j) {
    const double w = j == i ? 0 : 1 / n;
    m = {m.x + w * d[j].x, m.y + w * d[j].y, m.z + w * d[j].z};
  }
  double ss = 0;
  for (std::size_t j = 0; j < d.size(); ++j)
    ss += j == i ? 0 : std::pow(std::hypot(d[j].x - m.x, d[j].y - m.y, d[j].z - m.z), 2);
  return {std::hypot(d[i].x - m.x, d[i].y - m.y, d[i].z - m.z), std::sqrt(ss / n)};
}

TEST(Summarize, FlagsExactlyThePointsTheDirectTestFlags) {
  std::mt19937_64 random(1);
  std::normal_distribution<double> noise(0.0, 0.02);
  std::vector<Vec3> d;
  for (int i = 0; i < 30; ++i)
    d.push_back({kTrue[0] + noise(random), kTrue[1] + noise(random), kTrue[2] + noise(random)});
  d[4].x += 0.3;    // about 15 sigma: flagged
  d[17].z -= 0.05;  // 2.5 sigma on one axis: kept
  const Summary s = Summarize(d, {});
  ASSERT_TRUE(s.tested);
  std::vector<std::size_t> direct;
  for (std::size_t i = 0; i < d.size(); ++i) {
    const auto [distance, rms_others] = LeaveOneOut(d, i);
    if (distance > std::max(3 * rms_others, 0.001))
      direct.push_back(i);
  }
  ASSERT_EQ(direct, (std::vector<std::size_t>{4}));
  ASSERT_EQ(s.flags.size(), 1u);
  EXPECT_EQ(s.flags[0].index, 4u);
  // Rounding only: sums of 30 values of 1e2 m agree to well below a micrometre.
  const auto [distance, rms_others] = LeaveOneOut(d, 4);
  EXPECT_NEAR(s.flags[0].distance, distance, 1e-9);
  EXPECT_NEAR(s.flags[0].limit, 3 * rms_others, 1e-9);
  EXPECT_EQ(s.count_used, 29u);
  EXPECT_EQ(s.used[4], 0);
}

// Hand-derived: residuals of +-0.01 m on x only, and a point 1 m off that the limit leaves out.
// The values are sums of a few decimals, exact to rounding (1e-12 m).
TEST(Summarize, MeanAndRmsOfThePointsUsed) {
  const std::vector<Vec3> d = {
      {10.01, 5, 1}, {9.99, 5, 1}, {10.01, 5, 1}, {9.99, 5, 1}, {11.0, 5, 1}};
  ResidualRule rule;
  rule.max_residual = 0.5;
  const Summary s = Summarize(d, rule);
  EXPECT_NEAR(s.mean_all.x, 10.2, 1e-12);
  EXPECT_NEAR(s.mean.x, 10.0, 1e-12);
  EXPECT_NEAR(s.rms_axis.x, 0.01, 1e-12);
  EXPECT_NEAR(s.rms_axis.y, 0.0, 1e-12);
  EXPECT_NEAR(s.rms, 0.01, 1e-12);
  ASSERT_EQ(s.flags.size(), 1u);
  EXPECT_EQ(s.flags[0].index, 4u);
  EXPECT_NEAR(s.flags[0].distance, 1.0, 1e-12);

  rule.keep_all = true;
  const Summary kept = Summarize(d, rule);
  EXPECT_EQ(kept.flags.size(), 1u);
  EXPECT_EQ(kept.count_used, 5u);
  EXPECT_NEAR(kept.mean.x, 10.2, 1e-12);
}

TEST(Summarize, NoTestWithoutEnoughPointsOrSpread) {
  // Four points at least, so that three others form an RMS; two with a limit in metres.
  EXPECT_FALSE(Summarize({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}).tested);
  ResidualRule limit;
  limit.max_residual = 0.1;
  EXPECT_TRUE(Summarize({{0, 0, 0}, {1, 0, 0}}, limit).tested);
  // Points that agree to rounding do not flag each other: the limit is at least 1 mm.
  std::vector<Vec3> same(10, Vec3{kTrue[0], kTrue[1], kTrue[2]});
  same[3].x = std::nextafter(same[3].x, 100.0);
  EXPECT_TRUE(Summarize(same, {}).flags.empty());
  // When every point fails the limit, none can be left out.
  const Summary all = Summarize({{0, 0, 0}, {5, 0, 0}}, limit);
  EXPECT_TRUE(all.all_flagged);
  EXPECT_EQ(all.count_used, 2u);
}

// The table of count WGS-84 points over latitudes 25 to 45 degrees within 2 degrees of meridian
// L0 (the same in every run), carried by PROJ through the translation above onto the Krassovsky
// grid, with a 5 m blunder in the northing of point blunder. Degrees to 10 places (0.01 mm).
std::string KnownSetCsv(int count, int L0, int blunder) {
  char text[512];
  std::snprintf(text, sizeof text,
                "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                "+step +proj=cart +ellps=WGS84 +step +proj=helmert +x=%.17g +y=%.17g +z=%.17g "
                "+step +inv +proj=cart +ellps=krass "
                "+step +proj=tmerc +ellps=krass +lon_0=%d +x_0=500000 +k=1",
                -kTrue[0], -kTrue[1], -kTrue[2], L0);
  PJ* grid = proj_create(nullptr, text);
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> lat(25.0, 45.0), lon(-2.0, 2.0), height(0.0, 3000.0);
  std::string csv = "name,x,y,h,L0,B,L,H\n";
  for (int i = 0; i < count && grid != nullptr; ++i) {
    const double B = lat(random), L = L0 + lon(random), H = height(random);
    // tmerc gives the easting first; the grid's x is the northing.
    const PJ_COORD c = proj_trans(grid, PJ_FWD, proj_coord(L, B, H, 0));
    std::snprintf(text, sizeof text, "P%02d,%.4f,%.4f,%.4f,%d,%.10f,%.10f,%.4f\n", i + 1,
                  c.xyz.y + (i == blunder ? 5.0 : 0.0), c.xyz.x, c.xyz.z, L0, B, L, H);
    csv += text;
  }
  proj_destroy(grid);
  return csv;
}

// The inverse Gauss-Krueger series is good to 1e-4 arc-second (3 mm) within 3 degrees of the
// central meridian; PROJ's transverse Mercator is better than 0.1 mm there, and the table
// carries 0.1 mm. A point's shift may therefore be off by a few millimetres, the mean by less.
constexpr double kPointTolerance = 0.005;
constexpr double kMeanTolerance = 0.003;
// The exports print 0.1 mm, within half of that of the exact mean (and 10 nm for the order of
// summation and for the rounding of geocentric coordinates): a millimetre is never lost.
constexpr double kPrinted = 0.5e-4 + 1e-8;
constexpr int kBad = 10;  // the blunder, on input line 12

class KnownSet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    csv_ = KnownSetCsv(21, 117, kBad);
    rows_ = Rows(Run({"-f", "csv"}));
    for (const auto& row : rows_) {
      for (int i = 0; i < 3 && row.size() == 10 && row[9] == "0"; ++i)
        mean_[i] += Number(row[2 + i]) / 20;  // from the good points' shifts as printed
    }
  }
  // The report without its final newline.
  static std::string Run(const std::vector<std::string_view>& args) {
    RunResult r = RunZerbShift(args, csv_);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out.substr(0, r.out.find_last_not_of('\n') + 1);
  }
  static inline std::string csv_;
  static inline std::vector<std::vector<std::string>> rows_;
  static inline double mean_[3] = {};
};

TEST_F(KnownSet, FindsTheTranslationAndFlagsTheBadPoint) {
  ASSERT_EQ(rows_.size(), 1u + 21u + 2u);
  for (int i = 0; i < 21; ++i) {
    const auto& row = rows_[i + 1];
    ASSERT_EQ(row.size(), 10u);
    SCOPED_TRACE(row[1]);
    EXPECT_EQ(row[0], std::to_string(i + 2));
    EXPECT_EQ(row[9], i == kBad ? "1" : "0");
    if (i == kBad) {
      // The residual shows the blunder: 5 m of northing, on the ground to the grid scale (within
      // 0.05 % at 2 degrees from the central meridian) plus the millimetres of the series: 1 cm.
      EXPECT_NEAR(Number(row[8]), 5.0, 0.01);
      continue;
    }
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(Number(row[2 + k]), kTrue[k], kPointTolerance);
    EXPECT_LT(Number(row[8]), kPointTolerance);
  }
  const auto& mean = rows_[22];
  EXPECT_EQ(mean[0], "mean");
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(Number(mean[2 + k]), kTrue[k], kMeanTolerance);
  EXPECT_EQ(rows_[23][0], "rms");
  EXPECT_LT(Number(rows_[23][8]), kPointTolerance);
}

TEST_F(KnownSet, ReportListsTheBadPointAndTheMeanBeforeAndAfter) {
  struct Case {
    std::vector<std::string_view> args;
    std::vector<std::string> says;
  };
  const Case cases[] = {
      {{},
       {"mean of all 21 points", "flagged: line 12 (P11)", "mean of 20 points", "P11  (flagged)"}},
      {{"--keep-all", "-f", "json"},
       {"\"used\": 21", "\"flagged\": [{\"line\": 12, \"name\": \"P11\"",
        "\"flagged_kept\": true"}},
      // A limit of 1 m still catches the 5 m blunder; one of 10 m lets it through.
      {{"--max-residual", "1", "-f", "json"}, {"\"used\": 20"}},
      {{"--max-residual=10", "-f", "json"}, {"\"used\": 21", "\"flagged\": []"}},
      // 1 cm: the blunder pulls every other point 0.25 m from the mean of the rest, so all are
      // flagged and none can be left out.
      {{"--max-residual", "0.01", "-f", "json"}, {"\"used\": 21", "}, {\"line\": 22, "}},
  };
  for (const Case& c : cases) {
    const std::string out = Run(c.args);
    EXPECT_TRUE(c.args.empty() || IsJson(out)) << out;
    for (const std::string& part : c.says)
      EXPECT_NE(out.find(part), std::string::npos) << part << " in\n" << out;
  }
}

// towgs84 and WKT must give PROJ's bound CRS the mean as its translation. As a step of a
// pipeline, the helmert step must move a geocentric point by the mean and by nothing else: a
// rotation or a scale would move a point this far from the centre by metres.
TEST_F(KnownSet, EachExportGivesProjTheMeanOfTheGoodPoints) {
  const std::string wkt =
      "GEOGCS[\"Krassovsky local\",DATUM[\"local\",SPHEROID[\"Krassowsky 1940\",6378245,298.3]," +
      Run({"-f", "wkt"}) + "],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
  const std::string towgs84 = "+proj=longlat +ellps=krass " + Run({"-f", "towgs84"}) + " +type=crs";
  for (const std::string& crs : {towgs84, wkt}) {
    SCOPED_TRACE(crs);
    PJ* bound = proj_create(nullptr, crs.c_str());
    PJ* op = proj_crs_get_coordoperation(nullptr, bound);
    double v[7] = {1, 1, 1, 1, 1, 1, 1};
    EXPECT_TRUE(proj_coordoperation_get_towgs84_values(nullptr, op, v, 7, 1));
    proj_destroy(op);
    proj_destroy(bound);
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(v[k], mean_[k], kPrinted);
    for (int k = 3; k < 7; ++k)
      EXPECT_EQ(v[k], 0.0);  // a translation only
  }
  const std::string pipeline = "+proj=pipeline +step " + Run({"-f", "proj"});
  PJ* helmert = proj_create(nullptr, pipeline.c_str());
  ASSERT_NE(helmert, nullptr) << pipeline;
  const PJ_COORD from = proj_coord(-2.2e6, 4.9e6, 3.5e6, 0);
  const PJ_COORD to = proj_trans(helmert, PJ_FWD, from);
  proj_destroy(helmert);
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(to.v[k] - from.v[k], mean_[k], kPrinted);
}

}  // namespace
}  // namespace zerb::test
